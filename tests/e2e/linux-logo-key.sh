#!/usr/bin/env bash
# The start-up logo over a dark desktop, as a user sees it: from its first screenshot on, and
# after its version label has changed, not one pure white (colour-key) pixel shows inside the
# window's rectangle, and the desktop shows through its corners.
#   linux-logo-key.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-logo-key.sh <build dir>}" && pwd)
program=$build/app/tavelin
[ -x "$program" ] || { echo "FAIL: $program is not built" >&2; exit 1; }

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 800x600 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session logo-key
fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/program.log" ] && { echo "--- program output:" >&2; cat "$work/program.log" >&2; }
  exit 1
}

root_colour=101c48  # a dark blue desktop
xsetroot -solid "#$root_colour"
tavelin_sandbox "$work"
tavelin_configure "$work" 2 32  # the screen's own size: nothing to switch
tavelin_start "$work" "$program" ALSA_CONFIG_PATH="$work/null-sound.conf"

window=$(tavelin_wait_sized_window 258x81 10) || fail "no mapped 258x81 window titled \"Tavelin\" within 10 s"
tavelin_geometry "$window"
area="${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}"

# Pure white pixels inside the window's rectangle of screenshot $1.
white_pixels() {
  convert "$1" -crop "$area" +repage -fill black +opaque white -fill white -opaque white -format '%[fx:round(mean*w*h)]' info:
}
# Pixels of the label's left part (where "Loading program..." has text and "1.4" has none) that
# are not the desktop.
loading_text_pixels() {
  convert "$1" -crop "120x11+$((WIN_X + 70))+$((WIN_Y + 5))" +repage -fill black -opaque "#$root_colour" \
    -fill white +opaque black -format '%[fx:round(mean*w*h)]' info:
}

# One screenshot after another from the first moment on, until the label has changed, and one
# more after that.
shots=0
changed=
while :; do
  shots=$((shots + 1))
  shot="$work/shot-$shots.png"
  import -window root "$shot"
  white=$(white_pixels "$shot")
  [ "$white" = 0 ] || { cp "$shot" "${TMPDIR:-/tmp}/linux-logo-key-white.png"; fail "screenshot $shots shows $white pure white pixels inside the logo's rectangle $area"; }
  for corner in "0 0" "$((WIN_W - 1)) 0" "0 $((WIN_H - 1))" "$((WIN_W - 1)) $((WIN_H - 1))"; do
    read -r cx cy <<<"$corner"
    pixel=$(tavelin_pixel "$shot" $((WIN_X + cx)) $((WIN_Y + cy)))
    [ "$pixel" = "$root_colour" ] || fail "screenshot $shots: corner ($cx,$cy) shows #$pixel, not the desktop's #$root_colour"
  done
  [ -n "$changed" ] && break
  [ "$(loading_text_pixels "$shot")" = 0 ] && changed=$shots
  [ "$shots" -lt 100 ] || fail "the version label did not change in $shots screenshots"
  tavelin_running || fail "the program ended by itself"
done
echo "PASS: $shots screenshots of the logo over #$root_colour (the label changed by screenshot $changed): no pure white pixel, the desktop at every corner"
