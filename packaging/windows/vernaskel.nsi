; The Vernaskel installer: the program and its data in Program Files, a
; Start-menu shortcut that starts it in its folder, and an uninstaller
; registered with Windows. "setup.exe /S" installs without asking.
;
; makensis -DVERSION=... -DSTAGE=<folder to install> -DOUTFILE=<setup.exe>
;          -DUNINSTALL_LIST=<file of Delete/RMDir lines for the staged files>
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vernaskel"

Name "Vernaskel ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vernaskel"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Vernaskel"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The program reads data\ts in the folder it runs in: the shortcut's
  ; working folder is the current output folder, the install folder.
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\Vernaskel.lnk" "$INSTDIR\vernaskel.exe" "" "$INSTDIR\vernaskel.exe" 0 \
    SW_SHOWNORMAL "" "A three-dimensional slide rule"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vernaskel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vernaskel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Vernaskel.lnk"
  ; Only what the installer put there: files the user added stay.
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
