# What `cmake --install` puts where, and the Debian package made from it.
include(GNUInstallDirs)

set(TREVA_PICTURES ${PROJECT_SOURCE_DIR}/resources/pictures)
set(TREVA_DESKTOP ${PROJECT_SOURCE_DIR}/resources/desktop)

if(TREVA_GUI)
  install(FILES ${TREVA_DESKTOP}/treva.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${TREVA_DESKTOP}/io.github.treva_assistant.Treva.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${TREVA_PICTURES}/treva.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${TREVA_PICTURES}/106-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME treva.png)
  endforeach()
endif()

# Scenario files: their type and icon serve treva-cli users too.
install(FILES ${TREVA_DESKTOP}/treva-trvfile.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${TREVA_PICTURES}/treva-scenario.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-treva-scenario.svg)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${TREVA_PICTURES}/131-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/mimetypes
          RENAME application-x-treva-scenario.png)
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/docs/treva-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

# The player's guide, with the pictures a program takes of itself: installed
# here on Linux, packaged on Windows, served beside the page on the web.
if(WIN32 OR TREVA_GUI OR EMSCRIPTEN)
  include(${CMAKE_CURRENT_LIST_DIR}/Guide.cmake)
endif()

if(WIN32)
  # Windows gets an installer and a zip instead of a Debian package.
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackages.cmake)
  return()
endif()

# cpack -G DEB: a package whose library dependencies are read off the
# installed programs, so it asks for exactly the Qt runtime it was built with.
set(CPACK_PACKAGE_NAME treva)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The TREVA developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "assistant for solo play of the VENK wargame module")
set(CPACK_PACKAGE_CONTACT "The TREVA developers <treva-developers@invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "TREVA throws the dice and looks up the tables of the ENEMY side for solo play of\nthe VENK board wargame module: activation and the units that appear, actions,\nmovement and fire priorities, close combat and small random number tables. It\nkeeps die statistics and saves scenarios as .trv files. Includes treva-cli.")
set(CPACK_STRIP_FILES ON)
if(TREVA_GUI)
  # The windowing plugins (xcb, wayland, offscreen) are a package of their own.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
include(CPack)
