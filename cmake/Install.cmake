# Installs the executables; data/CMakeLists.txt installs the sample module folder beside them,
# where the tool looks for it. On Windows they lie at the top of the download.
include(GNUInstallDirs)
if(WIN32)
  set(QUILLMERE_INSTALL_DIR .)
else()
  set(QUILLMERE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/quillmere)
endif()
install(TARGETS quillmere-cli RUNTIME DESTINATION ${QUILLMERE_INSTALL_DIR})
if(TARGET quillmere)
  install(TARGETS quillmere RUNTIME DESTINATION ${QUILLMERE_INSTALL_DIR})
endif()
