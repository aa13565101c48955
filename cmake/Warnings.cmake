# One place for the warning flags every target of ours gets.
add_library(quillmere_warnings INTERFACE)
if(MSVC)
  target_compile_options(quillmere_warnings INTERFACE /W4)
  if(QUILLMERE_WARNINGS_AS_ERRORS)
    target_compile_options(quillmere_warnings INTERFACE /WX)
  endif()
else()
  target_compile_options(quillmere_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
    -Wold-style-cast -Woverloaded-virtual -Wimplicit-fallthrough)
  if(QUILLMERE_WARNINGS_AS_ERRORS)
    target_compile_options(quillmere_warnings INTERFACE -Werror)
  endif()
  # GCC 12 with optimisation warns of overlapping copies in "text" + std::string that cannot
  # overlap (GCC bug 105329); the warning says nothing there. Debug builds keep it, and so does
  # the compile database clang-tidy reads, which knows no such option.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(quillmere_warnings INTERFACE $<$<NOT:$<CONFIG:Debug>>:-Wno-restrict>)
  endif()
endif()

# The module libraries we build are C; the C++-only flags above would not apply to them.
add_library(quillmere_c_warnings INTERFACE)
if(NOT MSVC)
  target_compile_options(quillmere_c_warnings INTERFACE -Wall -Wextra -Wpedantic)
  if(QUILLMERE_WARNINGS_AS_ERRORS)
    target_compile_options(quillmere_c_warnings INTERFACE -Werror)
  endif()
endif()
