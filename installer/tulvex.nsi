; Tulvex setup: puts tulvex.exe, the install folder's files (stylesheet,
; pictures, help pages) and the Internet Explorer menu pages into one folder
; under Program Files, writes the registry value the program reads its
; folder from, adds the browser's context-menu entries and registers an
; uninstaller in "Programs and Features".
;
; Built by build.sh, which defines:
;   TULVEX_EXE      the built tulvex.exe
;   SOURCE_ROOT     the project's root (install_folder/, browser/, resources/)
;   OUT_FILE        the setup program to write
;   INSTALLED_LIST  an include file with the uninstaller's Delete and RMDir
;                   lines for every file and folder of install_folder/

Unicode true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define VERSION "1.15"
!define PUBLISHER "Morvale Soft"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tulvex"
!define PROGRAM_KEY ".DEFAULT\Software\MorvaleSoft"
!define MENU_KEY "Software\Microsoft\Internet Explorer\MenuExt"
; Lets Internet Explorer's protected mode start tulvex.exe as an ordinary
; (medium integrity) program, which may write its result pages.
!define ELEVATION_KEY "Software\Microsoft\Internet Explorer\Low Rights\ElevationPolicy\{BFD750B7-AD01-4C3A-89E3-AA318B88E2F3}"
!define USERS_SID "*S-1-5-32-545"

; Context-menu entries: title, page, contexts. Contexts are bits of where the
; entry shows: 0x1 the page, 0x2 a picture, 0x10 selected text, 0x20 a link.
!define MENU_LINKS      "Tulvex: ссылки страницы"
!define MENU_IMG        "Tulvex: картинки страницы"
!define MENU_SWF        "Tulvex: Flash-ролики страницы"
!define MENU_HTML       "Tulvex: исходный код страницы"
!define MENU_BIT        "Tulvex: текст для чтения"
!define MENU_SHOWI      "Tulvex: открыть в новом окне"
!define MENU_LOUD_LINKS "Tulvex: загрузить все ссылки"

Name "Tulvex ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES\Tulvex"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PUBLISHER}"

!define MUI_ICON "${SOURCE_ROOT}/resources/tulvex.ico"
!define MUI_UNICON "${SOURCE_ROOT}/resources/tulvex.ico"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Программа установит Tulvex ${VERSION} — дополнение к Internet Explorer, которое показывает ссылки, картинки, Flash-ролики, исходный код и текст страницы отдельной страницей и загружает все ссылки страницы в папку.$\r$\n$\r$\nЗакройте Internet Explorer перед установкой.$\r$\n$\r$\nНажмите «Далее», чтобы продолжить."
!define MUI_FINISHPAGE_TEXT "Tulvex ${VERSION} установлен в папку $INSTDIR.$\r$\n$\r$\nОткройте Internet Explorer, щёлкните страницу правой кнопкой мыши и выберите один из пунктов «Tulvex: …».$\r$\n$\r$\nУдалить Tulvex можно в «Программах и компонентах» панели управления."

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductName" "Tulvex"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileDescription" "Установка Tulvex ${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "LegalCopyright" "${PUBLISHER}"

!macro MENU_ENTRY TITLE PAGE CONTEXTS
  WriteRegStr HKCU "${MENU_KEY}\${TITLE}" "" "$INSTDIR\browser\${PAGE}"
  WriteRegDWORD HKCU "${MENU_KEY}\${TITLE}" "Contexts" ${CONTEXTS}
!macroend

!macro RESULT_FILE NAME
  ; The program writes its result pages here as the user who reads the
  ; page, not as an administrator: let ordinary users write these two files
  ; (and only these, so nobody can put a program beside tulvex.exe).
  ${IfNot} ${FileExists} "$INSTDIR\${NAME}"
    FileOpen $0 "$INSTDIR\${NAME}" w
    FileClose $0
  ${EndIf}
  nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR\${NAME}" /grant ${USERS_SID}:M'
  Pop $0
!macroend

!macro ELEVATION_POLICY
  WriteRegStr HKLM "${ELEVATION_KEY}" "AppName" "tulvex.exe"
  WriteRegStr HKLM "${ELEVATION_KEY}" "AppPath" "$INSTDIR"
  WriteRegDWORD HKLM "${ELEVATION_KEY}" "Policy" 3
!macroend

Section "Tulvex"
  SetOutPath "$INSTDIR"
  File "/oname=tulvex.exe" "${TULVEX_EXE}"
  File /r "${SOURCE_ROOT}/install_folder/*"

  SetOutPath "$INSTDIR\browser"
  File "${SOURCE_ROOT}/browser/tulvex_gather.js"
  File "${SOURCE_ROOT}/browser/tulvex_ie.js"
  File "${SOURCE_ROOT}/browser/links.htm"
  File "${SOURCE_ROOT}/browser/img.htm"
  File "${SOURCE_ROOT}/browser/swf.htm"
  File "${SOURCE_ROOT}/browser/html.htm"
  File "${SOURCE_ROOT}/browser/bit.htm"
  File "${SOURCE_ROOT}/browser/showi.htm"
  File "${SOURCE_ROOT}/browser/loud_links.htm"
  SetOutPath "$INSTDIR"

  !insertmacro RESULT_FILE "tulvex.htm"
  !insertmacro RESULT_FILE "tulvex.txt"

  WriteRegStr HKU "${PROGRAM_KEY}" "Tulvex_dir" "$INSTDIR"

  !insertmacro MENU_ENTRY "${MENU_LINKS}" "links.htm" 0x31
  !insertmacro MENU_ENTRY "${MENU_IMG}" "img.htm" 0x13
  !insertmacro MENU_ENTRY "${MENU_SWF}" "swf.htm" 0x11
  !insertmacro MENU_ENTRY "${MENU_HTML}" "html.htm" 0x11
  !insertmacro MENU_ENTRY "${MENU_BIT}" "bit.htm" 0x11
  !insertmacro MENU_ENTRY "${MENU_SHOWI}" "showi.htm" 0x31
  !insertmacro MENU_ENTRY "${MENU_LOUD_LINKS}" "loud_links.htm" 0x31

  !insertmacro ELEVATION_POLICY
  ${If} ${RunningX64}
    SetRegView 64
    !insertmacro ELEVATION_POLICY
    SetRegView 32
  ${EndIf}

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tulvex ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tulvex.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\tulvex.exe"
  !include "${INSTALLED_LIST}"
  Delete "$INSTDIR\browser\tulvex_gather.js"
  Delete "$INSTDIR\browser\tulvex_ie.js"
  Delete "$INSTDIR\browser\links.htm"
  Delete "$INSTDIR\browser\img.htm"
  Delete "$INSTDIR\browser\swf.htm"
  Delete "$INSTDIR\browser\html.htm"
  Delete "$INSTDIR\browser\bit.htm"
  Delete "$INSTDIR\browser\showi.htm"
  Delete "$INSTDIR\browser\loud_links.htm"
  RMDir "$INSTDIR\browser"
  ; the program's result pages
  Delete "$INSTDIR\tulvex.htm"
  Delete "$INSTDIR\tulvex.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; only when empty: files of the user's stay, and so does their folder
  RMDir "$INSTDIR"

  DeleteRegValue HKU "${PROGRAM_KEY}" "Tulvex_dir"
  DeleteRegKey /ifempty HKU "${PROGRAM_KEY}"

  DeleteRegKey HKCU "${MENU_KEY}\${MENU_LINKS}"
  DeleteRegKey HKCU "${MENU_KEY}\${MENU_IMG}"
  DeleteRegKey HKCU "${MENU_KEY}\${MENU_SWF}"
  DeleteRegKey HKCU "${MENU_KEY}\${MENU_HTML}"
  DeleteRegKey HKCU "${MENU_KEY}\${MENU_BIT}"
  DeleteRegKey HKCU "${MENU_KEY}\${MENU_SHOWI}"
  DeleteRegKey HKCU "${MENU_KEY}\${MENU_LOUD_LINKS}"

  DeleteRegKey HKLM "${ELEVATION_KEY}"
  ${If} ${RunningX64}
    SetRegView 64
    DeleteRegKey HKLM "${ELEVATION_KEY}"
    SetRegView 32
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
