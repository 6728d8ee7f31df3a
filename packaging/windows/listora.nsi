; Listora's installer for 64-bit Windows, made by makensis from the folder
; that the zip holds (scripts/windows-installer gives the defines):
;   makensis -DVERSION=1.20 -DSOURCE=<folder> -DICON=<.ico> -DOUTPUT=<file>
;            -DINSTALLLIST=<the File lines> -DFILELIST=<the uninstaller's list>
; For the current user, without administrator rights: the program goes to
; %LOCALAPPDATA%\Programs\Listora, its shortcut to the user's Start menu, and
; its uninstaller to "Applications installées" through HKCU. The user's own
; catalogue (%APPDATA%\Listora\LISTORA.DAT), made at the install from the
; shipped one when absent, is left by the uninstaller.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
!include "MUI2.nsh"

!define NAME "Listora"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Listora"

Name "${NAME} ${VERSION}"
OutFile "${OUTPUT}"
InstallDir "$LOCALAPPDATA\Programs\Listora"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${SOURCE}\LICENCE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\listora.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductName" "${NAME}"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileDescription" "Installation de Listora"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "LegalCopyright" "Licence : voir LICENCE.txt"

Section "Listora"
    !include "${INSTALLLIST}"
    WriteUninstaller "$INSTDIR\Désinstaller Listora.exe"
    ; The user's own catalogue, made once from the shipped one and never
    ; replaced; the shortcut starts the program in its folder.
    CreateDirectory "$APPDATA\Listora"
    IfFileExists "$APPDATA\Listora\LISTORA.DAT" +2 0
    CopyFiles /SILENT "$INSTDIR\LISTORA.DAT" "$APPDATA\Listora\LISTORA.DAT"
    SetOutPath "$APPDATA\Listora"
    CreateShortCut "$SMPROGRAMS\Listora.lnk" "$INSTDIR\listora.exe" "" "$INSTDIR\listora.exe" 0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\listora.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Listora"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Désinstaller Listora.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Désinstaller Listora.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there, by name: anything the user added to
; the folder stays, and so does their catalogue in %APPDATA%\Listora.
Section "Uninstall"
    !include "${FILELIST}"
    Delete "$INSTDIR\Désinstaller Listora.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Listora.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
