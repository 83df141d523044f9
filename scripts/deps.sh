#!/usr/bin/env bash
# Installs what building and testing Tulvex needs on Debian 12. Run as root,
# or as a user who may use sudo: then it asks sudo for what needs root.
# Installs only what is missing; safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make python3 g++-mingw-w64-i686 wine wine32:i386 xvfb xauth locales
          libgtest-dev libbenchmark-dev clang libclang-rt-14-dev imagemagick x11-utils nsis nodejs npm
          curl wget aria2 wkhtmltopdf)

install_missing() {  # install_missing PACKAGE...: those not installed yet
  local package missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
  done
  # node and npm may come from elsewhere than Debian's packages.
  if command -v node >/dev/null && command -v npm >/dev/null; then
    missing=("${missing[@]/nodejs}"); missing=("${missing[@]/npm}")
  fi
  read -r -a missing <<< "${missing[*]}"
  [ "${#missing[@]}" -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

as_root() {  # root runs it as it is; anyone else through sudo
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "$0: '$*' needs root: run this as root, or install sudo" >&2
    exit 1
  fi
}

install_missing "${packages[@]}"
# A kernel without 32-bit programs runs no 32-bit Wine: the tests then take an x86-64 build to wine64.
if ! scripts/wine_form.sh | grep -q '^win32:'; then
  install_missing g++-mingw-w64-x86-64 wine64
fi
scripts/wine_form.sh || true

# Wine runs with a Russian locale, so that its ANSI code page is Windows-1251.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU.utf-\?8$'; then
  as_root sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
  as_root locale-gen >/dev/null
fi
