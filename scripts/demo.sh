#!/usr/bin/env bash
# Builds tulvex.exe and shows it at work under Wine on the bundled samples:
# the path of each result page and the command line that starts the browser.
# Also builds the installer, build/win/tulvex-setup.exe, and saves pictures:
# the links page and the readable-text page as a browser engine renders them
# (build/links.png, build/readable.png) and the progress window in the middle
# of a download (build/progress.png). Run as root, or as a user who may use
# sudo (scripts/deps.sh asks for it when something must be installed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh  # its last line names the Wine, and the build of tulvex.exe, that the demo runs
scripts/build_win.sh >/dev/null
installer/build.sh build/win/tulvex.exe build/win/tulvex-setup.exe >/dev/null
echo "Built build/win/tulvex.exe and build/win/tulvex-setup.exe"
xvfb-run -a -s "-screen 0 1024x768x24" python3 scripts/demo.py build
xvfb-run -a -s "-screen 0 1024x768x24" python3 scripts/progress_screenshot.py build/progress.png
echo "The progress window in the middle of a download: build/progress.png"
