# Debian ships GoogleTest built for this machine only (libgtest-dev); a cross build for Windows
# builds it for Windows from the sources of the package googletest.
set(QUILLMERE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest's sources, built for the target of a cross build")
if(NOT EXISTS ${QUILLMERE_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest's sources are not in ${QUILLMERE_GOOGLETEST_SOURCE} "
                      "(scripts/install-deps --windows installs them).")
endif()
set(INSTALL_GTEST OFF)
add_subdirectory(${QUILLMERE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
