# Installing and packaging: the program, its pictures and sounds, and what a
# Linux desktop needs to list it (desktop entry, icons, AppStream metadata,
# manual page).
#   cmake --install BUILD [--prefix P]       (DESTDIR is honoured)
#   (cd BUILD && cpack -G DEB)               a Debian package for /usr
#
# The program finds its pictures and sounds from its own path, as
# bin/../share/vextorn, so the folders are fixed here rather than taken from
# GNUInstallDirs, whose folders can be moved apart one by one.

set(VEXTORN_APP_ID org.vextorn.Vextorn)
# The date of the release PROJECT_VERSION names; change both together.
set(VEXTORN_RELEASE_DATE 2026-12-08)
set(VEXTORN_HOMEPAGE "https://vextorn.org" CACHE STRING
  "The toy's web page, named in the AppStream metadata and the Debian package")
set(VEXTORN_MAINTAINER "Vextorn maintainers <maintainers@vextorn.org>" CACHE STRING
  "Maintainer of the Debian package")

install(TARGETS vextorn RUNTIME DESTINATION bin)

# Every picture and sound of data/, no file the toy writes there at run time
# (the saved and autosaved models, the printed picture).
install(DIRECTORY data/ DESTINATION share/vextorn
  FILES_MATCHING PATTERN "*.png" PATTERN "*.bmp" PATTERN "*.wav"
  PATTERN "pict.bmp" EXCLUDE)

install(FILES desktop/${VEXTORN_APP_ID}.desktop DESTINATION share/applications)

# desktop/icons/NxN.png goes to the hicolor theme's NxN folder.
file(GLOB VEXTORN_ICONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/desktop/icons/*x*.png)
foreach(icon ${VEXTORN_ICONS})
  get_filename_component(size ${icon} NAME_WE)
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}/apps RENAME ${VEXTORN_APP_ID}.png)
endforeach()

configure_file(desktop/${VEXTORN_APP_ID}.metainfo.xml.in ${VEXTORN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${VEXTORN_APP_ID}.metainfo.xml DESTINATION share/metainfo)

configure_file(desktop/vextorn.6.in vextorn.6 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/vextorn.6 DESTINATION share/man/man6)

# The Debian package. Its dependencies come from the libraries the program
# links (dpkg-shlibdeps, from dpkg-dev); the two named here are opened at run
# time rather than linked, so dpkg-shlibdeps cannot see them: the GL loader
# (needed) and Mesa's drivers (the software renderer where there is no GPU).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vextorn)
set(CPACK_PACKAGE_VENDOR "The Vextorn developers")
set(CPACK_PACKAGE_CONTACT "${VEXTORN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colouring toy in three dimensions for children")
set(CPACK_PACKAGE_DESCRIPTION "In a large white room a child builds a model out of cubes in nine
colours, paints the cubes and the walls with felt pens, rubs cubes out,
turns the model round with a hand and prints it. The tools are pictures,
so children who cannot read yet can play alone. The toy never uses the
network, and it keeps the model in progress from one start to the next.
It plays on the whole screen or in a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VEXTORN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VEXTORN_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
# A print server is only needed for the printer button.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")
include(CPack)
