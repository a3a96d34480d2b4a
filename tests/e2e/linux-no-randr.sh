#!/usr/bin/env bash
# The Linux program on an X server without RandR, with a user who asks for 1024x768: it starts,
# shows its logo centred, cannot switch the screen and says so ("Error 4: Your machine does not
# support this mode.", then "Mode not supported." at the screen's width - 305, height - 144), and
# goes on running, with no warnings from GTK or from itself.
#   linux-no-randr.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-no-randr.sh <build dir>}" && pwd)
program=$build/app/tavelin
for tool in "$program" "$build/tests/xdrive"; do [ -x "$tool" ] || { echo "FAIL: $tool is not built" >&2; exit 1; }; done

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 800x600 -x RANDR bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
source "$here/program-lib.sh"
e2e_begin no-randr

xdpyinfo -queryExtensions | grep -q RANDR && fail "the X server has RandR"  # a check, not a wait
tavelin_configure "$work" 3 32
tavelin_start "$work" "$program" ALSA_CONFIG_PATH="$work/null-sound.conf"
window=$(tavelin_wait_sized_window 258x81 10) || fail "no logo window within 10 s"
tavelin_geometry "$window"
[ "$WIN_X" = $(((800 - WIN_W) / 2)) ] && [ "$WIN_Y" = $(((600 - WIN_H) / 2)) ] ||
  fail "window at ($WIN_X,$WIN_Y), not centred on the 800x600 screen"
e2e_expect_box "Error 4: Your machine does not support this mode."
agent=$(e2e_expect_notification 5)
[ "$(e2e_notification_text "$agent")" = "Mode not supported." ] || fail "the notification reads \"$(e2e_notification_text "$agent")\""
[ "$(tavelin_screen_size)" = 800x600 ] || fail "the screen is $(tavelin_screen_size)"
# Measured span: the program has to go on running for a second after the report.
xdrive -q -t 1 wait-exit "$TAVELIN_PID" && fail "the program ended by itself"
[ -s "$work/program.log" ] && fail "the program wrote to its output"
echo "PASS: without RandR the logo is centred on the 800x600 screen, the mode is reported unsupported and the program runs on quietly"
