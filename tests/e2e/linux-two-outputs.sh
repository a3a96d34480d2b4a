#!/usr/bin/env bash
# The Linux program on an X screen with two outputs, the primary on the right of the other
# (Xorg's dummy driver): the logo is centred on the primary output, the notification window
# stands at its width - 305, height - 144, and a message box is centred on it, all measured from
# where the primary output starts.
#   linux-two-outputs.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-two-outputs.sh <build dir>}" && pwd)
program=$build/app/tavelin
[ -x "$program" ] || { echo "FAIL: $program is not built" >&2; exit 1; }

if [ "${2:-}" != "--inside-xorg" ]; then
  exec "$scripts/with-xorg-two-outputs.sh" bash "$0" "$build" --inside-xorg
fi

source "$scripts/linux-program-lib.sh"
tavelin_session two-outputs
fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/program.log" ] && { echo "--- program output:" >&2; cat "$work/program.log" >&2; }
  exit 1
}

xrandr | grep -q '^DUMMY0 connected primary 800x600+800+0' || fail "the primary output is not at (800,0): $(xrandr | grep connected)"
origin_x=800

# A configured start: the logo, then the notification of the mode applied (the primary output's
# own size: nothing to switch).
tavelin_sandbox "$work"
tavelin_configure "$work" 2 32
tavelin_start "$work" "$program" ALSA_CONFIG_PATH="$work/null-sound.conf"
logo=$(tavelin_wait_sized_window 258x81 10) || fail "no logo window"
tavelin_geometry "$logo"
[ "$WIN_X,$WIN_Y" = "$((origin_x + (800 - 258) / 2)),$(((600 - 81) / 2))" ] ||
  fail "the logo stands at ($WIN_X,$WIN_Y), not centred on the primary output"
agent=$(tavelin_wait_window '^Tavix Agent 2.0$' 10) || fail "no notification window"
tavelin_geometry "$agent"
[ "$WIN_X,$WIN_Y" = "$((origin_x + 800 - 305)),$((600 - 144))" ] ||
  fail "the notification window stands at ($WIN_X,$WIN_Y), not at the primary output's width - 305, height - 144"
tavelin_stop "$TAVELIN_PID"
TAVELIN_PID=

# An unconfigured user: the start-up's message box, centred on the primary output.
rm -f "$work/data/$(id -un)"
tavelin_start "$work" "$program" ALSA_CONFIG_PATH="$work/null-sound.conf"
box=$(tavelin_wait_sized_window box 10) || fail "no message box"
tavelin_geometry "$box"
centre_x=$((WIN_X + WIN_W / 2)) centre_y=$((WIN_Y + WIN_H / 2))
[ $((centre_x - origin_x - 400)) -ge -1 ] && [ $((centre_x - origin_x - 400)) -le 1 ] &&
  [ $((centre_y - 300)) -ge -1 ] && [ $((centre_y - 300)) -le 1 ] ||
  fail "the message box's centre is at ($centre_x,$centre_y), not the primary output's centre ($((origin_x + 400)),300)"
echo "PASS: logo, notification window and message box placed from the primary output's origin ($origin_x,0)"
