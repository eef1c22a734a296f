# SPDX-License-Identifier: GPL-3.0-or-later
# Installation layout and the Debian package.
# bin/trenix finds its data in ../share/trenix and copies the practice store to
# the user's data folder on first start (src/startup/DataPaths.cpp).
include(GNUInstallDirs)

set(TRENIX_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS trenix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(TRENIX_INSTALLED_DATA
    ${TRENIX_BIN_DIR}/trenix.dat
    ${TRENIX_BIN_DIR}/word_language.mdb
    ${TRENIX_BIN_DIR}/config.dat
    ${TRENIX_BIN_DIR}/LICENSE
    ${TRENIX_BIN_DIR}/LICENSES.md
    ${TRENIX_UI_FONTS})
foreach(i RANGE 1 7)
  list(APPEND TRENIX_INSTALLED_DATA ${TRENIX_BIN_DIR}/help0${i}.bmp ${TRENIX_BIN_DIR}/help0${i}-1.bmp
       ${TRENIX_BIN_DIR}/help0${i}-3.bmp)
endforeach()
install(FILES ${TRENIX_INSTALLED_DATA}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/trenix
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
if(TRENIX_SOUNDS)
  install(FILES ${TRENIX_SOUNDS} DESTINATION ${CMAKE_INSTALL_DATADIR}/trenix/sounds
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endif()

install(FILES ${TRENIX_PACKAGING_DIR}/io.github.trenix.Trenix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TRENIX_PACKAGING_DIR}/trenix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${TRENIX_PACKAGING_DIR}/icons/${size}x${size}/trenix.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

install(FILES ${TRENIX_PACKAGING_DIR}/io.github.trenix.Trenix.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/data/LICENSES.md ${CMAKE_SOURCE_DIR}/docs/input-methods.md
        ${CMAKE_SOURCE_DIR}/docs/progress.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/trenix)

# --- Debian package: cpack -G DEB ----------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trenix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Trenix")
# The program is GPL-3.0-or-later (Qt Charts is GPL-3); the dictionary data CC BY-SA 4.0.
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CONTACT "Trenix maintainers <maintainers@users.noreply.c-seed-344d24f7.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing practice game for Chinese words")
set(CPACK_PACKAGE_DESCRIPTION
    "Words of a dictionary range fall into the play field; type each one with a\n\
Chinese input method and press Enter before the pile reaches the top.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
find_program(TRENIX_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TRENIX_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk")
else()
  # The Debian 12 names of the libraries the program links.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libqt6charts6 (>= 6.4), libqt6multimedia6 (>= 6.4), libsqlcipher0, fonts-noto-cjk")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fcitx5-frontend-qt6 | ibus, qt6-translations-l10n, fonts-liberation2")
include(CPack)
