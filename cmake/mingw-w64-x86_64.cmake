# Cross-builds for 64-bit Windows with Debian's mingw-w64 (the win64 preset, the one Wine runs).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLMERE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
