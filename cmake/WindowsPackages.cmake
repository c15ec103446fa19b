# The Windows packages, made in the build folder by every build and by
# `cmake --build --preset windows --target package` alone:
#   treva-<version>-windows-x64-setup.exe  a per-user installer (NSIS)
#   treva-<version>-windows-x64.zip        the same files to unpack and run
# Both hold the stripped programs, the licence and a short readme, as text
# files with Windows line ends, and the player's guide (guide\index.html and
# guide\pictures\*.png, Guide.cmake), its pictures taken by the Windows
# program itself.
find_program(TREVA_MAKENSIS makensis REQUIRED)
find_program(TREVA_ZIP zip REQUIRED)

set(TREVA_PACKAGE_NAME treva-${PROJECT_VERSION}-windows-x64)
set(TREVA_INSTALLER ${PROJECT_BINARY_DIR}/${TREVA_PACKAGE_NAME}-setup.exe)
set(TREVA_ZIP_FILE ${PROJECT_BINARY_DIR}/${TREVA_PACKAGE_NAME}.zip)
set(packaging ${PROJECT_BINARY_DIR}/packaging)
# The zip unpacks into one folder of this name; the installer takes its files too.
set(TREVA_PACKAGE_STAGE ${packaging}/TREVA-${PROJECT_VERSION})

configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in ${TREVA_PACKAGE_STAGE}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${TREVA_PACKAGE_STAGE}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

set(programs ${TREVA_PACKAGE_STAGE}/treva.exe ${TREVA_PACKAGE_STAGE}/treva-cli.exe)
add_custom_command(OUTPUT ${programs}
  COMMAND ${CMAKE_STRIP} -o ${TREVA_PACKAGE_STAGE}/treva.exe $<TARGET_FILE:treva>
  COMMAND ${CMAKE_STRIP} -o ${TREVA_PACKAGE_STAGE}/treva-cli.exe $<TARGET_FILE:treva-cli>
  DEPENDS treva treva-cli
  COMMENT "Stripped programs for the packages"
  VERBATIM)

# The guide, staged afresh whenever it changes, with the installer's lines
# for exactly its files.
set(guide_staged ${packaging}/guide.stamp)
set(guide_files ${packaging}/guide-files.nsh)
add_custom_command(OUTPUT ${guide_staged} ${guide_files}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TREVA_PACKAGE_STAGE}/guide
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${TREVA_GUIDE_PICTURES} ${TREVA_PACKAGE_STAGE}/guide/pictures
  COMMAND ${CMAKE_COMMAND} -E copy ${TREVA_GUIDE_DIR}/index.html ${TREVA_PACKAGE_STAGE}/guide/index.html
  COMMAND ${CMAKE_COMMAND} -DSTAGE=${TREVA_PACKAGE_STAGE} -DOUTPUT=${guide_files}
          -P ${CMAKE_CURRENT_LIST_DIR}/GuideFiles.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${guide_staged}
  DEPENDS ${TREVA_GUIDE_DIR}/index.html ${TREVA_GUIDE_PICTURES_STAMP} ${CMAKE_CURRENT_LIST_DIR}/GuideFiles.cmake
  COMMENT "The guide for the packages"
  VERBATIM)
set(staged ${programs} ${TREVA_PACKAGE_STAGE}/README.txt ${TREVA_PACKAGE_STAGE}/LICENSE.txt ${guide_staged})

treva_icon(${packaging}/installer.ico 106)
set(script ${PROJECT_SOURCE_DIR}/packaging/windows/treva.nsi)
add_custom_command(OUTPUT ${TREVA_INSTALLER}
  COMMAND ${TREVA_MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION} -DSTAGE=${TREVA_PACKAGE_STAGE}
          -DGUIDE_FILES=${guide_files} -DICON=${packaging}/installer.ico -DOUTFILE=${TREVA_INSTALLER} ${script}
  DEPENDS ${script} ${staged} ${guide_files} ${packaging}/installer.ico
  COMMENT "Installer ${TREVA_PACKAGE_NAME}-setup.exe"
  VERBATIM)

add_custom_command(OUTPUT ${TREVA_ZIP_FILE}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TREVA_ZIP_FILE}
  COMMAND ${TREVA_ZIP} -q -X -9 -r ${TREVA_ZIP_FILE} TREVA-${PROJECT_VERSION}
  WORKING_DIRECTORY ${packaging}
  DEPENDS ${staged}
  COMMENT "Portable ${TREVA_PACKAGE_NAME}.zip"
  VERBATIM)

# CMake keeps the name `package` for CPack while a configuration of it is
# in the build folder, as an earlier configure of this one left there.
file(REMOVE ${PROJECT_BINARY_DIR}/CPackConfig.cmake ${PROJECT_BINARY_DIR}/CPackSourceConfig.cmake)
add_custom_target(package ALL DEPENDS ${TREVA_INSTALLER} ${TREVA_ZIP_FILE})
