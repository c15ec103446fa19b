# platform/web/write_precache.cmake on a made-up build: which files the
# service worker is told to keep, and when its version changes.
#   cmake -DSOURCE=<repository> -DWORK=<scratch folder> -P precache_test.cmake
cmake_minimum_required(VERSION 3.25)
set(failures 0)
# check("CONDITION" "what is wrong otherwise"): CONDITION as if() reads it.
macro(check condition what)
  cmake_language(EVAL CODE "if(${condition})\nset(held 1)\nelse()\nset(held 0)\nendif()")
  if(NOT held)
    message(SEND_ERROR "failed: ${what}")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()

set(out "${WORK}/web")
set(pictures "${WORK}/pictures")
set(page "${SOURCE}/platform/web/page")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${out}/pictures" "${out}/icons" "${pictures}")
# 1x pictures, 2x pictures and a desktop icon's sizes, as resources/pictures has them.
foreach(name 7.png 109.png 109@2x.png 131-16.png 131-256.png 20.png 20@2x.png)
  file(WRITE "${pictures}/${name}" "picture ${name}")
  file(WRITE "${out}/pictures/${name}" "picture ${name}")
endforeach()
# The page's script as the build makes it: one file and its source map.
foreach(name index.html page.js page.js.map treva.css treva.js treva.wasm manifest.webmanifest icons/treva.svg)
  file(WRITE "${out}/${name}" "content of ${name}")
endforeach()
file(GLOB icons RELATIVE "${page}" "${page}/icons/*.png")
foreach(icon IN LISTS icons)
  file(WRITE "${out}/${icon}" "icon")
endforeach()

function(run)
  execute_process(COMMAND "${CMAKE_COMMAND}" "-DOUTDIR=${out}" "-DPAGE=${page}" "-DPICTURES=${pictures}"
                          -DVERSION=1.2.3 -P "${SOURCE}/platform/web/write_precache.cmake"
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  set(status "${status}" PARENT_SCOPE)
  set(errors "${errors}" PARENT_SCOPE)
  file(READ "${out}/precache.json" json)
  string(JSON version GET "${json}" version)
  # The names, as a list: none has a quote in it.
  string(JSON array GET "${json}" files)
  string(REGEX MATCHALL "\"[^\"]*\"" files "${array}")
  string(REPLACE "\"" "" files "${files}")
  set(version "${version}" PARENT_SCOPE)
  set(files "${files}" PARENT_SCOPE)
endfunction()

# The list: the shell (the script's source map is for the browser's tools,
# not kept), the icons, the 1x pictures in number order.
run()
check("status EQUAL 0" "write_precache.cmake ran (${errors})")
set(expected index.html page.js treva.css treva.js treva.wasm manifest.webmanifest)
list(APPEND expected ${icons} icons/treva.svg pictures/7.png pictures/20.png pictures/109.png)
check("files STREQUAL expected" "the list is ${files}, not ${expected}")
string(REGEX MATCH "^1\\.2\\.3-[0-9a-f]+$" wellFormed "${version}")
check("wellFormed" "the version ${version} is the project's and a hash")

# The worker carries the same version, and nothing else of it changes.
file(READ "${page}/sw.js" source)
file(READ "${out}/sw.js" worker)
string(REPLACE "@TREVA_WEB_VERSION@" "${version}" stamped "${source}")
check("worker STREQUAL stamped" "sw.js is the source with the version stamped in")

# A build that changes nothing keeps the version and leaves the files alone.
set(first "${version}")
file(TIMESTAMP "${out}/sw.js" written "%s")
execute_process(COMMAND "${CMAKE_COMMAND}" -E sleep 1.1)
run()
file(TIMESTAMP "${out}/sw.js" after "%s")
check("version STREQUAL first" "an unchanged build keeps the version (${first}, then ${version})")
check("after STREQUAL written" "an unchanged build does not rewrite sw.js")

# Any listed file changing gives a new version; a file not listed does not.
file(WRITE "${out}/pictures/109@2x.png" "drawn again")
run()
check("version STREQUAL first" "a 2x picture, not kept at install, leaves the version")
foreach(name treva.wasm page.js pictures/20.png icons/treva.svg)
  file(READ "${out}/${name}" old)
  file(WRITE "${out}/${name}" "changed")
  run()
  check("NOT version STREQUAL first" "a change of ${name} gives a new version")
  file(READ "${out}/sw.js" worker)
  string(FIND "${worker}" "'${version}'" where)
  check("where GREATER -1" "sw.js follows the new version when ${name} changes")
  file(WRITE "${out}/${name}" "${old}")
  run()
  check("version STREQUAL first" "${name} back as it was gives the first version again")
endforeach()

# A missing file would fail the whole install: it is left out, with a warning.
file(REMOVE "${out}/treva.css")
run()
check("status EQUAL 0" "a missing file does not stop the build")
check("NOT \"treva.css\" IN_LIST files" "a missing file is left out of the list")
check("\"treva.js\" IN_LIST files" "the other files stay in the list")
# CMake wraps a warning's lines, so its words are joined again first.
string(REGEX REPLACE "[ \n]+" " " flat "${errors}")
string(FIND "${flat}" "treva.css is missing" warned)
check("warned GREATER -1" "a missing file is named in a warning")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} checks failed")
endif()
message(STATUS "write_precache.cmake: all checks passed")
