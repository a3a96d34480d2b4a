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
for tool in "$probe" "$hosts"; do [ -x "$tool" ] || { echo "FAIL: $tool is not built" >&2; exit 1; }; done

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 1024x768 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session tray
pids=()
end_tray_session() {
  for pid in "${pids[@]}"; do tavelin_stop "$pid"; done
  tavelin_end_session
}
trap end_tray_session EXIT
fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/*.log; do echo "--- $(basename "$log"):" >&2; cat "$log" >&2; done
  exit 1
}

# Waits up to $3 seconds for the $2-th line matching $1 in the probe's log.
expect_line() {
  local pattern=$1 count=${2:-1} limit=${3:-5} deadline
  deadline=$(($(date +%s%N) + limit * 1000000000))
  while [ "$(date +%s%N)" -lt "$deadline" ]; do
    [ "$(grep -cE "$pattern" "$log_file" || true)" -ge "$count" ] && return 0
    sleep 0.05
  done
  fail "no line \"$pattern\" (#$count) in $(basename "$log_file") within $limit s"
}

start_trayer() {
  trayer --edge top --align right --widthtype request --height 32 >>"$work/trayer.log" 2>&1 &
  trayer_pid=$!
  pids+=("$trayer_pid")
  for _ in $(seq 1 100); do
    xdotool search --onlyvisible --class '^trayer$' >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "trayer did not map its panel"
}

# Starts the probe in the sandbox with the extra environment given; sets probe_pid.
start_probe() {
  env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
    XDG_CONFIG_DIRS="$work/etc/xdg" XDG_RUNTIME_DIR="$work/run" "$@" "$probe" >"$work/probe.log" 2>&1 &
  probe_pid=$!
  pids+=("$probe_pid")
  log_file=$work/probe.log
  expect_line '^ready$'
}

tavelin_sandbox "$work"

# --- 1. XEmbed -----------------------------------------------------------------------------
start_probe
expect_line '^show$'  # the shell refused, which the component does not notice
sleep 0.3
xdotool search --onlyvisible --name '^Tavelin probe$' >/dev/null 2>&1 && fail "an icon window without a tray"
start_trayer
expect_line '^hide$'  # the new tray announced itself: the icon is added again
expect_line '^show$' 3  # the first add shows twice: at its assignment and when loaded
icon=
for _ in $(seq 1 100); do
  icon=$(xdotool search --onlyvisible --name '^Tavelin probe$' 2>/dev/null | head -n 1) || true
  [ -n "$icon" ] && break
  sleep 0.05
done
[ -n "$icon" ] || fail "no icon window titled \"Tavelin probe\" in the tray"
tavelin_geometry "$icon"
[ "$WIN_Y" -lt 32 ] || fail "the icon is not in trayer's panel at the top (y=$WIN_Y)"
echo "XEmbed icon $icon at ($WIN_X,$WIN_Y) ${WIN_W}x${WIN_H}"

xdotool mousemove --window "$icon" 4 4 click 3
expect_line '^up 1 '
sleep 0.3
px=$(xdotool getmouselocation --shell | sed -n 's/^X=//p')
py=$(xdotool getmouselocation --shell | sed -n 's/^Y=//p')
menu_found=
for w in $(xdotool search --onlyvisible --classname 'tray_probe' 2>/dev/null); do
  [ "$w" = "$icon" ] && continue
  tavelin_geometry "$w"
  # The menu opens at the pointer (moved left or up where the screen ends).
  if [ "$WIN_W" -gt 40 ] && [ "$WIN_H" -gt 40 ] && [ $((WIN_X + WIN_W)) -ge "$((px - 2))" ] &&
    [ "$WIN_X" -le "$((px + 2))" ] && [ "$WIN_Y" -le "$((py + 2))" ] && [ $((WIN_Y + WIN_H)) -ge "$py" ]; then
    menu_found=$w
  fi
done
[ -n "$menu_found" ] || fail "no menu window at the pointer ($px,$py)"
xdotool key Down Return
expect_line '^menu hello$'
expect_line '^popupmenu$'

xdotool mousemove --window "$icon" 4 4 click --repeat 2 --delay 80 1
expect_line '^dblclick$'
[ "$(grep -c '^click$' "$log_file")" = 1 ] || fail "a double click gave other than one click"

tavelin_stop "$trayer_pid"
start_trayer
expect_line '^hide$' 2
expect_line '^show$' 4
xdotool search --onlyvisible --name '^Tavelin probe$' >/dev/null || fail "the icon did not come back"
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
for _ in $(seq 1 100); do [ -s "$work/bus.address" ] && break; sleep 0.05; done
bus=$(head -n 1 "$work/bus.address")
[ -n "$bus" ] || fail "the private session bus did not start"

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
xdotool search --onlyvisible --name '^Tavelin probe$' >/dev/null 2>&1 && fail "an XEmbed icon was made beside the item"

xdotool mousemove 500 400
hosts_say context 500 400
log_file=$work/probe.log
expect_line '^up 1 '
sleep 0.3
xdotool key Escape
expect_line '^popupmenu$'
hosts_say activate 500 400
hosts_say activate 500 400
expect_line '^dblclick$'

# The balloon, from the menu; the server's click comes back as the balloon's click.
hosts_say context 500 400
expect_line '^up 1 ' 2
sleep 0.3
xdotool key Down Down Return
log_file=$work/hosts.log
expect_line '^notify '
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
sleep 0.2
grep -q '^balloon timeout$' "$log_file" && fail "a clicked balloon also timed out"

hosts_say context 500 400
expect_line '^up 1 ' 3
sleep 0.3
xdotool key Down Down Return
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
