# The player's guide, built into ${PROJECT_BINARY_DIR}/guide: index.html made
# from docs/guide/guide.md by cmark, and pictures/*.png, which the desktop
# program takes of its own windows (`--screenshots`). The Linux build installs
# it; the Windows build puts it into its packages (WindowsPackages.cmake). The
# web build puts it beside the page (web/guide), its pictures taken of the
# page in Chromium (web/screenshots).
find_program(TREVA_CMARK cmark REQUIRED)

if(EMSCRIPTEN)
  set(TREVA_GUIDE_DIR ${PROJECT_BINARY_DIR}/web/guide)
else()
  set(TREVA_GUIDE_DIR ${PROJECT_BINARY_DIR}/guide)
endif()
set(TREVA_GUIDE_PICTURES ${TREVA_GUIDE_DIR}/pictures)
# Written once the pictures are all there.
set(TREVA_GUIDE_PICTURES_STAMP ${TREVA_GUIDE_DIR}/pictures.stamp)

set(markdown ${PROJECT_SOURCE_DIR}/docs/guide/guide.md)
set(page ${PROJECT_SOURCE_DIR}/docs/guide/page.html.in)
add_custom_command(OUTPUT ${TREVA_GUIDE_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -DCMARK=${TREVA_CMARK} -DMARKDOWN=${markdown} -DPAGE=${page}
          -DOUTPUT=${TREVA_GUIDE_DIR}/index.html -P ${CMAKE_CURRENT_LIST_DIR}/GuidePage.cmake
  DEPENDS ${markdown} ${page} ${CMAKE_CURRENT_LIST_DIR}/GuidePage.cmake
  COMMENT "The guide's page, guide/index.html"
  VERBATIM)

# The pictures afresh, so that none is left over from an earlier program:
# the command after `program` writes them into the folder appended to it.
function(treva_guide_pictures program)
  add_custom_command(OUTPUT ${TREVA_GUIDE_PICTURES_STAMP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${TREVA_GUIDE_PICTURES} ${TREVA_GUIDE_PICTURES_STAMP}
    COMMAND ${ARGN} ${TREVA_GUIDE_PICTURES}
    COMMAND ${CMAKE_COMMAND} -E touch ${TREVA_GUIDE_PICTURES_STAMP}
    DEPENDS ${program}
    COMMENT "The guide's pictures, taken by ${program}"
    VERBATIM)
  add_custom_target(guide ALL DEPENDS ${TREVA_GUIDE_DIR}/index.html ${TREVA_GUIDE_PICTURES_STAMP})
  set(TREVA_GUIDE_TAKES_PICTURES ON PARENT_SCOPE)
endfunction()

if(WIN32)
  # Taken under Wine on a virtual display, in the prefix the tests use.
  treva_guide_pictures(treva
    ${CMAKE_COMMAND} -E env WINEPREFIX=${PROJECT_BINARY_DIR}/wine WINEDEBUG=-all
    ${PROJECT_SOURCE_DIR}/scripts/wine-display-run $<TARGET_FILE:treva> --screenshots)
elseif(EMSCRIPTEN)
  # The page's drive program plays the scenes; Chromium and the npm packages
  # (npm ci) photograph them. Without them the guide shows its text alone.
  find_program(TREVA_NODE node)
  find_program(TREVA_CHROMIUM chromium)
  if(TREVA_NODE AND TREVA_CHROMIUM AND EXISTS ${PROJECT_SOURCE_DIR}/node_modules/puppeteer-core)
    treva_guide_pictures(treva_web_drive
      ${CMAKE_COMMAND} -E env TREVA_WEB_DIR=${PROJECT_BINARY_DIR}/web TREVA_CHROMIUM=${TREVA_CHROMIUM}
      ${TREVA_NODE} ${PROJECT_SOURCE_DIR}/web/screenshots.mjs)
    add_dependencies(guide treva_web_page)
  else()
    message(STATUS "The web guide has no pictures: they need node, chromium and npm ci")
    add_custom_target(guide ALL DEPENDS ${TREVA_GUIDE_DIR}/index.html)
  endif()
elseif(TREVA_QT)
  treva_guide_pictures(treva ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:treva> --screenshots)
  install(FILES ${TREVA_GUIDE_DIR}/index.html DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/treva/guide)
  install(DIRECTORY ${TREVA_GUIDE_PICTURES}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/treva/guide/pictures
          FILES_MATCHING PATTERN "*.png")
endif()
