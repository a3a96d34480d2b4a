#!/usr/bin/env bash
# The Linux program on KDE Plasma's compositor: a private KWin (virtual backend, one 800x600
# output offering that mode only, on a private session bus) with the program's windows on its
# XWayland. A user who asks for 800x600 gets it through KWin's output management: KWin confirms,
# "User resolution applied." at the output's width - 305, height - 144. A user who asks for
# 640x480, which the output does not offer, gets "Error 4" and "Mode not supported.", and the
# output stays 800x600 as KWin's own client reads it back.
#   linux-wayland-kwin.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-wayland-kwin.sh <build dir>}" && pwd)
program=$build/app/tavelin
[ -x "$program" ] || { echo "FAIL: $program is not built" >&2; exit 1; }
for tool in kwin_wayland kscreen-doctor Xwayland dbus-daemon; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

source "$scripts/linux-program-lib.sh"
source "$here/program-lib.sh"
source "$here/wayland-lib.sh"
source "$here/kwin-lib.sh"
DISPLAY=
e2e_begin wayland-kwin

kwin_start "$work" 800 600
[ "$(kwin_output_state Virtual-0)" = "800x600@0,0" ] || fail "Virtual-0 starts as $(kwin_output_state Virtual-0)"

# The program's Wayland conversation, as libwayland logs it, shows what it asked KWin.
run_program 2 DBUS_SESSION_BUS_ADDRESS="$TAVELIN_BUS" WAYLAND_DEBUG=client
expect_notification 800x600 "User resolution applied."
e2e_no_box
[ "$(kwin_output_state Virtual-0)" = "800x600@0,0" ] || fail "Virtual-0 is $(kwin_output_state Virtual-0) after the change"
grep -q 'kde_output_configuration_v2@[0-9]*\.applied()' "$work/program.log" ||
  fail "KWin applied no configuration for the program"
end_program

run_program 1 DBUS_SESSION_BUS_ADDRESS="$TAVELIN_BUS" WAYLAND_DEBUG=client
e2e_expect_box "Error 4: Your machine does not support this mode."
expect_notification 800x600 "Mode not supported."
[ "$(kwin_output_state Virtual-0)" = "800x600@0,0" ] ||
  fail "Virtual-0 is $(kwin_output_state Virtual-0) after a mode it does not offer"
grep -q 'kde_output_device_mode_v2@[0-9]*\.size(800, 600)' "$work/program.log" || fail "the program read no outputs from KWin"
! grep -q 'kde_output_configuration_v2@[0-9]*\.apply()' "$work/program.log" ||
  fail "KWin was asked for a mode the output does not offer"
end_program
echo "PASS: on KWin the primary output's own mode is applied through its output management and confirmed, a mode it does not offer is the bad-mode box with the output as it was"
