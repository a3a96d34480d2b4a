#!/usr/bin/env bash
# Installs every Debian package that building, testing and the end-to-end runs need.
# Idempotent and non-interactive: packages already present are left alone.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  googletest libgtest-dev libgmock-dev
  libgtk-3-dev libx11-dev libxext-dev libxrandr-dev
  # the end-to-end tests' X driver (tests/e2e/tools/xdrive): input, drawing seen, screenshots
  libxtst-dev libxdamage-dev libpng-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64
  tigervnc-standalone-server x11-xserver-utils x11-utils xdotool imagemagick
  procps
  # an XEmbed tray host for the tray icon's end-to-end test
  trayer
  # a private session bus for the StatusNotifierItem and balloon tests
  dbus-daemon
  # speech: espeak-ng renders, libsoxr converts the rate, ALSA plays
  espeak-ng libespeak-ng-dev libsoxr-dev libasound2-dev
  # sound tests and benchmark: WAV inspection, a paced sound server behind ALSA's default device
  alsa-utils sox pulseaudio libasound2-plugins
  fonts-dejavu-core  # the Verdana substitute that drawn text and the pixel tests use
  librsvg2-bin       # rsvg-convert, for app/artwork/generate.py
  # the packages: dpkg-shlibdeps, lintian's checks, the "stripped" check, the Windows installer
  dpkg-dev
  lintian
  file
  nsis
  # reads the texts of the program's windows in the end-to-end tests' screenshots
  tesseract-ocr
  # Wayland desktops: the output configuration clients (wayland-scanner), and the wlroots test
  # compositor with XWayland and wlroots' own command-line client
  libwayland-dev libwlroots-dev libpixman-1-dev xwayland wlr-randr
  # KDE Plasma's output protocols' XML; KWin headless with its own command-line client (a Qt
  # program: Qt's Wayland platform)
  plasma-wayland-protocols kwin-wayland libkf5screen-bin qtwayland5
  # GNOME's compositor headless, and gdbus to read its display configuration back
  mutter libglib2.0-bin
  # a window manager that draws frames, for the framed windows' placement
  openbox
  # an X server with two outputs (Xorg's dummy driver), for placement on the primary one
  xserver-xorg-core xserver-xorg-video-dummy
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
