#!/usr/bin/env bash
# Figures for the Linux program on a private 1024x768 Xvnc: time from start to its window being
# mapped, resident memory, and context switches of the idle program over 10 seconds; then the
# idle switches again with a tray icon shown: the program and the tray probe (tests/tray_probe)
# beside an XEmbed tray host (trayer), and on a private session bus with a StatusNotifierWatcher
# and a notification server (tests/bus_hosts).
#   bench-linux.sh [build dir]   (default: build/default; build it first)
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$scripts/../build/default}" && pwd)
program=$build/app/tavelin
[ -x "$program" ] || { echo "bench-linux: $program is not built" >&2; exit 1; }

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 1024x768 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session bench

runs=5
idle_seconds=10

# Voluntary and involuntary switches: of the main thread, and of all threads together.
switches() {
  local pid=$1 v n tv=0 tn=0 task
  v=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status")
  n=$(awk '/^nonvoluntary_ctxt_switches/ {print $2}' "/proc/$pid/status")
  for task in /proc/"$pid"/task/*; do
    tv=$((tv + $(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status")))
    tn=$((tn + $(awk '/^nonvoluntary_ctxt_switches/ {print $2}' "$task/status")))
  done
  echo "$v $n $tv $tn"
}

echo "Tavelin (linux) on Xvnc $DISPLAY, $(nproc) CPUs, program $program"
times=()
for run in $(seq 1 "$runs"); do
  rm -rf "$work/run" && tavelin_sandbox "$work/run"
  start=$(date +%s%N)
  tavelin_start "$work/run" "$program"
  tavelin_wait_window '^Tavelin$' 10 >/dev/null || { echo "run $run: no window"; cat "$work/run/program.log"; exit 1; }
  mapped=$(date +%s%N)
  times+=($(((mapped - start) / 1000000)))
  if [ "$run" -lt "$runs" ]; then
    tavelin_stop "$TAVELIN_PID"
    TAVELIN_PID=
  fi
done
echo "start to window mapped: ${times[*]} ms over $runs runs (median $(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p") ms; polled every 10 ms)"

sleep 1  # the start-up's own work settles
echo "resident memory: $(awk '/^VmRSS/ {print $2, $3}' "/proc/$TAVELIN_PID/status") (VmHWM $(awk '/^VmHWM/ {print $2, $3}' "/proc/$TAVELIN_PID/status")), threads: $(ls /proc/$TAVELIN_PID/task | wc -l)"
# Context switches of process $1 while it idles for $idle_seconds; $2 names it in the figure.
idle_figure() {
  local pid=$1 label=$2 v0 n0 tv0 tn0 v1 n1 tv1 tn1
  read -r v0 n0 tv0 tn0 < <(switches "$pid")
  sleep "$idle_seconds"
  read -r v1 n1 tv1 tn1 < <(switches "$pid")
  echo "$label: idle ${idle_seconds} s: main thread $((v1 - v0)) voluntary / $((n1 - n0)) involuntary context switches; all threads $((tv1 - tv0)) / $((tn1 - tn0))"
  kill -0 "$pid" 2>/dev/null || { echo "$label ended during the measurement"; exit 1; }
}

idle_figure "$TAVELIN_PID" "tavelin"
tavelin_stop "$TAVELIN_PID"
TAVELIN_PID=

probe=$build/tests/tray_probe
hosts=$build/tests/bus_hosts
if [ ! -x "$probe" ] || [ ! -x "$hosts" ] || ! command -v trayer >/dev/null || ! command -v dbus-daemon >/dev/null; then
  echo "tray figures skipped: tray_probe, bus_hosts, trayer or dbus-daemon missing"
  exit 0
fi
extra=()
trap 'for p in "${extra[@]}"; do tavelin_stop "$p"; done; tavelin_end_session' EXIT

# Starts program $1 in a fresh sandbox with the extra environment that follows; sets TAVELIN_PID.
start_in_sandbox() {
  local program=$1
  shift
  rm -rf "$work/run" && tavelin_sandbox "$work/run"
  env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$work/run/home" XDG_CONFIG_HOME="$work/run/home/.config" \
    XDG_CONFIG_DIRS="$work/run/etc/xdg" XDG_RUNTIME_DIR="$work/run/run" "$@" "$program" >"$work/program.log" 2>&1 &
  TAVELIN_PID=$!
  for _ in $(seq 1 100); do
    grep -q '^show$' "$work/program.log" 2>/dev/null && break
    [ "$program" != "$probe" ] && break
    sleep 0.05
  done
  sleep 1
}

trayer --edge top --align right --widthtype request --height 32 >/dev/null 2>&1 &
extra+=("$!")
sleep 0.5
start_in_sandbox "$probe"
grep -q '^show$' "$work/program.log" || { echo "the probe's icon was not shown"; cat "$work/program.log"; exit 1; }
idle_figure "$TAVELIN_PID" "tray probe, XEmbed icon in trayer, no session bus"
tavelin_stop "$TAVELIN_PID"

mkdir -p "$work/bus"
cat >"$work/bus.conf" <<CONF
<busconfig><type>session</type><listen>unix:dir=$work/bus</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=1 >"$work/bus.address" 2>/dev/null &
extra+=("$!")
for _ in $(seq 1 100); do [ -s "$work/bus.address" ] && break; sleep 0.05; done
bus=$(head -n 1 "$work/bus.address")
mkfifo "$work/hosts.in"
DBUS_SESSION_BUS_ADDRESS=$bus "$hosts" <"$work/hosts.in" >"$work/hosts.log" 2>&1 &
extra+=("$!")
exec 3>"$work/hosts.in"
start_in_sandbox "$probe" DBUS_SESSION_BUS_ADDRESS="$bus"
grep -q '^item ' "$work/hosts.log" || { echo "the probe did not register a StatusNotifierItem"; exit 1; }
idle_figure "$TAVELIN_PID" "tray probe, StatusNotifierItem on a private session bus (trayer running too)"
tavelin_stop "$TAVELIN_PID"

start_in_sandbox "$program" DBUS_SESSION_BUS_ADDRESS="$bus"
idle_figure "$TAVELIN_PID" "tavelin with trayer and the session bus"
