# Each library sees only its own folder and the folders of the libraries it
# links, so an include from a lower layer into a higher one (or between two
# libraries that do not link each other) fails to compile.
#
# Sources include headers by their path from the source root ("dice/dice.h").
# A library's include root is a folder of its own in the build tree holding
# one link, <folder> -> the source folder; it is published to whatever links
# the library, and nothing exports the source root itself.
function(treva_scope target folder)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
