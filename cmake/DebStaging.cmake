# Run by `cpack -G DEB` on the staged files before it packs them, for what
# only the package wants: the programs, stripped already, also lose the
# sections that just name the compiler that built them (.comment, .note), and
# the player's guide is registered with the system's documentation index.
set(staged ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})

file(GLOB programs ${staged}/bin/*)
foreach(program ${programs})
  file(READ ${program} magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46") # not an ELF file
    continue()
  endif()
  execute_process(COMMAND ${CPACK_TREVA_STRIP} --remove-section=.comment --remove-section=.note ${program}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not strip ${program}")
  endif()
endforeach()

# The registration names the guide's place in the package (/usr); a build
# without the desktop program has no guide.
if(EXISTS ${staged}/share/doc/treva/guide/index.html)
  file(MAKE_DIRECTORY ${staged}/share/doc-base)
  file(COPY_FILE ${CPACK_TREVA_DEBIAN}/treva-guide.doc-base ${staged}/share/doc-base/treva.treva-guide)
endif()
