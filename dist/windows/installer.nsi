; The per-user installer of 墨石通: no administrator rights, everything under the user's own
; %LOCALAPPDATA%\Programs\墨石通, a Start-menu shortcut, an entry under Apps, and an uninstaller
; that removes each file it put there and nothing else. The zip beside it stays the portable way.
;
; makensis -INPUTCHARSET UTF8 -DVERSION=<x.y.z> -DSTAGE=<folder of the installed files>
;          -DFILES=<uninstall list, cmake/InstallerFiles.cmake> -DICON=<icon.ico> -DOUTFILE=<exe>
;          installer.nsi

; A 64-bit installer for the 64-bit programs: it runs wherever they do, a Wine without its
; 32-bit half included.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "墨石通"
; The Apps entry's key; ASCII, so that any tool that reads the registry finds it as written.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Moshitong"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=0 "LegalCopyright" "MIT (program); see NOTICE.txt for the data"

Section
    ; Start-menu folder and Apps entry of this user, not of all users.
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\moshitong.exe" "" \
        "$INSTDIR\moshitong.exe" 0 SW_SHOWNORMAL "" "${PRODUCT}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\moshitong.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    ; File by file, as the installer wrote them: a folder the user chose may hold files of
    ; their own, and those stay.
    !include /CHARSET=UTF8 "${FILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
