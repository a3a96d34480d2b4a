#!/usr/bin/env bash
# Times resolution switches on a private Xvnc: our in-process ChangeDisplaySettingsA against the
# xrandr command doing the same switch. Prints the medians and their ratio.
# With --wlroots, the same on the tests' wlroots compositor (the compositor's confirmation against
# wlr-randr); with --kwin, on a private headless KWin, whose one output offers one mode, switched
# to it again (KWin's confirmation against kscreen-doctor).
#   bench-display.sh [--wlroots|--kwin] [build-dir] [switches]
set -euo pipefail
wlroots= kwin=
[ "${1:-}" = --wlroots ] && { wlroots=1; shift; }
[ "${1:-}" = --kwin ] && { kwin=1; shift; }
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
    DISPLAY=$(sed -n 's/^DISPLAY=//p' "$run/ready") "$program" HEADLESS-1 "$switches" wlr-randr
  exit
fi

if [ -n "$kwin" ]; then
  source "$here/linux-program-lib.sh"
  source "$here/../tests/e2e/wayland-lib.sh"
  source "$here/../tests/e2e/kwin-lib.sh"
  work=$(mktemp -d "${TMPDIR:-/tmp}/bench-kwin.XXXXXX")
  pids=()
  trap 'for pid in "${pids[@]}"; do tavelin_stop "$pid"; done; rm -rf "$work"' EXIT
  fail() { echo "bench-display: $*" >&2; cat "$work/kwin.log" >&2; exit 2; }
  kwin_start "$work" 800 600
  XDG_RUNTIME_DIR=$KWIN_RUNTIME WAYLAND_DISPLAY=${WAYLAND##*/} QT_QPA_PLATFORM=wayland QT_LOGGING_RULES="kscreen*=false" \
    "$program" Virtual-0 "$switches" kscreen-doctor 800x600@60,800x600@60
  exit
fi

# The primary output is the one marked primary, else the first connected one (as the program picks).
exec "$here/with-xvnc.sh" bash -c '
  output=$(xrandr --query | awk "/ connected primary /{print \$1; exit}")
  [ -n "$output" ] || output=$(xrandr --query | awk "/ connected /{print \$1; exit}")
  [ -n "$output" ] || { echo "bench-display: no connected output" >&2; exit 2; }
  exec "$0" "$output" "$1"
' "$program" "$switches"
