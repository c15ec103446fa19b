# The installer's lines for the guide's files, one by one, as they are
# staged: the uninstaller then removes exactly what was installed, and
# anything the player put beside them stays.
#   cmake -DSTAGE=<package folder> -DOUTPUT=guide-files.nsh -P GuideFiles.cmake
# Defines the macros InstallGuide and RemoveGuide; the installer's script
# passes its own STAGE to makensis, which the lines name.
foreach(variable STAGE OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "GuideFiles.cmake needs -D${variable}")
  endif()
endforeach()

file(GLOB pictures RELATIVE ${STAGE}/guide/pictures ${STAGE}/guide/pictures/*.png)
if(NOT EXISTS ${STAGE}/guide/index.html OR NOT pictures)
  message(FATAL_ERROR "no guide in ${STAGE}/guide")
endif()
list(SORT pictures)

set(install [[
; Written by cmake/GuideFiles.cmake: the guide's files as staged.
!macro InstallGuide
  SetOutPath "$INSTDIR\guide"
  File "${STAGE}\guide\index.html"
  SetOutPath "$INSTDIR\guide\pictures"
]])
set(remove "!macro RemoveGuide\n")
foreach(picture ${pictures})
  string(APPEND install "  File \"\${STAGE}\\guide\\pictures\\${picture}\"\n")
  string(APPEND remove "  Delete \"$INSTDIR\\guide\\pictures\\${picture}\"\n")
endforeach()
string(APPEND install "!macroend\n")
string(APPEND remove [[
  RMDir "$INSTDIR\guide\pictures"
  Delete "$INSTDIR\guide\index.html"
  RMDir "$INSTDIR\guide"
!macroend
]])
file(WRITE ${OUTPUT} "${install}${remove}")
