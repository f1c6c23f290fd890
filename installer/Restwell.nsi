; Per-user setup for people without administrator rights: Restwell.exe under the user's local
; programs folder, a Start-menu shortcut, autostart at log-on and an uninstaller listed under
; Apps & features. Built by scripts/package, which defines VERSION, SOURCE_EXE, ICON and OUTFILE
; (and SIGN_COMMAND when the files are to be signed). "/S" installs and uninstalls silently.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "Restwell"
!define COMPANY "Quillfen Ltd."
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Restwell"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Quillfen\Restwell"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${COMPANY}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "Restwell setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2024-2026 ${COMPANY}"

!ifdef SIGN_COMMAND
!uninstfinalize '${SIGN_COMMAND} "%1"'
!endif

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var Upgrading

; Asks a running Restwell to end and waits (at most ten seconds) until its file can go.
!macro CloseProgram
  ${If} ${FileExists} "$INSTDIR\Restwell.exe"
    ExecWait '"$INSTDIR\Restwell.exe" -close'
    StrCpy $R0 0
    ${Do}
      ClearErrors
      Delete "$INSTDIR\Restwell.exe"
      ${IfNot} ${Errors}
        ${Break}
      ${EndIf}
      IntOp $R0 $R0 + 1
      ${If} $R0 > 40
        ${Break}
      ${EndIf}
      Sleep 250
    ${Loop}
  ${EndIf}
!macroend

Function .onInit
  ; An install already there is replaced in its own folder; a newer one is kept.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
    StrCpy $Upgrading 1
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
    ${VersionCompare} $1 "${VERSION}" $2
    ${If} $2 == 1
      MessageBox MB_ICONSTOP "A newer version of Restwell ($1) is already installed." /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Restwell"
  SetOutPath "$INSTDIR"
  !insertmacro CloseProgram
  File "/oname=Restwell.exe" "${SOURCE_EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext current
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Restwell.exe" "" "$INSTDIR\Restwell.exe" 0
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Restwell.exe" -startup'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Restwell.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The first install welcomes the user; a replaced older version says what is new.
  ${If} $Upgrading == 1
    Exec '"$INSTDIR\Restwell.exe" -upgrade'
  ${Else}
    Exec '"$INSTDIR\Restwell.exe" -setup'
  ${EndIf}
SectionEnd

Section "Uninstall"
  !insertmacro CloseProgram
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  MessageBox MB_YESNO|MB_ICONQUESTION \
    "Keep your Restwell settings (break periods, planned breaks and options) for a later install?" \
    /SD IDYES IDYES keep
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Quillfen"
keep:
SectionEnd
