; The velk installer. tools/package builds it with
;   makensis -DVERSION=x.y.z.w -DBIN=<folder with the three programs> -DOUT=<setup.exe> velk.nsi
; It installs for the current user without administrator rights, or for every
; user of the machine when run elevated (/ALLUSERS or /CURRENTUSER choose
; explicitly). It registers velk for .dcm files beside whatever program already
; opens them, and its uninstaller takes away every file and key it added.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "velk"
!define PROGID "velk.dcm"
!define EXTENSION ".dcm"
!define CLASSES "Software\Classes"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\velk"
; The document icon: the second icon group of velk.exe (resource 129).
!define DOCUMENT_ICON "-129"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
ShowInstDetails show
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var AllUsers

; Per machine when elevated, unless /CURRENTUSER says otherwise; /ALLUSERS asks
; for it (and fails later without the rights, as any write to Program Files would).
Function .onInit
  StrCpy $AllUsers 0
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $AllUsers 1
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/ALLUSERS" $2
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/CURRENTUSER" $2
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${EndIf}
  ${If} $AllUsers == 1
    SetShellVarContext all
    SetRegView 64
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "velk"
  SetOutPath "$INSTDIR"
  File "${BIN}/velk.exe"
  File "${BIN}/velkdump.exe"
  File "${BIN}/mailrun.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\velk.exe"

  ; The ProgID: how velk opens a .dcm file, and the icon such a file shows.
  WriteRegStr SHCTX "${CLASSES}\${PROGID}" "" "DICOM file"
  WriteRegStr SHCTX "${CLASSES}\${PROGID}\DefaultIcon" "" '"$INSTDIR\velk.exe",${DOCUMENT_ICON}'
  WriteRegStr SHCTX "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\velk.exe" "%1"'
  ; "Open with": velk offered for .dcm files beside the program that opens them.
  WriteRegStr SHCTX "${CLASSES}\${EXTENSION}\OpenWithProgids" "${PROGID}" ""
  WriteRegStr SHCTX "${CLASSES}\Applications\velk.exe\shell\open\command" "" '"$INSTDIR\velk.exe" "%1"'
  WriteRegStr SHCTX "${CLASSES}\Applications\velk.exe\SupportedTypes" "${EXTENSION}" ""
  ; The default only when no program has it yet: neither in the classes this
  ; install writes to nor in the merged view (which wine does not merge).
  ReadRegStr $0 SHCTX "${CLASSES}\${EXTENSION}" ""
  ReadRegStr $1 HKCR "${EXTENSION}" ""
  ${If} $0 == ""
  ${AndIf} $1 == ""
    WriteRegStr SHCTX "${CLASSES}\${EXTENSION}" "" "${PROGID}"
  ${EndIf}

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\velk.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1

  ; Explorer shows the new icon and verb without a restart.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; The uninstaller undoes what the install it belongs to did: for every user when
; the machine's uninstall entry names this folder, otherwise for this user.
Function un.onInit
  SetRegView 64
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Delete "$INSTDIR\velk.exe"
  Delete "$INSTDIR\velkdump.exe"
  Delete "$INSTDIR\mailrun.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ; .dcm goes back to what it was: the default only if it is still ours.
  ReadRegStr $0 SHCTX "${CLASSES}\${EXTENSION}" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue SHCTX "${CLASSES}\${EXTENSION}" ""
  ${EndIf}
  DeleteRegValue SHCTX "${CLASSES}\${EXTENSION}\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty SHCTX "${CLASSES}\${EXTENSION}\OpenWithProgids"
  DeleteRegKey /ifempty SHCTX "${CLASSES}\${EXTENSION}"
  DeleteRegKey SHCTX "${CLASSES}\${PROGID}"
  DeleteRegKey SHCTX "${CLASSES}\Applications\velk.exe"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; What velk itself remembered for this user.
  DeleteRegKey HKCU "Software\velk"

  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
