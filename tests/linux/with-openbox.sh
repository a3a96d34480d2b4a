#!/usr/bin/env bash
# Runs a command on $DISPLAY with openbox managing its windows (drawing their frames), then stops
# openbox by its PID. Openbox reads a configuration folder of its own, never the user's.
#   with-openbox.sh command args...
set -euo pipefail
config=$(mktemp -d "${TMPDIR:-/tmp}/tavelin-openbox.XXXXXX")
XDG_CONFIG_HOME=$config openbox --sm-disable >"$config/openbox.log" 2>&1 &
wm_pid=$!
cleanup() {
  kill "$wm_pid" 2>/dev/null || true
  wait "$wm_pid" 2>/dev/null || true
  rm -rf "$config"
}
trap cleanup EXIT INT TERM
# Managing once it has announced itself on the root window.
for _ in $(seq 1 200); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  kill -0 "$wm_pid" 2>/dev/null || { cat "$config/openbox.log" >&2; exit 1; }
  sleep 0.025
done
"$@"
