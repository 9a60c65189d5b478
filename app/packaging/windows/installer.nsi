; The Windows installer of My Mirovane, for NSIS 3 (makensis). make-downloads.py compiles it with
; these defines: VERSION_TEXT ("1.02"), VERSION_NUMBERS ("1.2.0.0"), ICON (the program's icon),
; LICENSE (the program's licence, shown before it installs), FILES and REMOVE (generated lists of
; the commands that install and remove the program's files), SIZE_KB (their size) and OUTFILE.
;
; It shows the program's licence first (a page with Next, as widely used installers do), then
; installs into Program Files for all users, with a Start-menu shortcut and an entry in
; "Apps & features"; /S installs silently, without the pages. Installing over an installed copy first removes that
; copy with its own uninstaller, wherever it is, so one copy and one entry remain. The uninstaller
; (/S: silently) removes exactly the files, shortcut and keys the installer made.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!include LogicLib.nsh
!include MUI2.nsh
!include x64.nsh

!define PRODUCT "My Mirovane"
!define PUBLISHER "The Mirovane developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirovane"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION_TEXT}"

VIProductVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=1033 ProductName "${PRODUCT}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION_TEXT}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION_TEXT}"
VIAddVersionKey /LANG=1033 FileDescription "${PRODUCT} ${VERSION_TEXT} setup"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\mirovane.exe"
; The MIT licence asks nothing of the person installing: Next, not "I agree".
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "My Mirovane is free software under this licence. The \
    libraries it comes with are under their own, listed in THIRD-PARTY-NOTICES.txt in its folder."
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

Function .onInit
    SetRegView 64
    SetShellVarContext all
    ; Where a copy is installed already, the new one goes to the same place by default.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" InstallLocation
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${EndIf}
FunctionEnd

Section
    ; The installed copy's own uninstaller, run in place (_?=) and waited for, removes its files,
    ; shortcut and keys; then it goes itself, and its folder if that is empty.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" InstallLocation
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        ExecWait '"$0\uninstall.exe" /S _?=$0'
        Delete "$0\uninstall.exe"
        RMDir "$0"
    ${EndIf}

    !include "${FILES}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\mirovane.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION_TEXT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\mirovane.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize ${SIZE_KB}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
SectionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section Uninstall
    !include "${REMOVE}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
