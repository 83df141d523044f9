; Tulvex setup: puts tulvex.exe, the install folder's files (stylesheet,
; pictures, help pages) and the Internet Explorer menu pages into one folder
; under Program Files, writes the registry value the program reads its
; folder from, gives every user of the machine the browser's context-menu
; entries and registers an uninstaller in "Programs and Features".
;
; Built by build.sh, which defines:
;   TULVEX_EXE      the built tulvex.exe
;   SOURCE_ROOT     the project's root (install_folder/, browser/, resources/)
;   OUT_FILE        the setup program to write
;   INSTALLED_LIST  an include file with the uninstaller's Delete and RMDir
;                   lines for every file and folder of install_folder/
;   MENU_TABLE      an include file with MENU_KEY and the macro TULVEX_MENUS,
;                   which inserts a given macro once per entry of
;                   browser/menus.txt with its page, contexts and title
;   MENU_TOOL       the built tulvex_menu.exe (menu.nsi), which writes the
;                   entries into the registry of the user who runs it

Unicode true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "${MENU_TABLE}"

!define VERSION "1.15"
!define PUBLISHER "Morvale Soft"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tulvex"
!define PROGRAM_KEY ".DEFAULT\Software\MorvaleSoft"
!define PRODUCT_GUID "{BFD750B7-AD01-4C3A-89E3-AA318B88E2F3}"
; Lets Internet Explorer's protected mode start tulvex.exe as an ordinary
; (medium integrity) program, which may write its result pages.
!define ELEVATION_KEY "Software\Microsoft\Internet Explorer\Low Rights\ElevationPolicy\${PRODUCT_GUID}"
; Active Setup: at each user's logon Windows runs StubPath as that user when
; the Version here is newer than the one in the user's own key of this name
; (or the user has none), then copies the Version there.
!define ACTIVE_SETUP_KEY "Software\Microsoft\Active Setup\Installed Components\${PRODUCT_GUID}"
; The user's own key of a component that a 32-bit setup registers (its key
; of the machine lands under Wow6432Node) is under Wow6432Node as well on
; 64-bit Windows.
!define ACTIVE_SETUP_KEY_WOW64 "Software\Wow6432Node\Microsoft\Active Setup\Installed Components\${PRODUCT_GUID}"
; BUILTIN\Users, by its well-known SID: the group's name is translated
; ("Пользователи").
!define USERS_SID "S-1-5-32-545"
; Modify access, as icacls names it: read, write, execute and delete.
!define MODIFY_ACCESS 0x1301BF

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
!define MUI_WELCOMEPAGE_TEXT "Программа установит Tulvex ${VERSION} — дополнение к Internet Explorer, которое показывает ссылки, картинки, Flash-ролики, исходный код и текст страницы отдельной страницей и загружает все ссылки страницы в папку.$\r$\n$\r$\nЗакройте Internet Explorer перед установкой.$\r$\n$\r$\n$_CLICK"
!define MUI_FINISHPAGE_TEXT "Tulvex ${VERSION} установлен в папку $INSTDIR.$\r$\n$\r$\nОткройте Internet Explorer, щёлкните страницу правой кнопкой мыши и выберите один из пунктов «Tulvex: …». Другие пользователи компьютера увидят эти пункты, когда в следующий раз войдут в Windows.$\r$\n$\r$\nУдалить Tulvex можно в «Программах и компонентах» панели управления."

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

!macro PAGE_FILE PAGE CONTEXTS TITLE
  File "${SOURCE_ROOT}/browser/${PAGE}"
!macroend
!macro PAGE_DELETE PAGE CONTEXTS TITLE
  Delete "$INSTDIR\browser\${PAGE}"
!macroend
; Removes the entry for this account and adds its key to $0, the list of
; keys that the removal command deletes for the other accounts.
!macro MENU_DELETE PAGE CONTEXTS TITLE
  DeleteRegKey HKCU "${MENU_KEY}\${TITLE}"
  StrCpy $0 '$0 "HKCU\${MENU_KEY}\${TITLE}"'
!macroend

; Registers COMMAND to run once for every account at its next logon, and
; marks it done for this account where Windows looks for the mark. The
; version is the time (UTC) as year, month and day, hour and minute, second:
; each install or uninstall is newer than the one before it.
!macro ACTIVE_SETUP COMMAND
  ${GetTime} "" "LS" $1 $2 $3 $4 $5 $6 $7
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "" "Tulvex"
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "Version" "$3,$2$1,$5$6,$7"
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "StubPath" `${COMMAND}`
  WriteRegDWORD HKLM "${ACTIVE_SETUP_KEY}" "IsInstalled" 1
  ${If} ${RunningX64}
    ; where earlier setups left the mark, and Windows never looks for it
    DeleteRegKey HKCU "${ACTIVE_SETUP_KEY}"
    WriteRegStr HKCU "${ACTIVE_SETUP_KEY_WOW64}" "Version" "$3,$2$1,$5$6,$7"
  ${Else}
    WriteRegStr HKCU "${ACTIVE_SETUP_KEY}" "Version" "$3,$2$1,$5$6,$7"
  ${EndIf}
!macroend

!macro RESULT_FILE NAME
  ; The program writes its result pages here as the user who reads the
  ; page, not as an administrator: let ordinary users write these two files
  ; (and only these, so nobody can put a program beside tulvex.exe).
  ${IfNot} ${FileExists} "$INSTDIR\${NAME}"
    FileOpen $0 "$INSTDIR\${NAME}" w
    FileClose $0
  ${EndIf}
  !insertmacro GRANT_USERS_MODIFY "$INSTDIR\${NAME}"
!macroend

; Adds modify access for ordinary users to the file's access list, beside
; the entries it has, through advapi32 as Windows has it from XP on (XP has
; no icacls.exe). The list is left as it is when it cannot be read.
!macro GRANT_USERS_MODIFY PATH
  StrCpy $6 "${PATH}"
  System::Call 'advapi32::ConvertStringSidToSidW(w "${USERS_SID}", *p .r1) i .r0'
  ${If} $0 <> 0
    ; EXPLICIT_ACCESS: access, GRANT_ACCESS, no inheritance, and the trustee:
    ; no multiple trustee, TRUSTEE_IS_SID, TRUSTEE_IS_WELL_KNOWN_GROUP, SID
    System::Call '*(i ${MODIFY_ACCESS}, i 1, i 0, p 0, i 0, i 0, i 5, p r1) p .r2'
    ; SE_FILE_OBJECT, DACL_SECURITY_INFORMATION
    System::Call 'advapi32::GetNamedSecurityInfoW(w r6, i 1, i 4, p 0, p 0, *p .r3, p 0, *p .r4) i .r0'
    ${If} $0 = 0
      System::Call 'advapi32::SetEntriesInAclW(i 1, p r2, p r3, *p .r5) i .r0'
      ${If} $0 = 0
        System::Call 'advapi32::SetNamedSecurityInfoW(w r6, i 1, i 4, p 0, p 0, p r5, p 0) i .r0'
        System::Call 'kernel32::LocalFree(p r5)'
      ${EndIf}
      System::Call 'kernel32::LocalFree(p r4)'
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::LocalFree(p r1)'
  ${EndIf}
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
  File "${SOURCE_ROOT}/browser/tulvex_reader.js"
  File "${SOURCE_ROOT}/browser/tulvex_ie.js"
  !insertmacro TULVEX_MENUS PAGE_FILE
  SetOutPath "$INSTDIR"
  File "/oname=tulvex_menu.exe" "${MENU_TOOL}"

  !insertmacro RESULT_FILE "tulvex.htm"
  !insertmacro RESULT_FILE "tulvex.txt"

  WriteRegStr HKU "${PROGRAM_KEY}" "Tulvex_dir" "$INSTDIR"

  ; The menu entries: this account's now, every other's at its next logon.
  !insertmacro ACTIVE_SETUP '"$INSTDIR\tulvex_menu.exe"'
  ExecWait '"$INSTDIR\tulvex_menu.exe"'

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
  Delete "$INSTDIR\browser\tulvex_reader.js"
  Delete "$INSTDIR\browser\tulvex_ie.js"
  !insertmacro TULVEX_MENUS PAGE_DELETE
  RMDir "$INSTDIR\browser"
  Delete "$INSTDIR\tulvex_menu.exe"
  ; the program's result pages
  Delete "$INSTDIR\tulvex.htm"
  Delete "$INSTDIR\tulvex.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; only when empty: files of the user's stay, and so does their folder
  RMDir "$INSTDIR"

  DeleteRegValue HKU "${PROGRAM_KEY}" "Tulvex_dir"
  DeleteRegKey /ifempty HKU "${PROGRAM_KEY}"

  ; The menu entries: this account's now; every other account that got them
  ; loses them at its next logon, by a command that needs nothing of the
  ; removed folder.
  StrCpy $0 ""
  !insertmacro TULVEX_MENUS MENU_DELETE
  !insertmacro ACTIVE_SETUP '"$SYSDIR\cmd.exe" /c for %k in ($0) do @reg.exe delete %k /f'

  DeleteRegKey HKLM "${ELEVATION_KEY}"
  ${If} ${RunningX64}
    SetRegView 64
    DeleteRegKey HKLM "${ELEVATION_KEY}"
    SetRegView 32
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
