# What the two mingw-w64 toolchain files share; they set QUILLMERE_MINGW_TRIPLE and the processor
# first. The posix flavour of Debian's compilers gives std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)

find_program(QUILLMERE_MINGW_CXX ${QUILLMERE_MINGW_TRIPLE}-g++-posix)
if(NOT QUILLMERE_MINGW_CXX)
  message(FATAL_ERROR "${QUILLMERE_MINGW_TRIPLE}-g++-posix not found: mingw-w64 is not installed "
                      "(scripts/install-deps --windows).")
endif()
set(CMAKE_C_COMPILER ${QUILLMERE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLMERE_MINGW_CXX})
set(CMAKE_RC_COMPILER ${QUILLMERE_MINGW_TRIPLE}-windres)

# Headers and libraries come from the Windows sysroot only; build tools from this machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLMERE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config knows this machine's libraries only; pointed at the sysroot it finds none for Windows.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${QUILLMERE_MINGW_TRIPLE}/lib/pkgconfig)

# The executables carry the compiler's runtime and the threads library, so they need no DLL
# beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# -O2 rather than -O3: at -O3 GCC 12 warns falsely of overlapping copies inside std::string
# (-Wrestrict), which warnings-as-errors turns into a failed build.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for release builds")
