# Installs the executables; data/CMakeLists.txt installs the sample module folder beside them,
# where the tool looks for it.
include(GNUInstallDirs)
set(QUILLMERE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/quillmere)
install(TARGETS quillmere-cli RUNTIME DESTINATION ${QUILLMERE_INSTALL_DIR})
if(TARGET quillmere)
  install(TARGETS quillmere RUNTIME DESTINATION ${QUILLMERE_INSTALL_DIR})
endif()
