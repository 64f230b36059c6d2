# What `cmake --install` puts where, and the Debian package made from it.
# The program finds its data as ../share/tessum from its own folder, so the
# data folder must stay below the same prefix as the binary.
include(GNUInstallDirs)

set(TESSUM_SCREENSHOT_URL "https://www.example.org/tessum/screenshots"
    CACHE STRING "Where the screenshots named in the AppStream metadata are published")
set(pkg ${CMAKE_SOURCE_DIR}/packaging)
set(gen ${CMAKE_BINARY_DIR}/packaging)
configure_file(${pkg}/tessum.desktop.in ${gen}/${TESSUM_APP_ID}.desktop @ONLY)
configure_file(${pkg}/tessum.metainfo.xml.in ${gen}/${TESSUM_APP_ID}.metainfo.xml @ONLY)
configure_file(${pkg}/tessum.6 ${gen}/tessum.6 @ONLY)
configure_file(${pkg}/copyright.in ${gen}/copyright @ONLY)
configure_file(${pkg}/changelog.in ${gen}/changelog @ONLY)

install(TARGETS tessum RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(archive game steine mulden hands holz)
  install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${archive}.gfx ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${archive}@2x.gfx
          DESTINATION ${CMAKE_INSTALL_DATADIR}/tessum)
endforeach()
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/hilfe DESTINATION ${CMAKE_INSTALL_DATADIR}/tessum)
install(FILES ${gen}/${TESSUM_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${gen}/${TESSUM_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${pkg}/tessum.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${TESSUM_APP_ID}.xml)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${TESSUM_ICON_DIR}/hicolor/${size}x${size}/apps/${TESSUM_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${TESSUM_ICON_DIR}/hicolor/scalable/apps/${TESSUM_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Debian keeps manual pages compressed; elsewhere a plain one reads as well.
find_program(GZIP gzip)
if(GZIP)
  add_custom_command(OUTPUT ${gen}/tessum.6.gz ${gen}/changelog.gz
    COMMAND ${GZIP} -9nc ${gen}/tessum.6 > ${gen}/tessum.6.gz
    COMMAND ${GZIP} -9nc ${gen}/changelog > ${gen}/changelog.gz
    DEPENDS ${gen}/tessum.6 ${gen}/changelog)
  add_custom_target(tessum_docs ALL DEPENDS ${gen}/tessum.6.gz ${gen}/changelog.gz)
  install(FILES ${gen}/tessum.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${gen}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tessum)
else()
  install(FILES ${gen}/tessum.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()
install(FILES ${gen}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tessum)

# The Debian package (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessum)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The TESSUM developers <tessum@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sowing game of the mancala family for two players")
set(CPACK_PACKAGE_DESCRIPTION "TESSUM is a board game of the mancala family: each side sows the stones of
one of its pits around the board and tries to gather the most stones in its
end pit. Three rule variants, play against a friend or the computer at three
levels, animated hands and sounds, saved games, highscore tables, German and
English.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts the game's texts are set in, and the platform plugin that draws it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-comic-neue, fonts-dejavu-core, qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
