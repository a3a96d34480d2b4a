#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix (never the user's), with
# Wine's chatter off and a time limit. CMake uses it as the emulator of the mingw build.
#   TAVELIN_WINEPREFIX       the prefix to use (created on first use)
#   TAVELIN_WINE_TIMEOUT     seconds the program may run (300)
#   TAVELIN_WINE_STOP_SERVER non-empty: stop the prefix's wineserver when the program ends; only
#                            for a prefix that nothing else is using
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
if [ -z "${TAVELIN_WINE_STOP_SERVER:-}" ]; then
  exec timeout "${TAVELIN_WINE_TIMEOUT:-300}" wine64 "$@"
fi
# In a prefix of the caller's own, nothing of Wine's may outlive the program (its desktop
# process and the server linger otherwise).
status=0
timeout "${TAVELIN_WINE_TIMEOUT:-300}" wine64 "$@" || status=$?
timeout 30 wineserver -k || true
exit "$status"
