#!/usr/bin/env bash
# The Linux program on a private 1024x768 Xvnc: its borderless logo window appears centred,
# 258 x 81, and its white (colour-key) pixels show the root window through.
#   linux-smoke.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-smoke.sh <build dir>}" && pwd)
program=$build/app/tavelin
for tool in "$program" "$build/tests/xdrive"; do [ -x "$tool" ] || { echo "FAIL: $tool is not built" >&2; exit 1; }; done

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 1024x768 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session smoke
fail() {
  echo "FAIL: $*" >&2
  tavelin_failure_report
  [ -s "$work/program.log" ] && { echo "--- program output:" >&2; cat "$work/program.log" >&2; }
  exit 1
}

root_colour=2a5d8f  # anything but white, so a see-through pixel is told from a white one
xsetroot -solid "#$root_colour"
tavelin_sandbox "$work"
tavelin_configure "$work" 3 32  # the screen's own size: nothing to switch
tavelin_start "$work" "$program" ALSA_CONFIG_PATH="$work/null-sound.conf"

# Found by its size: message boxes carry the title "Tavelin" too.
window=$(tavelin_wait_sized_window 258x81 10) || fail "no mapped 258x81 window titled \"Tavelin\" within 10 s"
tavelin_geometry "$window"
echo "window $window: ${WIN_W}x${WIN_H} at ($WIN_X,$WIN_Y)"
[ "$WIN_W" = 258 ] && [ "$WIN_H" = 81 ] || fail "client size ${WIN_W}x${WIN_H}, expected 258x81"
[ "$WIN_X" = $(((1024 - 258) / 2)) ] && [ "$WIN_Y" = $(((768 - 81) / 2)) ] ||
  fail "position ($WIN_X,$WIN_Y), expected centred at (383,343)"

xdrive wait-painted "$window" || fail "the window was not drawn"
import -window root "$work/screen.png"
tavelin_running || fail "the program ended by itself"
[ "$(tavelin_pixel "$work/screen.png" 5 5)" = "$root_colour" ] || fail "the root window is not the colour set"
for corner in "1 1" "$((WIN_W - 2)) 1" "1 $((WIN_H - 2))" "$((WIN_W - 2)) $((WIN_H - 2))"; do
  read -r cx cy <<<"$corner"
  pixel=$(tavelin_pixel "$work/screen.png" $((WIN_X + cx)) $((WIN_Y + cy)))
  [ "$pixel" = "$root_colour" ] || fail "window pixel ($cx,$cy) shows #$pixel, not the root's #$root_colour"
done
# The logo's screen mark is drawn (blue glass at (20,45)), and so is the version label's text.
read -r r g b <<<"$(convert "$work/screen.png" -format "%[fx:int(255*p{$((WIN_X + 20)),$((WIN_Y + 45))}.r)] %[fx:int(255*p{$((WIN_X + 20)),$((WIN_Y + 45))}.g)] %[fx:int(255*p{$((WIN_X + 20)),$((WIN_Y + 45))}.b)]" info:)"
[ "$b" -gt $((r + 60)) ] || fail "no logo at (20,45): rgb $r $g $b"
label=$(convert "$work/screen.png" -crop "184x12+$((WIN_X + 70))+$((WIN_Y + 5))" +repage \
  -fill black -opaque "#$root_colour" -fill black -opaque white -fill white +opaque black -format '%[fx:round(mean*w*h)]' info:)
echo "label text pixels: $label"
[ "$label" -gt 20 ] || fail "the version label shows only $label pixels"  # "1.4" once started
# Clicks pass where the window is see-through (the pointer is over the root there), and land on
# the window over the logo.
wrong=$(tavelin_logo_click_through "$WIN_X" "$WIN_Y") || fail "$wrong"
cp "$work/screen.png" "${TMPDIR:-/tmp}/linux-smoke-last.png"
echo "PASS: centred 258x81 window with its logo and label, white parts show the root and let clicks through"
