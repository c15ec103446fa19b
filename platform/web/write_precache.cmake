# Writes OUTDIR/precache.json, the files the service worker keeps for offline
# use, and OUTDIR/sw.js with the same version stamped in. Run at build time,
# after the page is built, so that the list and the version follow the files:
#   cmake -DOUTDIR=... -DPAGE=... -DPICTURES=... -DVERSION=... -P write_precache.cmake
# The version is VERSION and a hash of every listed file and of the worker's
# source; the browser compares sw.js byte for byte to see a new build, so a
# change in any of them gives a new worker and a fresh cache.
cmake_minimum_required(VERSION 3.25)
foreach(var OUTDIR PAGE PICTURES VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "write_precache.cmake: -D${var}=... is missing")
  endif()
endforeach()

# The app shell (the page's script is one file, page.js; its source map is
# for the browser's tools only), then the icons and the 1x pictures: the 2x
# ones and the desktop icon sizes (NNN-SS.png) are left to be cached when
# first asked for; then the guide as built beside the page.
set(wanted index.html page.js treva.css treva.js treva.wasm manifest.webmanifest)
file(GLOB icons RELATIVE "${PAGE}" "${PAGE}/icons/*.png")
list(SORT icons)
list(APPEND wanted ${icons} icons/treva.svg)
file(GLOB pictures RELATIVE "${PICTURES}" "${PICTURES}/*.png")
list(FILTER pictures INCLUDE REGEX "^[^@-]+\\.png$")
list(SORT pictures COMPARE NATURAL)
list(TRANSFORM pictures PREPEND pictures/)
list(APPEND wanted ${pictures})
# The guide, so that Help's TREVA Guide opens offline too (without it the
# worker sends the reader to the program instead, a second TREVA).
file(GLOB guide RELATIVE "${OUTDIR}" "${OUTDIR}/guide/*.html" "${OUTDIR}/guide/pictures/*.png")
list(SORT guide)
list(APPEND wanted ${guide})

# A missing file would make the worker's whole install fail, so it is left
# out of the list, with a warning.
set(files)
set(sums)
foreach(name IN LISTS wanted)
  if(EXISTS "${OUTDIR}/${name}")
    list(APPEND files "${name}")
    file(SHA256 "${OUTDIR}/${name}" sum)
    string(APPEND sums "${sum} ${name}\n")
  else()
    message(WARNING "write_precache.cmake: ${OUTDIR}/${name} is missing; the service worker will not keep it")
  endif()
endforeach()
file(READ "${PAGE}/sw.js" worker)
string(SHA256 sum "${worker}")
string(APPEND sums "${sum} sw.js\n")
string(SHA256 hash "${sums}")
string(SUBSTRING "${hash}" 0 12 hash)
set(version "${VERSION}-${hash}")

set(json "{\n  \"version\": \"${version}\",\n  \"files\": [\n")
set(separator "")
foreach(name IN LISTS files)
  string(APPEND json "${separator}    \"${name}\"")
  set(separator ",\n")
endforeach()
string(APPEND json "\n  ]\n}\n")
string(REPLACE "@TREVA_WEB_VERSION@" "${version}" worker "${worker}")

# Rewritten only when the text changes, so that the files keep their times.
function(write_if_changed path text)
  if(EXISTS "${path}")
    file(READ "${path}" old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${text}")
endfunction()
write_if_changed("${OUTDIR}/precache.json" "${json}")
write_if_changed("${OUTDIR}/sw.js" "${worker}")
