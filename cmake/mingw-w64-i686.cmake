# Cross-builds for 32-bit Windows with Debian's mingw-w64 (the win32 preset).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUILLMERE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
