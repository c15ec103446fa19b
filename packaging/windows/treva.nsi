; TREVA's installer for Windows: installs for the current user only, so it
; needs no administrator rights, and its uninstaller takes back all it added.
;
; Made by cmake/WindowsPackages.cmake:
;   makensis -DVERSION=X.Y.Z -DSTAGE=<folder of the files> -DGUIDE_FILES=<guide-files.nsh>
;            -DICON=<app.ico> -DOUTFILE=<setup.exe> treva.nsi
; GUIDE_FILES (cmake/GuideFiles.cmake) installs and removes the guide's files.
; Runs silently with /S (and /D=FOLDER to choose the folder), as does the
; uninstaller.

!ifndef VERSION | STAGE | GUIDE_FILES | ICON | OUTFILE
  !error "makensis needs -DVERSION, -DSTAGE, -DGUIDE_FILES, -DICON and -DOUTFILE"
!endif

Unicode true
; The programs are 64-bit only, and so is the installer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PUBLISHER "The TREVA developers"
!define APPS_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TREVA"
; The per-user classes, where treva.exe itself associates .trv files.
!define CLASSES "Software\Classes"
!define EXTENSION ".trv"
!define PROGID "trvfile"

Name "TREVA"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\TREVA"
; Installing again goes where the last install went.
InstallDirRegKey HKCU "${APPS_KEY}" "InstallLocation"
BrandingText "TREVA ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include "${GUIDE_FILES}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The licence grants; it asks for no agreement.
!define MUI_LICENSEPAGE_TEXT_BOTTOM "TREVA is free to use, copy and share under this licence."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "TREVA"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "TREVA ${VERSION} installer"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright the TREVA developers, MIT licence"

; A running program's file can be neither replaced nor removed: the player
; closes it first, rather than being left with a half-changed folder. Silent,
; the answer is Cancel and the run ends with exit status 2.
!macro RequireClosed FILE
  ${If} ${FileExists} "$INSTDIR\${FILE}"
    ${Do}
      ClearErrors
      FileOpen $0 "$INSTDIR\${FILE}" a
      ${IfNot} ${Errors}
        FileClose $0
        ${Break}
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${FILE} is running. Close it, then choose Retry." \
        /SD IDCANCEL IDRETRY +2
      Abort "${FILE} is running."
    ${Loop}
  ${EndIf}
!macroend

; Explorer caches icons and verbs; it shows the new ones only when told.
!macro AssociationsChanged
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

Section "TREVA"
  !insertmacro RequireClosed "treva.exe"
  !insertmacro RequireClosed "treva-cli.exe"

  SetOutPath "$INSTDIR"
  File "${STAGE}\treva.exe"
  File "${STAGE}\treva-cli.exe"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\README.txt"
  !insertmacro InstallGuide
  ; The Start menu entry starts TREVA in its own folder.
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\TREVA.lnk" "$INSTDIR\treva.exe" "" "$INSTDIR\treva.exe" 0 SW_SHOWNORMAL "" \
    "Dice and tables of the ENEMY side for solo play of VENK"

  ; The keys treva.exe writes at every start. As there, a .trv type that
  ; another program claims stays that program's.
  ReadRegStr $0 HKCU "${CLASSES}\${EXTENSION}" ""
  ${If} $0 == ""
  ${OrIf} $0 == "${PROGID}"
    WriteRegStr HKCU "${CLASSES}\${EXTENSION}" "" "${PROGID}"
    WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "TREVA file"
    WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" '"$INSTDIR\treva.exe",1'
    WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\treva.exe" "%1"'
    !insertmacro AssociationsChanged
  ${Else}
    DetailPrint "${EXTENSION} files stay with $0."
  ${EndIf}

  ; The entry in Settings > Apps.
  WriteRegStr HKCU "${APPS_KEY}" "DisplayName" "TREVA"
  WriteRegStr HKCU "${APPS_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${APPS_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${APPS_KEY}" "DisplayIcon" '"$INSTDIR\treva.exe",0'
  WriteRegStr HKCU "${APPS_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${APPS_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${APPS_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${APPS_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${APPS_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${APPS_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  !insertmacro RequireClosed "treva.exe"
  !insertmacro RequireClosed "treva-cli.exe"

  ; Only the files installed: anything the player put in the folder stays,
  ; and so does the folder then.
  Delete "$INSTDIR\treva.exe"
  Delete "$INSTDIR\treva-cli.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\README.txt"
  !insertmacro RemoveGuide
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\TREVA.lnk"

  ; The association goes only while it still names this folder's treva.exe:
  ; a copy of TREVA started elsewhere since, or another program, keeps it.
  ReadRegStr $0 HKCU "${CLASSES}\${PROGID}\shell\open\command" ""
  ${If} $0 == '"$INSTDIR\treva.exe" "%1"'
    DeleteRegKey HKCU "${CLASSES}\${PROGID}"
    ReadRegStr $1 HKCU "${CLASSES}\${EXTENSION}" ""
    ${If} $1 == "${PROGID}"
      ; Windows keeps lists of other programs for the type in the same key.
      DeleteRegValue HKCU "${CLASSES}\${EXTENSION}" ""
      DeleteRegKey /ifempty HKCU "${CLASSES}\${EXTENSION}"
    ${EndIf}
    !insertmacro AssociationsChanged
  ${EndIf}

  ; Last, so that an uninstall that stopped early is still listed.
  DeleteRegKey HKCU "${APPS_KEY}"
SectionEnd
