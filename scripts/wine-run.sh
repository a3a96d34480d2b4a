#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix (never the user's), with
# Wine's chatter off and a time limit. CMake uses it as the emulator of the mingw build.
set -euo pipefail
export PATH=/usr/lib/wine:$PATH
export WINEPREFIX=${TAVELIN_WINEPREFIX:-${TMPDIR:-/tmp}/tavelin-wineprefix-$(id -u)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  timeout 120 wine64 wineboot -i >/dev/null 2>&1 || true
  timeout 60 wineserver -w || true
fi
exec timeout "${TAVELIN_WINE_TIMEOUT:-300}" wine64 "$@"
