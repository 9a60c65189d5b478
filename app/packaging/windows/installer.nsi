; The Windows installer of My Mirovane, for NSIS 3 (makensis). make-downloads.py compiles it with
; these defines: VERSION_TEXT ("1.03"), VERSION_NUMBERS ("1.3.0.0"), ICON (the program's icon),
; LICENSE (the program's licence, shown before it installs), FILES and REMOVE (generated lists of
; the commands that install and remove the program's files), SIZE_KB (their size) and OUTFILE.
;
; It shows the program's licence first (a page with Next, as widely used installers do), then
; asks an administrator whether to install for everyone or just for them; a person without an
; administrator's rights is not asked, and gets the program just for them. The two scopes:
;   for everyone   Program Files, the common Start menu, the entry in HKLM (its 64-bit view);
;   just for me    the user's programs folder (%LOCALAPPDATA%\Programs), their own Start menu, the
;                  entry in HKCU.
; Both under Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirovane, which "Apps & features"
; lists. On the command line: /S installs silently, /CurrentUser and /AllUsers choose the scope
; (without either: for everyone where the rights allow it, as before there were two scopes), and
; /D=FOLDER (last) the folder. A silent /AllUsers without an administrator's rights ends at once
; with exit code 740 (Windows' ERROR_ELEVATION_REQUIRED) and says why on standard error: a script
; or package manager gets an answer, never a dialog that nobody sees.
;
; Installing over an installed copy of the same scope first removes that copy with its own
; uninstaller, wherever it is, so one copy and one entry remain; a copy of the other scope is left
; alone. The uninstaller (/S: silently) removes exactly the files, shortcut and entry that its own
; scope's install made: it knows its scope by the entry that names its folder.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define PRODUCT "My Mirovane"
!define PUBLISHER "The Mirovane developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirovane"
!define ERROR_ELEVATION_REQUIRED 740

; Windows asks for an administrator's rights only of an administrator, who can answer it; anyone
; else starts at once, with their own.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
; The folder and the scope of an installed copy are those of the next install by default.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME InstallLocation
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME InstallLocation
!define MULTIUSER_PAGE_CUSTOMFUNCTION_LEAVE KeepFolderGiven
!include MultiUser.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include MUI2.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
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
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; The folder given with /D=, which choosing a scope would otherwise replace by the scope's own.
Var FolderGiven

; Pushes 1 when this process may install for everyone, else 0: an administrator's account with
; its rights in force. A token that UAC limits is the account's without them (Windows' UserInfo
; says "User" of it; Wine's says "Admin", and the token's elevation type tells).
!macro DEFINE_HAS_RIGHTS PREFIX
    Function ${PREFIX}HasRights
        Push $0
        Push $1
        Push $2
        StrCpy $0 0
        UserInfo::GetAccountType
        Pop $1
        ${If} $1 == "Admin"
        ${OrIf} $1 == "Power"
            StrCpy $0 1
            ; The process's token (TOKEN_QUERY) and its TokenElevationType (18): 3 when limited.
            System::Call "advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r2"
            ${If} $2 <> 0
                System::Call "advapi32::GetTokenInformation(p r1, i 18, *i .r2, i 4, *i) i"
                ${If} $2 = 3
                    StrCpy $0 0
                ${EndIf}
                System::Call "kernel32::CloseHandle(p r1)"
            ${EndIf}
        ${EndIf}
        Pop $2
        Pop $1
        Exch $0
    FunctionEnd
!macroend
!insertmacro DEFINE_HAS_RIGHTS ""
!insertmacro DEFINE_HAS_RIGHTS "un."

; Ends a run that cannot do what it was asked, with exit code 740 and the message on top of the
; stack: shown in a window, or when silent written to standard error, where the caller reads it.
!macro DEFINE_REFUSE PREFIX
    Function ${PREFIX}Refuse
        Exch $0
        ${IfNot} ${Silent}
            MessageBox MB_OK|MB_ICONSTOP "$0"
        ${Else}
            System::Call "kernel32::GetStdHandle(i -12) p .r1"
            StrCpy $0 "${PRODUCT} setup: $0$\r$\n"
            StrLen $2 $0
            System::Call "kernel32::WriteFile(p r1, m r0, i r2, *i .r2, p 0)"
        ${EndIf}
        SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
        Quit
    FunctionEnd
!macroend
!insertmacro DEFINE_REFUSE ""
!insertmacro DEFINE_REFUSE "un."

Function .onInit
    ; NSIS puts /D= into $INSTDIR before this runs; MultiUser.nsh then replaces it.
    StrCpy $FolderGiven $INSTDIR
    ; Both the entry read here and the one written are in the 64-bit view of HKLM.
    SetRegView 64

    ; MultiUser.nsh answers /AllUsers without rights with a dialog, also when silent.
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AllUsers" $1
    ${IfNot} ${Errors}
    ${AndIf} ${Silent}
        Call HasRights
        Pop $1
        ${If} $1 = 0
            Push "installing for all users (/AllUsers) needs an administrator's rights; \
                /CurrentUser installs just for you."
            Call Refuse
        ${EndIf}
    ${EndIf}

    !insertmacro MULTIUSER_INIT
    ; Wine grants an administrator's account but can run it limited, where for everyone is not
    ; possible: just for this person then, and nobody asked.
    Call HasRights
    Pop $1
    ${If} $1 = 0
    ${AndIf} $MultiUser.InstallMode == "AllUsers"
        StrCpy $MultiUser.Privileges "User"
        Call MultiUser.InstallMode.CurrentUser
    ${EndIf}
    Call KeepFolderGiven
FunctionEnd

Function KeepFolderGiven
    ${If} $FolderGiven != ""
        StrCpy $INSTDIR $FolderGiven
    ${EndIf}
FunctionEnd

Section
    ; The installed copy of this scope (SHCTX: HKLM for everyone, HKCU just for me): its own
    ; uninstaller, run in place (_?=) and waited for, removes its files, shortcut and entry; then
    ; it goes itself, and its folder if that is empty.
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" InstallLocation
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        ExecWait '"$0\uninstall.exe" /S _?=$0'
        Delete "$0\uninstall.exe"
        RMDir "$0"
    ${EndIf}

    !include "${FILES}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\mirovane.exe"

    WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayName "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayVersion "${VERSION_TEXT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\mirovane.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" EstimatedSize ${SIZE_KB}
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoRepair 1
SectionEnd

; The uninstaller's scope is that of the entry naming its folder, whatever the command line or
; the account's default say: with a copy of each scope installed, each removes its own alone.
; With no entry naming it (its copy's entry gone) it removes its files and no entry or shortcut.
Var OwnFolder
Var UninstallScope

Function un.onInit
    SetRegView 64
    ; MultiUser.nsh sets $INSTDIR to the folder its scope's entry names, which may be the other
    ; copy's: this uninstaller's folder is kept, and is the one it removes.
    StrCpy $OwnFolder $INSTDIR
    !insertmacro MULTIUSER_UNINIT
    StrCpy $UninstallScope ""
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" InstallLocation
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" InstallLocation
    ${If} $0 == $OwnFolder
        StrCpy $UninstallScope "CurrentUser"
        Call un.MultiUser.InstallMode.CurrentUser
    ${ElseIf} $1 == $OwnFolder
        Call un.HasRights
        Pop $2
        ${If} $2 = 0
            Push "this copy is installed for all users: removing it needs an administrator's rights."
            Call un.Refuse
        ${EndIf}
        StrCpy $UninstallScope "AllUsers"
        Call un.MultiUser.InstallMode.AllUsers
    ${EndIf}
    StrCpy $INSTDIR $OwnFolder
FunctionEnd

Section Uninstall
    !include "${REMOVE}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ${If} $UninstallScope != ""
        Delete "$SMPROGRAMS\${PRODUCT}.lnk"
        DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    ${EndIf}
SectionEnd
