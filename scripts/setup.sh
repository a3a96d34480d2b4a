#!/usr/bin/env bash
# Installs every Debian package that building, testing and the end-to-end runs need.
# Idempotent and non-interactive: packages already present are left alone.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  googletest libgtest-dev libgmock-dev
  libgtk-3-dev libx11-dev libxext-dev libxrandr-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64
  tigervnc-standalone-server x11-xserver-utils x11-utils xdotool imagemagick
  procps
  # the packages: dpkg-shlibdeps, lintian's checks, the "stripped" check, the Windows installer
  dpkg-dev
  lintian
  file
  nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
