# The web app's own files beside the page: the manifest, the icons, the
# service worker and the list of files it keeps for offline use.
#
#   include(WebApp.cmake)
#   treva_web_app_files(OUTDIR DEPENDS_TARGET)
#
# OUTDIR is the folder served to the browser; DEPENDS_TARGET is the target
# that builds the page into it (index.html, page.js, treva.css, treva.js,
# treva.wasm, pictures/). The manifest and the icons are copied before
# DEPENDS_TARGET is built; sw.js and precache.json are written after it, on
# every build, from what OUTDIR then holds, because their version has to
# change whenever any file the worker keeps changes (write_precache.cmake).

function(treva_web_app_files OUTDIR DEPENDS_TARGET)
  set(here "${CMAKE_CURRENT_FUNCTION_LIST_DIR}")
  set(page "${here}/page")
  get_filename_component(pictures "${here}/../../resources/pictures" ABSOLUTE)
  if(NOT IS_DIRECTORY "${pictures}")
    message(FATAL_ERROR "treva_web_app_files: no pictures at ${pictures}")
  endif()

  # Copies: the manifest, the rendered icons, and the program's own SVG icon.
  file(GLOB icons CONFIGURE_DEPENDS "${page}/icons/*.png")
  set(sources "${page}/manifest.webmanifest" ${icons} "${pictures}/treva.svg")
  set(outputs "${OUTDIR}/manifest.webmanifest")
  foreach(icon IN LISTS icons)
    cmake_path(GET icon FILENAME name)
    list(APPEND outputs "${OUTDIR}/icons/${name}")
  endforeach()
  list(APPEND outputs "${OUTDIR}/icons/treva.svg")
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${OUTDIR}/icons"
    COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${page}/manifest.webmanifest" "${OUTDIR}/"
    COMMAND "${CMAKE_COMMAND}" -E copy_if_different ${icons} "${pictures}/treva.svg" "${OUTDIR}/icons/"
    DEPENDS ${sources}
    COMMENT "Copying the web app's manifest and icons"
    VERBATIM)
  add_custom_target(${DEPENDS_TARGET}_web_app_files DEPENDS ${outputs})
  add_dependencies(${DEPENDS_TARGET} ${DEPENDS_TARGET}_web_app_files)

  # The worker and its list, after the page: a target with no output runs on
  # every build; the script rewrites a file only when its text changes.
  set(version "${PROJECT_VERSION}")
  if(DEFINED treva_VERSION)
    set(version "${treva_VERSION}")
  endif()
  add_custom_target(${DEPENDS_TARGET}_web_precache ALL
    COMMAND "${CMAKE_COMMAND}" "-DOUTDIR=${OUTDIR}" "-DPAGE=${page}" "-DPICTURES=${pictures}"
            "-DVERSION=${version}" -P "${here}/write_precache.cmake"
    VERBATIM)
  add_dependencies(${DEPENDS_TARGET}_web_precache ${DEPENDS_TARGET} ${DEPENDS_TARGET}_web_app_files)
  # The guide is kept too, so it is listed once built (cmake/Guide.cmake).
  add_dependencies(${DEPENDS_TARGET}_web_precache guide)
endfunction()
