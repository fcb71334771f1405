# Installing the program and packing it for Debian.
#
#   cmake --install build [--prefix /usr]      the program with its files
#   cd build && cpack -G DEB                   lumesta_<version>_<arch>.deb
#
# Layout (under the prefix):
#   bin/lumesta
#   share/lumesta/                             demo library and licence
#   share/applications/<id>.desktop
#   share/icons/hicolor/{NxN,scalable}/apps/<id>.{png,svg}
#   share/metainfo/<id>.metainfo.xml
include(GNUInstallDirs)

set(LUMESTA_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/lumesta)

install(TARGETS lumesta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The demo library the build packs beside the program (its dictionary, the
# dictionary's words grouped by stems, the codes), and the licence.
install(FILES ${LUMESTA_BIN_DIR}/Morvitane.sko ${LUMESTA_BIN_DIR}/Morvitane.rdz
              ${CMAKE_SOURCE_DIR}/data/Licencja.rtf
        DESTINATION ${LUMESTA_DATA_INSTALL_DIR})
install(DIRECTORY ${LUMESTA_BIN_DIR}/Lumesta DESTINATION ${LUMESTA_DATA_INSTALL_DIR})

# Where Debian looks for a package's copyright notice.
install(FILES ${CMAKE_SOURCE_DIR}/data/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumesta)

# Desktop integration.
configure_file(${CMAKE_SOURCE_DIR}/data/${LUMESTA_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${LUMESTA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_SOURCE_DIR}/data/${LUMESTA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/${LUMESTA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${LUMESTA_ICON_DIR}/${LUMESTA_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${LUMESTA_ICON_SIZES})
  install(FILES ${LUMESTA_ICON_DIR}/${LUMESTA_APP_ID}-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${LUMESTA_APP_ID}.png)
endforeach()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumesta)
set(CPACK_PACKAGE_VENDOR Mardovelt)
set(CPACK_PACKAGE_CONTACT "Mardovelt <biuro@mardovelt.pl>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader of the Polish legal codes")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumesta shows the Polish legal codes as formatted documents in tabs, with\n"
    "a table of contents, footnotes that lead to the amending acts of the\n"
    "Journal of Laws, copying, saving as HTML or text, and printing with a page\n"
    "preview. A small demonstration library of invented texts comes with it.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.mardovelt.pl/lumesta.html)
# Libraries are found by dpkg-shlibdeps; what the program loads at run time
# (the platform plugins) and the fonts it draws with are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, fonts-liberation2")
# Polish captions on the standard buttons of message boxes and dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
