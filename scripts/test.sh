#!/usr/bin/env bash
# Builds Tulvex and runs every test: the portable core's unit tests (plain,
# then with AddressSanitizer and UndefinedBehaviorSanitizer), the fuzzers
# for a bounded time, the browser half's tests, and the real tulvex.exe
# under Wine on a virtual display (with it, the built executable's
# imports and resources, read by objdump).
#   FUZZ_SECONDS  seconds per fuzz target (default 30)
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh || exit 1
form=$(scripts/wine_form.sh)

jobs=$(nproc)
passed=0
failed=0
failures=()
step() {  # step NAME COMMAND...: runs one layer and counts it
  local name=$1; shift
  echo "=== $name"
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); failures+=("$name"); fi
}

native() {
  cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
  cmake --build build/native -j"$jobs" &&
  ctest --test-dir build/native --output-on-failure -j"$jobs"
}
sanitized() {
  cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTULVEX_SANITIZE=ON >/dev/null &&
  cmake --build build/sanitize -j"$jobs" &&
  ctest --test-dir build/sanitize --output-on-failure -j"$jobs"
}
fuzz() {
  CXX=clang++ cmake -S . -B build/fuzz -DTULVEX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
  cmake --build build/fuzz -j"$jobs" || return 1
  local target
  for target in build/fuzz/fuzz_*; do
    mkdir -p "build/fuzz/corpus/$(basename "$target")"
    "$target" -max_total_time="${FUZZ_SECONDS:-30}" -print_final_stats=0 \
      "build/fuzz/corpus/$(basename "$target")" 2>&1 | tail -n 2 || return 1
  done
}
windows() {
  scripts/build_win.sh
}
browser_half() {
  (cd browser && npm ci --no-audit --no-fund --silent && npm test)
}
end_to_end() {
  (cd tests/e2e && xvfb-run -a -s "-screen 0 1024x768x24" timeout 3600 python3 -m unittest discover -v -p 'test_*.py') \
    2>&1 | tee build/e2e.log
}

step "core unit tests" native
step "core unit tests with ASan and UBSan" sanitized
step "fuzzers" fuzz
step "Windows build" windows
step "browser half" browser_half
if [ -f build/win/tulvex.exe ]; then step "tulvex.exe under Wine" end_to_end; fi

echo
why=${form#*: }
case $form in
  win32:*) echo "Wine layer: the 32-bit tulvex.exe under the 32-bit Wine" ;;
  win64:*) echo "Wine layer: the x86-64 build under wine64 (${why%%: tulvex.exe*}), with" \
                "$(grep -c "skipped '32-bit program only" build/e2e.log 2>/dev/null) cases skipped as 32-bit only" ;;
  *) echo "Wine layer: none could run ($why)" ;;
esac
[ "$failed" -eq 0 ] || echo "Failed: ${failures[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
