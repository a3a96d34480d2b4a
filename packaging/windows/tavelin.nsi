; The Windows installer: tavelin.exe under Program Files, the install key in the 64-bit registry
; view naming a settings folder under ProgramData that every user may create their own file in,
; a Start-menu shortcut and an entry in the list of installed programs.
;   makensis -DVERSION=1.0.0 -DPROGRAM=path\to\tavelin.exe -DOUTFILE=setup.exe tavelin.nsi
Unicode true
Target amd64-unicode

!ifndef VERSION
  !error "define VERSION"
!endif
!ifndef PROGRAM
  !error "define PROGRAM, the path of tavelin.exe"
!endif
!ifndef OUTFILE
  !error "define OUTFILE"
!endif

!define KEY "Software\Brenlow\Tavelin"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavelin"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The folder of the users' settings files, under $APPDATA of all users (ProgramData).
!define SETTINGS_FOLDER "$APPDATA\Tavelin"

Name "Tavelin"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tavelin"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Tavelin"
VIAddVersionKey "CompanyName" "Brenlow"
VIAddVersionKey "FileDescription" "Tavelin installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright 2026 Brenlow"

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

Section "Tavelin"
  SetOutPath "$INSTDIR"
  File "/oname=tavelin.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Users may create files in the settings folder, but not list it, and only the creator of a file
  ; (and administrators) may read or change it: another user cannot put a file under someone
  ; else's name that the program would then read, nor change someone's settings.
  CreateDirectory "${SETTINGS_FOLDER}"
  DetailPrint "Setting the rights of ${SETTINGS_FOLDER}"
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "${SETTINGS_FOLDER}" /inheritance:r /grant:r *S-1-5-18:(OI)(CI)F *S-1-5-32-544:(OI)(CI)F *S-1-3-0:(OI)(CI)(IO)F *S-1-5-32-545:(WD,X,RA,S)'
  Pop $0
  StrCmp $0 "0" rights_set
    DetailPrint "icacls failed: $0"
    MessageBox MB_OK|MB_ICONSTOP "Tavelin could not set the rights of its settings folder ${SETTINGS_FOLDER}." /SD IDOK
    SetErrorLevel 2
    Quit
  rights_set:

  WriteRegStr HKLM "${KEY}" "sciezka" "${SETTINGS_FOLDER}\"

  CreateShortcut "$SMPROGRAMS\Tavelin.lnk" "$INSTDIR\tavelin.exe" "" "$INSTDIR\tavelin.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tavelin"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Brenlow"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavelin.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; A program still running is removed at the next restart.
  Delete /REBOOTOK "$INSTDIR\tavelin.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  Delete "$SMPROGRAMS\Tavelin.lnk"

  DeleteRegKey HKLM "${KEY}"
  DeleteRegKey /ifempty HKLM "Software\Brenlow"
  ; The program's own run-at-log-on entry would start a program that is gone.
  DeleteRegValue HKLM "${RUN_KEY}" "tavelin.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; The users' settings files stay; the folder goes only when none is left.
  RMDir "${SETTINGS_FOLDER}"
SectionEnd
