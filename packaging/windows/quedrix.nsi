; The Windows installer: a 64-bit per-machine install of quedrix.exe, quedrix-ctl.exe and the language
; file, with Start-menu entries for both modes, an optional Startup entry and an Apps & Features entry.
; The language chosen on its first page (or with /LANG= in a silent run) is stored as the
; "Installer Language" the program's first start reads. Built by packaging/windows/CMakeLists.txt, which
; defines VERSION, FILES (the folder of the files to install), ICON and OUTFILE.
;
; Switches: /S silent; /LANG=1026, 1049 or 1033 (or BG, RU, EN); /NOSTARTUP leaves the Startup entry
; out; /D=folder another install folder (last, unquoted).

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define PRODUCT "Zentrovik Quedrix"
!define PUBLISHER "Zentrovik"
; The 64-bit program reads this key in the 64-bit registry view.
!define SETTINGS_KEY "SOFTWARE\Zentrovik\Quedrix"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Zentrovik Quedrix"
!define MENU_FOLDER "$SMPROGRAMS\Zentrovik Quedrix"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zentrovik\Quedrix"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The language page remembers the last choice and is shown on every interactive run.
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${SETTINGS_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "Installer Language"
!define MUI_LANGDLL_ALWAYSSHOW

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The language page lists them by name; the first is taken when Windows speaks none of them.
!insertmacro MUI_LANGUAGE "Bulgarian"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_RESERVEFILE_LANGDLL

LangString StartupSection ${LANG_BULGARIAN} "Стартиране с Windows"
LangString StartupSection ${LANG_RUSSIAN} "Автозапуск"
LangString StartupSection ${LANG_ENGLISH} "Start with Windows"
LangString ProgramText ${LANG_BULGARIAN} "Програмата, езиковият файл, quedrix-ctl и двата режима в менюто „Старт“."
LangString ProgramText ${LANG_RUSSIAN} "Программа, языковой файл, quedrix-ctl и оба режима в меню «Пуск»."
LangString ProgramText ${LANG_ENGLISH} "The program, its language file, quedrix-ctl and both modes in the Start menu."
LangString StartupText ${LANG_BULGARIAN} "Quedrix е в областта за уведомяване след всяко влизане на всеки потребител."
LangString StartupText ${LANG_RUSSIAN} "Quedrix в области уведомлений после каждого входа любого пользователя."
LangString StartupText ${LANG_ENGLISH} "Quedrix is in the notification area after every log-on of every user."
LangString BadLanguage ${LANG_BULGARIAN} "Непознат език в /LANG=. Възможни са 1026 (BG), 1049 (RU) и 1033 (EN)."
LangString BadLanguage ${LANG_RUSSIAN} "Неизвестный язык в /LANG=. Возможны 1026 (BG), 1049 (RU) и 1033 (EN)."
LangString BadLanguage ${LANG_ENGLISH} "Unknown language in /LANG=. Possible are 1026 (BG), 1049 (RU) and 1033 (EN)."

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_ENGLISH} ProductName "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} FileDescription "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} FileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} ProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} LegalCopyright "${PUBLISHER}"

Section "!Quedrix" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${FILES}\quedrix.exe"
    File "${FILES}\quedrix-ctl.exe"
    File "${FILES}\Common.lng"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; Written here and not by the language page, so that a silent run stores it too.
    WriteRegStr HKLM "${SETTINGS_KEY}" "Installer Language" "$LANGUAGE"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quedrix.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    CreateDirectory "${MENU_FOLDER}"
    CreateShortcut "${MENU_FOLDER}\Quedrix.lnk" "$INSTDIR\quedrix.exe"
    CreateShortcut "${MENU_FOLDER}\Quedrix ALT.lnk" "$INSTDIR\quedrix.exe" "ALT"
    ; An install over an earlier one without the Startup entry takes that entry away.
    Delete "$SMSTARTUP\Quedrix.lnk"
SectionEnd

Section "$(StartupSection)" SecStartup
    CreateShortcut "$SMSTARTUP\Quedrix.lnk" "$INSTDIR\quedrix.exe"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(ProgramText)"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "$(StartupText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    SetRegView 64
    SetShellVarContext all
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/NOSTARTUP" $R1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecStartup}
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/LANG=" $R1
    ${If} ${Errors}
        !insertmacro MUI_LANGDLL_DISPLAY
        Return
    ${EndIf}
    ${If} $R1 == "1026"
    ${OrIf} $R1 == "BG"
        StrCpy $LANGUAGE ${LANG_BULGARIAN}
    ${ElseIf} $R1 == "1049"
    ${OrIf} $R1 == "RU"
        StrCpy $LANGUAGE ${LANG_RUSSIAN}
    ${ElseIf} $R1 == "1033"
    ${OrIf} $R1 == "EN"
        StrCpy $LANGUAGE ${LANG_ENGLISH}
    ${Else}
        MessageBox MB_ICONSTOP "$(BadLanguage)" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Delete "$INSTDIR\quedrix.exe"
    Delete "$INSTDIR\quedrix-ctl.exe"
    Delete "$INSTDIR\Common.lng"
    Delete "$INSTDIR\uninstall.exe"
    ; Not recursive: what else lies there (a hall's own files) stays.
    RMDir "$INSTDIR"
    RMDir "$PROGRAMFILES64\Zentrovik"

    Delete "${MENU_FOLDER}\Quedrix.lnk"
    Delete "${MENU_FOLDER}\Quedrix ALT.lnk"
    RMDir "${MENU_FOLDER}"
    Delete "$SMSTARTUP\Quedrix.lnk"

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKLM "SOFTWARE\Zentrovik"
    ; Every user's data folder (Quedrix.cfg, Error.log) is left as it is.
SectionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
    !insertmacro MUI_UNGETLANGUAGE
FunctionEnd
