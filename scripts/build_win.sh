#!/usr/bin/env bash
# Builds the Windows programs: the 32-bit product in build/win (tulvex.exe with the tests' and the
# benchmarks' helpers) and, where scripts/wine_form.sh names the 64-bit Wine, the same sources for
# x86-64 in build/win64, which that Wine runs.
#   scripts/build_win.sh [TARGET...]   (every default target when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
build() {  # build FOLDER TOOLCHAIN [TARGET...]
  local folder=$1 toolchain=$2
  shift 2
  [ -f "$folder/CMakeCache.txt" ] ||
    cmake -S . -B "$folder" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
  if [ $# -gt 0 ]; then set -- --target "$@"; fi
  cmake --build "$folder" -j"$(nproc)" "$@"
}
build build/win mingw32.cmake "$@"
if [[ $(scripts/wine_form.sh) == win64:* ]]; then
  build build/win64 mingw64.cmake "$@"
fi
