#!/usr/bin/env bash
# The tray icon and its balloon against session-bus hosts that come and go (tray_probe and
# bus_hosts on a private bus, on a private Xvnc):
#  1. a host registering with the watcher that holds the icon is no new notification area: the
#     icon is not added again; the balloon's text reaches a server without markup as it is;
#  2. an icon that found a watcher without a host (and no XEmbed tray) is added once a host
#     registers;
#  3. a server that reads markup in bodies gets the balloon's text escaped;
#  4. an icon embedded in an XEmbed tray (trayer) is made without a GLib or GTK critical or
#     warning.
#   linux-tray-hosts.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-tray-hosts.sh <build dir>}" && pwd)
probe=$build/tests/tray_probe
hosts=$build/tests/bus_hosts
for tool in "$probe" "$hosts" "$build/tests/xdrive"; do [ -x "$tool" ] || { echo "FAIL: $tool is not built" >&2; exit 1; }; done

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 800x600 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session tray-hosts
pids=()
end_hosts_session() {
  [ "$BASHPID" = "$$" ] || return 0  # a subshell ended by a signal (see tavelin_end_session)
  for pid in "${pids[@]}"; do tavelin_stop "$pid"; done
  tavelin_end_session
}
trap end_hosts_session EXIT
fail() {
  echo "FAIL: $*" >&2
  tavelin_failure_report
  for log in "$work"/*.log; do echo "--- $(basename "$log"):" >&2; cat "$log" >&2; done
  exit 1
}

# Waits up to 10 s for the $3-th line (default the first) matching $2 in log $1.
expect_line() {
  local log=$1 pattern=$2 count=${3:-1}
  xdrive -t 10 wait-line "$log" "$pattern" "$count" >/dev/null || fail "no line \"$pattern\" (#$count) in $(basename "$log")"
}
lines() { grep -cE "$2" "$1" 2>/dev/null || true; }

# Starts the probe (options follow) with its output in $work/probe-$1.log; sets probe_pid.
start_probe() {
  local name=$1
  shift
  env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
    XDG_CONFIG_DIRS="$work/etc/xdg" XDG_RUNTIME_DIR="$work/run" DBUS_SESSION_BUS_ADDRESS="$TAVELIN_BUS" NO_AT_BRIDGE=1 \
    "$probe" "$@" >"$work/probe-$name.log" 2>&1 &
  probe_pid=$!
  pids+=("$probe_pid")
  expect_line "$work/probe-$name.log" '^ready$'
}
stop_hosts() {
  echo quit >&3
  exec 3>&-
  wait "$HOSTS_PID" 2>/dev/null || true
  : >"$work/hosts.log"
}

tavelin_sandbox "$work"
tavelin_session_bus "$work/bus" || fail "the private session bus did not start"
text='Modes <1024x768> & depths'
escaped='Modes &lt;1024x768&gt; &amp; depths'

# --- 1. A host registers again while the watcher holds the icon ------------------------------
tavelin_bus_hosts "$hosts"
expect_line "$work/hosts.log" '^ready$'
start_probe one --info-text "$text" --balloon
expect_line "$work/hosts.log" '^item :'
expect_line "$work/hosts.log" '^notify '
body=$(grep -m1 '^notify ' "$work/hosts.log" | cut -d'|' -f5)
[ "$body" = "$text" ] || fail "a server without markup got the text \"$body\""
shows=$(lines "$work/probe-one.log" '^show$')
echo host >&3
expect_line "$work/hosts.log" '^host registered$'
# Something the probe reports only after it has read the registration: its icon's click.
echo activate 10 10 >&3
expect_line "$work/probe-one.log" '^up 0 '
[ "$(lines "$work/hosts.log" '^item :')" = 1 ] || fail "the icon was added again for a host of the watcher that held it"
[ "$(lines "$work/probe-one.log" '^show$')" = "$shows" ] || fail "the icon was shown again"
tavelin_stop "$probe_pid"
stop_hosts

# --- 2. A watcher without a host, then a host ------------------------------------------------
tavelin_bus_hosts "$hosts" --no-host --markup
expect_line "$work/hosts.log" '^ready$'
start_probe two
[ "$(lines "$work/hosts.log" '^item :')" = 0 ] || fail "the icon went to a watcher without a host"
echo host >&3
expect_line "$work/hosts.log" '^item :'
tavelin_stop "$probe_pid"

# --- 3. A server that reads markup -----------------------------------------------------------
start_probe three --info-text "$text" --balloon
expect_line "$work/hosts.log" '^notify '
body=$(grep -m1 '^notify ' "$work/hosts.log" | cut -d'|' -f5)
[ "$body" = "$escaped" ] || fail "a server that reads markup got the text \"$body\", not \"$escaped\""
tavelin_stop "$probe_pid"
stop_hosts

# --- 4. An XEmbed tray -----------------------------------------------------------------------
tavelin_trayer || fail "trayer did not map its panel"
start_probe four
xdrive wait-map --title '^Tavelin probe$' >/dev/null || fail "the icon did not show in trayer"
tavelin_stop "$probe_pid"
if grep -E -- '-(CRITICAL|WARNING) \*\*' "$work"/probe-*.log >&2; then fail "GLib or GTK complained"; fi
echo "PASS: no new notification area for a host of the watcher that holds the icon, an icon without one added when a host comes, balloon text escaped only for a server that reads markup, an XEmbed icon without complaints"
