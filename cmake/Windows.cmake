# What a Windows build adds at the top: a check that the executables need no DLL beyond Windows'
# own, and the download, a ZIP of both executables beside the sample folder with a short README:
#   cmake --build --preset win32 && cpack --preset win32  ->  quillmere-<version>-win32.zip
# quillmere-cli gets the same manifest setting as the dialog program.
target_sources(quillmere-cli PRIVATE ${PROJECT_SOURCE_DIR}/src/ui/win32/quillmere-cli.rc)
set_source_files_properties(${PROJECT_SOURCE_DIR}/src/ui/win32/quillmere-cli.rc PROPERTIES
  OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/src/ui/win32/quillmere-cli.manifest)

if(CMAKE_OBJDUMP)
  add_custom_target(quillmere_import_check ALL
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP}
            "-DEXECUTABLES=$<TARGET_FILE:quillmere>;$<TARGET_FILE:quillmere-cli>"
            -P ${PROJECT_SOURCE_DIR}/cmake/check_imports.cmake
    DEPENDS quillmere quillmere-cli
    COMMENT "Checking that the executables need no DLL beyond Windows' own"
    VERBATIM)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/docs/download/README.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(QUILLMERE_WINDOWS_FLAVOUR win32)
else()
  set(QUILLMERE_WINDOWS_FLAVOUR win64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "quillmere-${PROJECT_VERSION}-${QUILLMERE_WINDOWS_FLAVOUR}")
set(CPACK_STRIP_FILES ON)
include(CPack)
