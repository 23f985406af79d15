; Varnello's Windows installer, built by makensis from the staged program folder.
;   makensis -DVERSION=1.0 -DSOURCE=<staged folder> -DOUTFILE=<setup.exe> -DICON=<icon> Varnello.nsi
; Installs for the machine into Program Files, adds a Start-menu shortcut and an entry in the
; installed-programs list, and writes the version text that the program shows in its caption.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Varnello"
!define PUBLISHER "Varnello"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnello"
; The program reads its caption's version from the default value of this key (current user).
!define VERSION_KEY "Software\Varnello\Version"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; Installing over an earlier version goes into the folder it used.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION}, which converts your videos into MP4 files for the iPod.$\r$\n$\r$\nYour converted videos and your output folder setting are kept when you install a new version or remove ${PRODUCT}.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\Varnello.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Varnello"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Varnello" SecProgram
    SectionIn RO
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${SOURCE}\Varnello.exe"
    File /nonfatal "${SOURCE}\Help.chm"
    SetOutPath "$INSTDIR\app"
    File "${SOURCE}\app\*.*"
    SetOutPath "$INSTDIR\help"
    File /r "${SOURCE}\help\*.*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Varnello.exe" "" "$INSTDIR\Varnello.exe" 0

    ; The caption's version. The output folder setting beside it is the user's and is never
    ; written here, so an upgrade keeps it.
    WriteRegStr HKCU "${VERSION_KEY}" "" "${VERSION}"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Varnello.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Removes what Setup installed and what the program itself leaves in its folder (the log and
; intermediate files of transcoded sources); converted videos live in the user's output
; folder and are never touched. Folders are removed only when nothing else is left in them.
Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"

    Delete "$INSTDIR\Varnello.exe"
    Delete "$INSTDIR\Help.chm"
    Delete "$INSTDIR\app\iPod_Profile.ini"
    Delete "$INSTDIR\app\venc.exe"
    Delete "$INSTDIR\app\ffmpeg.exe"
    Delete "$INSTDIR\app\ViviRarir.exe"
    Delete "$INSTDIR\app\log.txt"
    Delete "$INSTDIR\log.txt"
    RMDir /r "$INSTDIR\help"
    ; Intermediate files are named <output name>_<five digits>.avi or .mpg.
    Delete "$INSTDIR\*_?????.avi"
    Delete "$INSTDIR\*_?????.mpg"
    RMDir "$INSTDIR\app"

    ; Newer versions keep their log and intermediate files in the user's local data.
    SetShellVarContext current
    Delete "$LOCALAPPDATA\${PRODUCT}\log.txt"
    Delete "$LOCALAPPDATA\${PRODUCT}\*_?????.avi"
    Delete "$LOCALAPPDATA\${PRODUCT}\*_?????.mpg"
    RMDir "$LOCALAPPDATA\${PRODUCT}"

    DeleteRegKey HKCU "${VERSION_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Varnello"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
