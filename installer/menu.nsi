; tulvex_menu.exe: writes the add-on's Internet Explorer context-menu entries
; into the registry of the user who runs it (HKEY_CURRENT_USER only), each
; pointing at its page in the browser\ folder beside this program. Runs
; silently with the rights of that user: Windows starts it through Active
; Setup at each user's logon, and setup starts it for the installing account.
;
; Built by build.sh, which defines OUT_FILE and MENU_TABLE (the entries of
; browser/menus.txt as the macro TULVEX_MENUS).

Unicode true
SetCompressor /SOLID lzma
!include "${MENU_TABLE}"

Name "Tulvex"
OutFile "${OUT_FILE}"
Icon "${SOURCE_ROOT}/resources/tulvex.ico"
RequestExecutionLevel user
SilentInstall silent

!macro MENU_WRITE PAGE CONTEXTS TITLE
  WriteRegStr HKCU "${MENU_KEY}\${TITLE}" "" "$EXEDIR\browser\${PAGE}"
  WriteRegDWORD HKCU "${MENU_KEY}\${TITLE}" "Contexts" ${CONTEXTS}
!macroend

Section
  !insertmacro TULVEX_MENUS MENU_WRITE
SectionEnd
