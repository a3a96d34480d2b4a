#!/usr/bin/env bash
# The Linux program on a private 1024x768 Xvnc: its borderless logo window appears centred,
# 258 x 81, and its white (colour-key) pixels show the root window through.
#   linux-smoke.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-smoke.sh <build dir>}" && pwd)
program=$build/app/tavelin
[ -x "$program" ] || { echo "FAIL: $program is not built" >&2; exit 1; }

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 1024x768 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session smoke
fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/program.log" ] && { echo "--- program output:" >&2; cat "$work/program.log" >&2; }
  exit 1
}

root_colour=2a5d8f  # anything but white, so a see-through pixel is told from a white one
xsetroot -solid "#$root_colour"
tavelin_sandbox "$work"
tavelin_start "$work" "$program"

window=$(tavelin_wait_window '^Tavelin$' 10) || fail "no mapped window titled \"Tavelin\" within 10 s"
tavelin_geometry "$window"
echo "window $window: ${WIN_W}x${WIN_H} at ($WIN_X,$WIN_Y)"
[ "$WIN_W" = 258 ] && [ "$WIN_H" = 81 ] || fail "client size ${WIN_W}x${WIN_H}, expected 258x81"
[ "$WIN_X" = $(((1024 - 258) / 2)) ] && [ "$WIN_Y" = $(((768 - 81) / 2)) ] ||
  fail "position ($WIN_X,$WIN_Y), expected centred at (383,343)"

sleep 0.5  # let the first paint land
import -window root "$work/screen.png"
tavelin_running || fail "the program ended by itself"
[ "$(tavelin_pixel "$work/screen.png" 5 5)" = "$root_colour" ] || fail "the root window is not the colour set"
for corner in "1 1" "$((WIN_W - 2)) 1" "1 $((WIN_H - 2))" "$((WIN_W - 2)) $((WIN_H - 2))"; do
  read -r cx cy <<<"$corner"
  pixel=$(tavelin_pixel "$work/screen.png" $((WIN_X + cx)) $((WIN_Y + cy)))
  [ "$pixel" = "$root_colour" ] || fail "window pixel ($cx,$cy) shows #$pixel, not the root's #$root_colour"
done
cp "$work/screen.png" "${TMPDIR:-/tmp}/linux-smoke-last.png"
echo "PASS: centred 258x81 window, white corners show the root window"
