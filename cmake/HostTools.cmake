# Programs the build machine runs while cross-building for Windows: the resource script writer,
# and, for the tests, this machine's quillmere-cli, whose derivations the Windows program's are
# compared with. They come from the same sources, configured again for this machine in
# <build>/host, and land in QUILLMERE_HOST_BIN.
include(ExternalProject)

set(QUILLMERE_HOST_BIN ${CMAKE_BINARY_DIR}/host/bin)
set(host_targets quillmere_resource_writer)
if(QUILLMERE_BUILD_TESTS)
  list(APPEND host_targets quillmere-cli)
endif()
list(TRANSFORM host_targets PREPEND "${QUILLMERE_HOST_BIN}/" OUTPUT_VARIABLE host_programs)

# Debug, as the dev preset builds it: this machine's release build trips a false alarm of GCC 12
# (-Wrestrict in std::string), and speed does not matter here.
# One job: the outer build's job slot is this build's only one, so the machine is not overloaded.
ExternalProject_Add(quillmere_host
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/host
  CMAKE_ARGS
    -DCMAKE_BUILD_TYPE=Debug
    -DQUILLMERE_WITH_QT=OFF
    -DQUILLMERE_BUILD_TESTS=OFF
    -DQUILLMERE_BUILD_BENCH=OFF
    -DQUILLMERE_WARNINGS_AS_ERRORS=${QUILLMERE_WARNINGS_AS_ERRORS}
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --parallel 1 --target ${host_targets}
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${host_programs}
  INSTALL_COMMAND "")
