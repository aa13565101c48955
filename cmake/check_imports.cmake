# Fails when a Windows executable needs a DLL that Windows does not bring along, so that the
# download runs on a bare machine: the compiler's runtime is linked in statically.
#   cmake -DOBJDUMP=<objdump> -DEXECUTABLES=<file;file> -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)

# Windows' own DLLs that the executables may import.
set(windows_dlls ADVAPI32.DLL COMCTL32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL)

foreach(executable IN LISTS EXECUTABLES)
  execute_process(COMMAND "${OBJDUMP}" -p "${executable}"
                  OUTPUT_VARIABLE headers RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read the imports of ${executable}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
  foreach(import IN LISTS imports)
    string(REPLACE "DLL Name: " "" dll "${import}")
    string(TOUPPER "${dll}" dll)
    if(NOT dll IN_LIST windows_dlls)
      message(FATAL_ERROR "${executable} needs ${dll}, which Windows does not bring along")
    endif()
  endforeach()
endforeach()
