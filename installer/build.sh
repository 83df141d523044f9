#!/bin/sh
# Builds the Tulvex setup program with NSIS (Debian package "nsis").
#   installer/build.sh PATH/TO/tulvex.exe OUTPUT/tulvex-setup.exe
# Every file under install_folder/ goes into the setup program; the
# uninstaller's list of them is written here, at build time, from the same
# folder, so files added there later are installed and removed alike. The
# menu pages and the context-menu entries come from browser/menus.txt, the
# one table of them, through the NSIS macro TULVEX_MENUS written here; the
# entries are written by tulvex_menu.exe (menu.nsi), built first.
set -eu

if [ $# -ne 2 ]; then
  echo "usage: $0 TULVEX_EXE OUTPUT_SETUP_EXE" >&2
  exit 2
fi
command -v makensis >/dev/null 2>&1 || { echo "makensis not found: apt-get install nsis" >&2; exit 1; }

root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "$1")
out=$(realpath -m "$2")
[ -f "$exe" ] || { echo "no such program: $1" >&2; exit 1; }
mkdir -p "$(dirname "$out")"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
list="$work/installed.nsh"

# NSIS strings: '$' is written '$$'; paths use backslashes.
nsis_path() { printf '%s' "$1" | sed -e 's/\$/$$/g' -e 's|^\./||' -e 's|/|\\|g'; }
{
  echo "; install_folder/ as packed by build.sh"
  (cd "$root/install_folder" && find . -type f | LC_ALL=C sort) | while IFS= read -r f; do
    printf 'Delete "$INSTDIR\\%s"\n' "$(nsis_path "$f")"
  done
  (cd "$root/install_folder" && find . -mindepth 1 -type d | LC_ALL=C sort -r) | while IFS= read -r d; do
    printf 'RMDir "$INSTDIR\\%s"\n' "$(nsis_path "$d")"
  done
} > "$list"

# browser/menus.txt: page, tab, contexts, tab, title; '#' starts a comment.
# A title names a registry key and is quoted in a command line of the
# uninstaller: no backslash, quote, percent sign or wildcard.
table="$work/menus.nsh"
{
  echo "; browser/menus.txt as written by build.sh"
  echo '!define MENU_KEY "Software\Microsoft\Internet Explorer\MenuExt"'
  echo '!macro TULVEX_MENUS WHAT'
  tr -d '\r' < "$root/browser/menus.txt" | grep -v -e '^#' -e '^[[:space:]]*$' | while IFS="$(printf '\t')" read -r page contexts title; do
    case "$page" in *[!A-Za-z0-9_.-]*|"") echo "menus.txt: bad page name '$page'" >&2; exit 1 ;; esac
    case "$contexts" in 0x[0-9A-Fa-f]|0x[0-9A-Fa-f][0-9A-Fa-f]) ;; *) echo "menus.txt: bad contexts '$contexts' of $page" >&2; exit 1 ;; esac
    case "$title" in *[\\\"%*?\$]*|"") echo "menus.txt: bad title '$title' of $page" >&2; exit 1 ;; esac
    [ -f "$root/browser/$page" ] || { echo "menus.txt: no browser/$page" >&2; exit 1; }
    printf '  !insertmacro ${WHAT} "%s" %s "%s"\n' "$page" "$contexts" "$title"
  done
  echo '!macroend'
} > "$table"

nsis() { makensis -V2 -INPUTCHARSET UTF8 "-DSOURCE_ROOT=$root" "-DMENU_TABLE=$table" "$@"; }
nsis "-DOUT_FILE=$work/tulvex_menu.exe" "$root/installer/menu.nsi"
nsis "-DTULVEX_EXE=$exe" "-DOUT_FILE=$out" "-DINSTALLED_LIST=$list" "-DMENU_TOOL=$work/tulvex_menu.exe" \
  "$root/installer/tulvex.nsi"
echo "$out"
