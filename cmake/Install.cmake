# What `cmake --install` puts where, and the Debian package made from it.
include(GNUInstallDirs)

set(TREVA_PICTURES ${PROJECT_SOURCE_DIR}/resources/pictures)
set(TREVA_DESKTOP ${PROJECT_SOURCE_DIR}/resources/desktop)

if(TREVA_QT)
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

# Who answers for the package: the Debian package's maintainer, and the
# signature of its changelog.
set(TREVA_MAINTAINER "TREVA Developers <treva-assistant@users.noreply.github.com>"
    CACHE STRING "Name and address of the package's maintainer, as \"Name <address>\"")
if(NOT TREVA_MAINTAINER MATCHES "^[^<>]+ <[^<>@ ]+@[^<>@ ]+\\.[^<>@ ]+>$")
  message(FATAL_ERROR "TREVA_MAINTAINER must read \"Name <address>\", not \"${TREVA_MAINTAINER}\"")
endif()

# The documentation files that installing takes from the build folder: the
# manual pages and the changelog gzipped as a system's man and doc folders
# keep them (gzip -9n: no name or time inside, so every build makes the same
# bytes), and the copyright file in the machine-readable form.
find_program(TREVA_GZIP gzip REQUIRED)
set(TREVA_INSTALLED_DOCS ${PROJECT_BINARY_DIR}/installed-docs)
set(treva_gzipped "")
function(treva_gzip source name)
  set(copy ${TREVA_INSTALLED_DOCS}/${name})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND ${TREVA_GZIP} -9nf ${copy}
    DEPENDS ${source}
    COMMENT "Gzipped ${name}"
    VERBATIM)
  set(treva_gzipped ${treva_gzipped} ${copy}.gz PARENT_SCOPE)
endfunction()

treva_gzip(${PROJECT_SOURCE_DIR}/docs/treva-cli.1 treva-cli.1)
install(FILES ${TREVA_INSTALLED_DOCS}/treva-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TREVA_QT)
  treva_gzip(${PROJECT_SOURCE_DIR}/docs/treva.1 treva.1)
  install(FILES ${TREVA_INSTALLED_DOCS}/treva.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The changelog's entry is this version's, dated as its release in the
# AppStream metadata, so that the same sources make the same file.
file(READ ${TREVA_DESKTOP}/io.github.treva_assistant.Treva.metainfo.xml metainfo)
string(REPLACE "." "\\." version_pattern "${PROJECT_VERSION}")
if(metainfo MATCHES "<release version=\"${version_pattern}\" date=\"([0-9]+)-([0-9]+)-([0-9]+)\"")
  set(year ${CMAKE_MATCH_1})
  set(month ${CMAKE_MATCH_2})
  set(day ${CMAKE_MATCH_3})
  # The day of the week (Sakamoto's method), which the date line names.
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR m "${month} - 1")
  list(GET offsets ${m} offset)
  set(y ${year})
  if(month LESS 3)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET weekdays ${weekday} weekday)
  list(GET months ${m} month_name)
  set(TREVA_RELEASE_DATE "${weekday}, ${day} ${month_name} ${year} 00:00:00 +0000")
else()
  message(WARNING "The AppStream metadata has no <release> for ${PROJECT_VERSION}: the changelog is dated today")
  string(TIMESTAMP TREVA_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in ${PROJECT_BINARY_DIR}/packaging-debian/changelog @ONLY)
treva_gzip(${PROJECT_BINARY_DIR}/packaging-debian/changelog changelog)
install(FILES ${TREVA_INSTALLED_DOCS}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
add_custom_target(installed_docs ALL DEPENDS ${treva_gzipped})

# The copyright file: LICENSE's holder and terms, in the fields and the
# indented text of Debian's machine-readable format.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
if(NOT license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n+(.+)$")
  message(FATAL_ERROR "LICENSE names no \"Copyright (c) ...\" line")
endif()
set(TREVA_COPYRIGHT "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" terms)
string(REGEX REPLACE "\n\n+" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " TREVA_LICENSE_TEXT " ${terms}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in ${TREVA_INSTALLED_DOCS}/copyright @ONLY)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${TREVA_INSTALLED_DOCS}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The player's guide, with the pictures a program takes of itself: installed
# here on Linux, packaged on Windows, served beside the page on the web.
if(WIN32 OR TREVA_QT OR EMSCRIPTEN)
  include(${CMAKE_CURRENT_LIST_DIR}/Guide.cmake)
endif()

if(WIN32)
  # Windows gets an installer and a zip instead of a Debian package.
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackages.cmake)
  return()
endif()

# The installed programs resolve all their library symbols at start, so that
# the table those land in can be read-only from then on (full RELRO), as in
# Debian's own hardened packages.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  foreach(program treva treva-cli)
    if(TARGET ${program})
      target_link_options(${program} PRIVATE LINKER:-z,now)
    endif()
  endforeach()
endif()

# cpack -G DEB: a package whose library dependencies are read off the
# installed programs, so it asks for exactly the Qt runtime it was built with.
set(CPACK_PACKAGE_NAME treva)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The TREVA developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "assistant for solo play of the VENK wargame module")
set(CPACK_PACKAGE_CONTACT "${TREVA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TREVA_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Not "games": Debian keeps the programs of that section in /usr/games, and
# TREVA is a player's tool beside the board, not a game of its own.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Lines of at most 79 characters: the package tools indent each by one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "TREVA throws the dice and looks up the tables of the ENEMY side for solo\n\
play of the VENK board wargame module: activation and the units that appear,\n\
actions, movement and fire priorities, close combat and small random number\n\
tables. It keeps die statistics and saves scenarios as .trv files. The package\n\
holds the desktop program treva and the terminal program treva-cli.")
set(CPACK_STRIP_FILES ON)
set(CPACK_TREVA_STRIP ${CMAKE_STRIP})
set(CPACK_TREVA_DEBIAN ${PROJECT_SOURCE_DIR}/packaging/debian)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebStaging.cmake)
if(TREVA_QT)
  # The windowing plugins (xcb, wayland, offscreen) are a package of their own.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
include(CPack)
