#!/usr/bin/env bash
# Times resolution switches on a private Xvnc: our in-process ChangeDisplaySettingsA against the
# xrandr command doing the same switch. Prints the medians and their ratio.
# With --wlroots, the same on the tests' wlroots compositor (the compositor's confirmation against
# wlr-randr).
#   bench-display.sh [--wlroots] [build-dir] [switches]
set -euo pipefail
wlroots=
[ "${1:-}" = --wlroots ] && { wlroots=1; shift; }
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/default}
switches=${2:-200}
program=$build/bench/display_switch
[ -x "$program" ] || { echo "bench-display: build $program first (cmake --build $build)" >&2; exit 2; }

if [ -n "$wlroots" ]; then
  compositor=$build/tests/wlr_test_compositor
  run=$(mktemp -d "${TMPDIR:-/tmp}/bench-wlroots.XXXXXX")
  chmod 700 "$run"
  XDG_RUNTIME_DIR=$run WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    "$compositor" --modes 800x600,1024x768 --output 800x600 --ready "$run/ready" >"$run/log" 2>&1 &
  compositor_pid=$!
  trap 'kill "$compositor_pid" 2>/dev/null; wait "$compositor_pid" 2>/dev/null; rm -rf "$run"' EXIT
  for _ in $(seq 1 200); do [ -s "$run/ready" ] && break; sleep 0.05; done
  [ -s "$run/ready" ] || { echo "bench-display: the compositor did not start" >&2; exit 2; }
  WAYLAND_DISPLAY=$run/$(sed -n 's/^WAYLAND_DISPLAY=//p' "$run/ready") \
    DISPLAY=$(sed -n 's/^DISPLAY=//p' "$run/ready") "$program" HEADLESS-1 "$switches"
  exit
fi

# The primary output is the one marked primary, else the first connected one (as the program picks).
exec "$here/with-xvnc.sh" bash -c '
  output=$(xrandr --query | awk "/ connected primary /{print \$1; exit}")
  [ -n "$output" ] || output=$(xrandr --query | awk "/ connected /{print \$1; exit}")
  [ -n "$output" ] || { echo "bench-display: no connected output" >&2; exit 2; }
  exec "$0" "$output" "$1"
' "$program" "$switches"
