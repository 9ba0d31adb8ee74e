; The setup program for Windows users: installs the program, its console runner and the data
; files it expects beside itself into Program Files (per machine, with administrator rights),
; a Start-menu shortcut and an entry among the installed programs. Its uninstaller asks the
; program's survey question, lets the program remove its start-up shortcuts, and removes
; exactly what was installed; the user's own data folder stays unless the user ticks it.
;
; Built by CMake (target "installer"), which defines VERSION, PROGRAMS (the folder with
; surfkolibri.exe and surfkolibri-clean.exe), ICON, FILES (the generated lists of the data files:
; the macros InstallDataFiles and RemoveDataFiles) and OUTFILE.

; The program is a 64-bit one, and so is its setup program.
Target amd64-unicode
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include x64.nsh
!include "${FILES}"

!define PRODUCT "Surfkolibri"
!define MAKER "Kravonel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\surfkolibri.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The installer's own pages speak the system's language: German or else English.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

LangString DataSection ${LANG_ENGLISH} "Also remove my data (language choice, reports of the automatic cleanings)"
LangString DataSection ${LANG_GERMAN} "Auch meine Daten entfernen (Sprachwahl, Berichte der automatischen Reinigungen)"
LangString DataSectionText ${LANG_ENGLISH} "The folder $LOCALAPPDATA\${MAKER}\${PRODUCT} with your language choice and the report of every automatic cleaning."
LangString DataSectionText ${LANG_GERMAN} "Der Ordner $LOCALAPPDATA\${MAKER}\${PRODUCT} mit Ihrer Sprachwahl und dem Bericht jeder automatischen Reinigung."

Function .onInit
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "${PRODUCT}" ProgramSection
    SectionIn RO
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${PROGRAMS}\surfkolibri.exe"
    File "${PROGRAMS}\surfkolibri-clean.exe"
    !insertmacro InstallDataFiles
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\surfkolibri.exe" "" "$INSTDIR\surfkolibri.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\surfkolibri.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "un.${PRODUCT}" UninstallSection
    SectionIn RO
    ; The program's own question first (it changes nothing on the machine); a silent
    ; uninstall asks nothing.
    ${IfNot} ${Silent}
        ExecWait '"$INSTDIR\surfkolibri.exe" /uninstall'
    ${EndIf}
    ; The start-up shortcuts of the automatic cleaning would outlive the program. The console
    ; runner removes them as the program does, without a window to wait on.
    nsExec::Exec '"$INSTDIR\surfkolibri-clean.exe" r'
    Pop $0

    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\surfkolibri.exe"
    Delete "$INSTDIR\surfkolibri-clean.exe"
    !insertmacro RemoveDataFiles
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: whatever else lies there is not ours.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.$(DataSection)" DataSectionId
    SetShellVarContext current
    RMDir /r "$LOCALAPPDATA\${MAKER}\${PRODUCT}"
    RMDir "$LOCALAPPDATA\${MAKER}"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${DataSectionId} $(DataSectionText)
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
