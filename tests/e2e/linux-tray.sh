#!/usr/bin/env bash
# A program's tray icon on real Linux hosts, on a private Xvnc:
#  1. XEmbed: the program starts before any tray; trayer, started next, gets the icon; a right
#     click opens the menu at the pointer and an item's
#     command runs; a double click reaches OnDblClick; killing and restarting trayer brings the
#     icon back (OnHide, OnShow).
#  2. A private session bus with a StatusNotifierWatcher and a notification server (bus_hosts):
#     the icon registers as a StatusNotifierItem; ContextMenu opens the menu, two quick
#     activations are a double click; a balloon reaches the server with its title, text, icon
#     and time-out, and its click and its expiry come back; a restarted watcher gets the icon
#     again; the item leaves the bus with the program.
#   linux-tray.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-tray.sh <build dir>}" && pwd)
probe=$build/tests/tray_probe
hosts=$build/tests/bus_hosts
for tool in "$probe" "$hosts" "$build/tests/xdrive"; do [ -x "$tool" ] || { echo "FAIL: $tool is not built" >&2; exit 1; }; done

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 1024x768 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session tray
pids=()
end_tray_session() {
  [ "$BASHPID" = "$$" ] || return 0  # a subshell ended by a signal (see tavelin_end_session)
  exec 3>&- || true
  for pid in "${pids[@]}"; do tavelin_stop "$pid"; done
  tavelin_check_log "$work/probe.log" || TAVELIN_LOG_FAULT=1
  tavelin_end_session
  tavelin_exit_status
}
trap end_tray_session EXIT
fail() {
  echo "FAIL: $*" >&2
  tavelin_failure_report
  for log in "$work"/*.log; do echo "--- $(basename "$log"):" >&2; cat "$log" >&2; done
  exit 1
}

# Waits up to $3 seconds for the $2-th line matching $1 in the probe's log.
expect_line() {
  local pattern=$1 count=${2:-1} limit=${3:-5}
  xdrive -t "$limit" wait-line "$log_file" "$pattern" "$count" >/dev/null ||
    fail "no line \"$pattern\" (#$count) in $(basename "$log_file") within $limit s"
}

start_trayer() {
  tavelin_trayer || fail "trayer did not map its panel"
  trayer_pid=$TRAYER_PID
}
PROBE_ICON=(--title '^Tavelin probe$')

# Starts the probe in the sandbox with the extra environment given; sets probe_pid.
start_probe() {
  env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
    XDG_CONFIG_DIRS="$work/etc/xdg" XDG_RUNTIME_DIR="$work/run" NO_AT_BRIDGE=1 "$@" "$probe" >"$work/probe.log" 2>&1 &
  probe_pid=$!
  pids+=("$probe_pid")
  log_file=$work/probe.log
  expect_line '^ready$'
}

tavelin_sandbox "$work"

# --- 1. XEmbed -----------------------------------------------------------------------------
start_probe
expect_line '^show$'  # the shell refused, which the component does not notice
# Measured span: an icon window would come within milliseconds of "show".
xdrive -t 0.3 never "${PROBE_ICON[@]}" || fail "an icon window without a tray"
start_trayer
expect_line '^hide$'  # the new tray announced itself: the icon is added again
expect_line '^show$' 3  # the first add shows twice: at its assignment and when loaded
icon=$(xdrive wait-map "${PROBE_ICON[@]}") || fail "no icon window titled \"Tavelin probe\" in the tray"
tavelin_geometry "$icon"
[ "$WIN_Y" -lt 32 ] || fail "the icon is not in trayer's panel at the top (y=$WIN_Y)"
echo "XEmbed icon $icon at ($WIN_X,$WIN_Y) ${WIN_W}x${WIN_H}"

# The menu opens at the pointer (moved left or up where the screen ends): xdrive finds it there.
xdrive menu --icon "$icon" Down Return --until-line "$log_file" '^menu hello$' || fail "no menu at the pointer, or its item did nothing"
expect_line '^up 1 '
expect_line '^popupmenu$'

xdrive click "$icon" 4 4 --double --until-line "$log_file" '^dblclick$' || fail "no double click"
[ "$(grep -c '^click$' "$log_file")" = 1 ] || fail "a double click gave other than one click"

tavelin_stop "$trayer_pid"
start_trayer
expect_line '^hide$' 2
expect_line '^show$' 4
xdrive wait-map "${PROBE_ICON[@]}" >/dev/null || fail "the icon did not come back"
tavelin_stop "$probe_pid"
tavelin_stop "$trayer_pid"
echo "PASS: XEmbed icon once a tray appears, menu at the pointer, double click, trayer restart"

# --- 2. StatusNotifierItem and balloons on a private session bus -----------------------------
cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work/run</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=1 >"$work/bus.address" 2>"$work/bus.log" &
pids+=("$!")
bus=$(xdrive wait-line "$work/bus.address" .) || fail "the private session bus did not start"

start_hosts() {
  mkfifo "$work/hosts.in.$1"
  DBUS_SESSION_BUS_ADDRESS=$bus "$hosts" <"$work/hosts.in.$1" >"$work/hosts.log" 2>&1 &
  hosts_pid=$!
  pids+=("$hosts_pid")
  exec 3>"$work/hosts.in.$1"
}
hosts_say() { echo "$*" >&3; }

start_hosts 1
log_file=$work/hosts.log
expect_line '^ready$'
start_probe DBUS_SESSION_BUS_ADDRESS="$bus"
expect_line '^show$'
log_file=$work/hosts.log
expect_line '^item :'
xdrive find "${PROBE_ICON[@]}" >/dev/null && fail "an XEmbed icon was made beside the item"

xdrive move 500 400
log_file=$work/probe.log
xdrive menu --open-with "echo context 500 400 >&3" Escape --until-line "$log_file" '^popupmenu$' ||
  fail "no menu at the pointer, or it did not close"
expect_line '^up 1 '
hosts_say activate 500 400
hosts_say activate 500 400
expect_line '^dblclick$'

# The balloon, from the menu; the server's click comes back as the balloon's click.
xdrive menu --open-with "echo context 500 400 >&3" Down Down Return --until-line "$work/hosts.log" '^notify ' ||
  fail "no balloon from the menu"
expect_line '^up 1 ' 2
log_file=$work/hosts.log
line=$(grep -m1 '^notify ' "$work/hosts.log")
IFS='|' read -r id app icon_name title body timeout actions <<<"${line#notify }"
[ "$title" = "Quick Help" ] || fail "balloon title \"$title\""
[ "$body" = "Tavelin keeps your screen resolution." ] || fail "balloon text \"$body\""
[ "$icon_name" = dialog-information ] || fail "balloon icon \"$icon_name\""
[ "$timeout" = 3000 ] || fail "balloon time-out $timeout"
[[ "$actions" == default,* ]] || fail "balloon without a default action ($actions)"
log_file=$work/probe.log
expect_line '^balloon show$'
hosts_say click "$id"
expect_line '^balloon click$'
# Measured span: a time-out would follow the click within milliseconds.
xdrive -q -t 0.2 wait-line "$log_file" '^balloon timeout$' >/dev/null && fail "a clicked balloon also timed out"

xdrive menu --open-with "echo context 500 400 >&3" Down Down Return --until-line "$log_file" '^balloon show$' ||
  fail "no second balloon from the menu"
expect_line '^up 1 ' 3
expect_line '^balloon show$' 2
id2=$(grep '^notify ' "$work/hosts.log" | tail -n 1 | cut -d' ' -f2 | cut -d'|' -f1)
hosts_say expire "$id2"
expect_line '^balloon timeout$'

# The watcher goes and comes back: the icon registers again.
hosts_say quit
exec 3>&-
wait "$hosts_pid" 2>/dev/null || true
start_hosts 2
log_file=$work/hosts.log
expect_line '^item :'
log_file=$work/probe.log
expect_line '^hide$'
expect_line '^show$' 3
tavelin_stop "$probe_pid"
log_file=$work/hosts.log
expect_line '^gone :'
echo "PASS: StatusNotifierItem, menu, double click, balloon click and time-out, watcher restart"
