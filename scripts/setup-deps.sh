#!/usr/bin/env bash
# Installs the Debian packages that building and testing Quedrix needs, only those missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev
  clang-14 libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6test6
  xvfb xauth openbox trayer xdotool x11-utils dbus dbus-x11 imagemagick
  locales
  # The Windows build (MinGW-w64 with POSIX threads, GoogleTest from source) and Wine to test it.
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix googletest wine wine64
  # The Windows installer (makensis with its 64-bit stubs) and the texts its test reads from shortcuts.
  nsis binutils
  # The face Wine draws the windows' Cyrillic captions with (Wine's own MS Sans Serif has no Cyrillic).
  fonts-dejavu-core
  # The Debian package and its test: dpkg-shlibdeps and file for CPack, help2man for the manual pages,
  # lintian and the desktop-entry and AppStream validators to check it.
  dpkg-dev file help2man lintian desktop-file-utils appstream
)

# Locales the regional-settings tests run under (comma decimal separator, a multi-byte one).
locales=(bg_BG de_DE ps_AF)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

missing_locales=()
for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "$l.utf-\?8" || missing_locales+=("$l")
done

[[ ${#missing[@]} -eq 0 && ${#missing_locales[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  if [[ ${#missing[@]} -ne 0 ]]; then
    echo "Missing packages. Run as root:" >&2
    echo "  apt-get install -y ${missing[*]}" >&2
  fi
  for l in "${missing_locales[@]}"; do
    echo "Missing locale. Run as root: localedef -i $l -f UTF-8 $l.UTF-8" >&2
  done
  exit 1
fi

if [[ ${#missing[@]} -ne 0 ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

for l in "${missing_locales[@]}"; do
  echo "Generating locale $l.UTF-8"
  localedef -i "$l" -f UTF-8 "$l.UTF-8"
done
