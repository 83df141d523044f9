#!/usr/bin/env bash
# Says which Wine the end-to-end tests, the demo and the benchmarks run tulvex.exe under, in one line:
#   win32: ...  the 32-bit program (build/win) under the 32-bit Wine, in a 32-bit prefix
#   win64: ...  an x86-64 build of the same sources (build/win64) under wine64, in a 64-bit prefix
#   none: ...   no Wine runs on this machine (the line says why); exits 1
# The 32-bit form needs a kernel that runs 32-bit Linux programs, which some machines have switched
# off ("Exec format error"): it is found out by running Wine's 32-bit loader, a 32-bit program.
# TULVEX_WINE64=1 takes the 64-bit form on any machine.
set -uo pipefail
wine32=/usr/lib/wine/wine wine64=/usr/lib/wine/wine64
why_not() {  # why_not LOADER: nothing when it runs, else its last words
  local said
  [ -x "$1" ] || { echo "$1 is not installed"; return; }
  said=$(WINELOADER=$1 "$1" --version 2>&1) && return
  echo "$1: ${said##*: }"
}
to64="tulvex.exe runs under Wine as an x86-64 build of the same sources (build/win64), under wine64 in a 64-bit prefix"
if [ "${TULVEX_WINE64:-}" = 1 ]; then
  reason="TULVEX_WINE64=1 asks for the 64-bit form"
else
  reason=$(why_not "$wine32")
  if [ -z "$reason" ]; then
    echo "win32: this machine runs 32-bit programs: tulvex.exe runs under Wine as built (build/win), in a 32-bit prefix"
    exit 0
  fi
  reason="this machine runs no 32-bit program ($reason)"
fi
if [ -n "$(why_not "$wine64")" ]; then
  echo "none: $reason, and no 64-bit Wine runs either ($(why_not "$wine64"))"
  exit 1
fi
echo "win64: $reason: $to64"
