; The per-user installer of a clock: no administrator rights; the clock,
; its package and a short read-me go to %LOCALAPPDATA%\Programs\<clock>,
; which the user can write, so Alarm.sav lives beside the clock as always.
; clockpack release puts the defines CLOCK_NAME (the clock's name as users
; see it), CLOCK_NAME_UI (the same with "&" doubled for dialogs), FILE_NAME
; (the name made safe for files and registry keys), VERSION, VI_VERSION,
; PUBLISHER, EXE and PACKAGE before this script, in a folder that holds
; clock.exe, clock.kvx, README.txt and clock.ico; it writes setup.out there.
; The clock is a 64-bit program: so is its installer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${FILE_NAME}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define CLOCK_CLASS "DeskClock.Clock"

Name "${CLOCK_NAME}" "${CLOCK_NAME_UI}"
OutFile "setup.out"
InstallDir "$LOCALAPPDATA\Programs\${FILE_NAME}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VI_VERSION}"
VIAddVersionKey "ProductName" "${CLOCK_NAME}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${CLOCK_NAME} ${VERSION} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "clock.ico"
!define MUI_UNICON "clock.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${CLOCK_NAME_UI} now"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks every running clock to close (it saves nothing at exit: its alarms
; are saved at every change), so that its files can be replaced.
!macro CloseClocks
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${CLOCK_CLASS}"
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    Sleep 200
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 25
!macroend

Section "Install"
  SetShellVarContext current
  !insertmacro CloseClocks
  SetOutPath "$INSTDIR"
  File "/oname=$INSTDIR\${EXE}" "clock.exe"
  File "/oname=$INSTDIR\${PACKAGE}" "clock.kvx"
  File "README.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${FILE_NAME}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${CLOCK_NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Deletes the clock's Run value under a root when it starts this copy.
!macro DeleteRunValue ROOT
  ReadRegStr $0 ${ROOT} "${RUN_KEY}" "${CLOCK_NAME}"
  ${If} $0 == '"$INSTDIR\${EXE}"'
  ${OrIf} $0 == "$INSTDIR\${EXE}"
    DeleteRegValue ${ROOT} "${RUN_KEY}" "${CLOCK_NAME}"
  ${EndIf}
!macroend

Section "Uninstall"
  SetShellVarContext current
  !insertmacro CloseClocks
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${PACKAGE}"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\tmp.swf"
  Delete "$INSTDIR\Alarm.sav.tmp"
  Delete "$INSTDIR\Uninstall.exe"
  ; The alarms are the user's: asked, or kept in a silent uninstall.
  ${If} ${FileExists} "$INSTDIR\Alarm.sav"
    MessageBox MB_YESNO|MB_ICONQUESTION "Remove your alarms too?$\r$\n$\r$\nNo keeps them in $INSTDIR\Alarm.sav for a later install." /SD IDNO IDNO keepAlarms
    Delete "$INSTDIR\Alarm.sav"
    Delete "$INSTDIR\Alarm.sav.unreadable*"
    keepAlarms:
  ${EndIf}
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${FILE_NAME}.lnk"
  !insertmacro DeleteRunValue HKCU
  !insertmacro DeleteRunValue HKLM
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
