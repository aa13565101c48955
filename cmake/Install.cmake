# What `cmake --install` puts where. On Windows the executables lie at the top of the download
# with the sample module folder beside them (data/CMakeLists.txt), where the tool looks for it.
# Elsewhere the executables go in bin; the sample modules and their module library go in
# share/quillmere/Printer Commands, from which a user's own module folder is made on first start,
# since an installed program's folder is no one's to write; and what a desktop shows of the
# program: its menu entry, its AppStream description, its icon at every size and its manual
# pages. cmake/Package.cmake packages it.
include(GNUInstallDirs)
if(WIN32)
  set(QUILLMERE_INSTALL_DIR .)
else()
  set(QUILLMERE_INSTALL_DIR ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS quillmere-cli RUNTIME DESTINATION ${QUILLMERE_INSTALL_DIR})
if(TARGET quillmere)
  install(TARGETS quillmere RUNTIME DESTINATION ${QUILLMERE_INSTALL_DIR})
endif()

if(NOT WIN32)
  set(QUILLMERE_APP_ID org.quillmere.Quillmere)
  set(linux_data ${PROJECT_SOURCE_DIR}/data/linux)
  set(icons ${PROJECT_SOURCE_DIR}/src/ui/resources)

  install(FILES ${linux_data}/${QUILLMERE_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${linux_data}/${QUILLMERE_APP_ID}.metainfo.xml.in
                 ${CMAKE_BINARY_DIR}/${QUILLMERE_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${QUILLMERE_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  foreach(size 16 32 48 256)
    install(FILES ${icons}/quillmere-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME quillmere.png)
  endforeach()
  install(FILES ${icons}/quillmere.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

  # Manual pages carry the version and go compressed, as Debian keeps them.
  find_program(QUILLMERE_GZIP gzip)
  foreach(page quillmere quillmere-cli)
    configure_file(${linux_data}/${page}.1 ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
    set(installed_page ${CMAKE_BINARY_DIR}/man/${page}.1)
    if(QUILLMERE_GZIP)
      add_custom_command(OUTPUT ${installed_page}.gz
        COMMAND ${QUILLMERE_GZIP} -9 -n -c ${installed_page} > ${installed_page}.gz
        DEPENDS ${installed_page}
        VERBATIM)
      set(installed_page ${installed_page}.gz)
    endif()
    list(APPEND QUILLMERE_MAN_PAGES ${installed_page})
  endforeach()
  add_custom_target(quillmere_man_pages ALL DEPENDS ${QUILLMERE_MAN_PAGES})
  install(FILES ${QUILLMERE_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  include(cmake/Package.cmake)  # Windows packages its download in cmake/Windows.cmake
endif()
