# The guide's pictures into the web app's folder, when a Linux build has
# taken them:  cmake -DFROM=<pictures> -DTO=<folder> -P copy_guide_pictures.cmake
if(FROM AND IS_DIRECTORY "${FROM}")
  file(GLOB pictures "${FROM}/*.png")
  file(MAKE_DIRECTORY "${TO}")
  foreach(picture ${pictures})
    file(COPY "${picture}" DESTINATION "${TO}")
  endforeach()
endif()
