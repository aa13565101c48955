# CPack off Windows: `cpack` in a build folder packages what `cmake --install` installs as a .deb,
# whose library dependencies dpkg-shlibdeps works out from the executables.
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VENDOR "Quillmere")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(QUILLMERE_PACKAGE_CONTACT "Quillmere developers <quillmere@example.org>"
    CACHE STRING "The maintainer the packages name")
set(CPACK_PACKAGE_CONTACT "${QUILLMERE_PACKAGE_CONTACT}")
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# quillmere-cli loads libpcap only to read a packet capture, so dpkg-shlibdeps does not see it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libpcap0.8")
# Below the summary line, CPACK_PACKAGE_DESCRIPTION_SUMMARY.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Vantorel reads what a cash register sends to its receipt printer and needs, for each kind "
  "of register, a POS module: a file of printer command byte sequences that says which of "
  "them start, end or void a transaction. Quillmere derives a new module from an existing "
  "one, in a dialog (quillmere) or from the terminal (quillmere-cli).")

include(CPack)
