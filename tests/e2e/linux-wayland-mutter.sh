#!/usr/bin/env bash
# The Linux program on GNOME's compositor: a private mutter (headless, one 800x600 virtual monitor
# offering that mode only, on a private session bus) with the program's windows on its XWayland.
# A user who asks for 800x600 gets it through mutter's display configuration (applied for the
# session only): "User resolution applied." at the monitor's width - 305, height - 144. A user
# who asks for 640x480, which the monitor does not offer, gets "Error 4" and "Mode not supported."
# without mutter being asked, and the monitor keeps its mode as mutter reports it.
#   linux-wayland-mutter.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-wayland-mutter.sh <build dir>}" && pwd)
program=$build/app/tavelin
[ -x "$program" ] || { echo "FAIL: $program is not built" >&2; exit 1; }
for tool in mutter gdbus Xwayland dbus-daemon; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

source "$scripts/linux-program-lib.sh"
source "$here/program-lib.sh"
source "$here/wayland-lib.sh"
DISPLAY=
e2e_begin wayland-mutter

root=$work/mutter
mkdir -p "$root/home" "$root/run" && chmod 700 "$root/run"
tavelin_session_bus "$root/bus"
compositor_session "$root"
HOME=$root/home XDG_CONFIG_HOME=$root/home/.config XDG_RUNTIME_DIR=$root/run DBUS_SESSION_BUS_ADDRESS=$TAVELIN_BUS \
  mutter --headless --virtual-monitor 800x600 --wayland-display tavelin-mutter -- "$root/session.sh" \
  >"$work/mutter.log" 2>&1 4>&- &
pids+=("$!")
wait_compositor_session "$root" "$root/run" || fail "mutter did not start its session"

current_state() {
  DBUS_SESSION_BUS_ADDRESS=$TAVELIN_BUS gdbus call --session -d org.gnome.Mutter.DisplayConfig \
    -o /org/gnome/Mutter/DisplayConfig -m org.gnome.Mutter.DisplayConfig.GetCurrentState
}
# Prints the virtual monitor's current mode as mutter reports it (its id, WxH@rate).
monitor_mode() {
  current_state | grep -o "('[^']*', [0-9]*, [0-9]*, [^{]*{[^}]*'is-current': <true>" | sed "s/^('\([^']*\)'.*/\1/"
}
[ "$(monitor_mode)" = "800x600@60.000" ] || fail "the monitor starts as $(monitor_mode)"

# What the program asks mutter, as the bus sees it; ready once it has become a monitor.
dbus-monitor --address "$TAVELIN_BUS" >"$work/bus-monitor.txt" 2>&1 &
pids+=("$!")
xdrive wait-line "$work/bus-monitor.txt" "member=NameLost" >/dev/null || fail "the bus monitor did not start"
# Prints how many ApplyMonitorsConfig calls mutter answered with a return (not an error).
applied_configs() {
  awk 'function field(name, i) { for (i = 1; i <= NF; i++) if (index($i, name "=") == 1) return substr($i, length(name) + 2) }
       /^method call / && /member=ApplyMonitorsConfig/ { asked[field("sender") " " field("serial")] = 1 }
       /^method return / && (field("destination") " " field("reply_serial")) in asked { n++ }
       END { print n + 0 }' "$work/bus-monitor.txt"
}

run_program 2 DBUS_SESSION_BUS_ADDRESS="$TAVELIN_BUS"
expect_notification 800x600 "User resolution applied."
e2e_no_box
[ "$(monitor_mode)" = "800x600@60.000" ] || fail "the monitor is $(monitor_mode) after the change"
[ "$(applied_configs)" = 1 ] || fail "mutter applied $(applied_configs) configurations, not one"
end_program

run_program 1 DBUS_SESSION_BUS_ADDRESS="$TAVELIN_BUS"
e2e_expect_box "Error 4: Your machine does not support this mode."
expect_notification 800x600 "Mode not supported."
[ "$(monitor_mode)" = "800x600@60.000" ] || fail "the monitor is $(monitor_mode) after a mode it does not offer"
[ "$(grep -c "member=ApplyMonitorsConfig" "$work/bus-monitor.txt")" = 1 ] ||
  fail "mutter was asked for a mode the monitor does not offer"
end_program
echo "PASS: on mutter the primary monitor's own mode is applied through its display configuration, a mode it does not offer is the bad-mode box with the monitor as it was"
