#!/usr/bin/env bash
# Installs what building and testing Tulvex needs on Debian 12 (run as root).
# Installs only what is missing; safe to run again.
set -euo pipefail

packages=(cmake g++ make python3 g++-mingw-w64-i686 wine wine32:i386 xvfb xauth locales
          libgtest-dev libbenchmark-dev clang libclang-rt-14-dev imagemagick x11-utils nsis nodejs npm
          curl wget)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
# node and npm may come from elsewhere than Debian's packages.
if command -v node >/dev/null && command -v npm >/dev/null; then
  missing=("${missing[@]/nodejs}"); missing=("${missing[@]/npm}")
fi
read -r -a missing <<< "${missing[*]}"

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine runs with a Russian locale, so that its ANSI code page is Windows-1251.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU.utf-\?8$'; then
  $sudo sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi
