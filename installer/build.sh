#!/bin/sh
# Builds the Tulvex setup program with NSIS (Debian package "nsis").
#   installer/build.sh PATH/TO/tulvex.exe OUTPUT/tulvex-setup.exe
# Every file under install_folder/ goes into the setup program; the
# uninstaller's list of them is written here, at build time, from the same
# folder, so files added there later are installed and removed alike.
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

makensis -V2 -INPUTCHARSET UTF8 \
  "-DTULVEX_EXE=$exe" "-DSOURCE_ROOT=$root" "-DOUT_FILE=$out" "-DINSTALLED_LIST=$list" \
  "$root/installer/tulvex.nsi"
echo "$out"
