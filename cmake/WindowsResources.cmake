# Resources of the Windows programs, compiled with windres: version
# information, the manifest, the pictures and the icons.

# A resource script with `target`'s version information and its manifest
# (`manifest`, configured with the project's version), added to the target.
function(treva_windows_program_resources target description manifest)
  set(TREVA_RC_NAME ${target})
  set(TREVA_RC_DESCRIPTION "${description}")
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${dir}/version.rc @ONLY)
  configure_file(${manifest} ${dir}/program.manifest @ONLY)
  # CREATEPROCESS_MANIFEST_RESOURCE_ID of type RT_MANIFEST: read as the program starts.
  file(WRITE ${dir}/manifest.rc "1 24 \"${dir}/program.manifest\"\n")
  set_source_files_properties(${dir}/manifest.rc PROPERTIES OBJECT_DEPENDS ${dir}/program.manifest)
  target_sources(${target} PRIVATE ${dir}/version.rc ${dir}/manifest.rc)
endfunction()

# Every picture of resources/pictures as a resource the program reads
# (PICTURE_<id>, and PICTURE_<id>_2X for the drawing at twice the size), in
# one script that executables showing pictures add to their sources: a
# resource in a static library would never be linked in.
function(treva_pictures_resource_script out)
  file(GLOB pictures RELATIVE ${PROJECT_SOURCE_DIR}/resources/pictures ${PROJECT_SOURCE_DIR}/resources/pictures/*.png)
  set(script "// The program's pictures, from resources/pictures.\n")
  foreach(file IN LISTS pictures)
    if(file MATCHES "^([0-9]+)(@2x)?\\.png$")
      set(name PICTURE_${CMAKE_MATCH_1})
      if(CMAKE_MATCH_2)
        string(APPEND name _2X)
      endif()
      string(APPEND script "${name} RCDATA \"${PROJECT_SOURCE_DIR}/resources/pictures/${file}\"\n")
    endif()
  endforeach()
  file(CONFIGURE OUTPUT ${out} CONTENT "${script}")
endfunction()

# An icon file made of the drawn sizes of icon `id` (resources/pictures/
# <id>-<size>.png); the largest stays a PNG inside the icon, as Windows reads it.
function(treva_icon out id)
  set(dir ${PROJECT_SOURCE_DIR}/resources/pictures)
  set(small)
  foreach(size 16 24 32 48 64 128)
    list(APPEND small ${dir}/${id}-${size}.png)
  endforeach()
  find_program(ICOTOOL icotool REQUIRED)
  add_custom_command(OUTPUT ${out}
    COMMAND ${ICOTOOL} -c -o ${out} ${small} -r ${dir}/${id}-256.png
    DEPENDS ${small} ${dir}/${id}-256.png
    COMMENT "Icon ${id}")
endfunction()
