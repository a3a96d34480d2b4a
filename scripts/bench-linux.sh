#!/usr/bin/env bash
# The Linux program's figures from one run on a private 800x600 Xvnc, with a configured user who
# asks for 1024x768 at 32 bits, each against a bare GTK 3 window (bench/bare_gtk_window.c): the
# program's start to the display mode applied (the screen's new size seen) against the bare
# window's start to mapped, resident memory, and context switches while both sit idle for 10 s;
# then the sizes of the stripped programs; then the idle switches again with a tray icon shown:
# the tray probe (tests/tray_probe) beside an XEmbed tray host (trayer), the probe on a private
# session bus with a StatusNotifierWatcher and a notification server (tests/bus_hosts), and the
# resident program (its logo and notification gone) with its icon in trayer and with the bus.
# Prints figures and ratios; asserts nothing.
#   bench-linux.sh [build dir] [Windows build dir]
#   (defaults: build/default and build/mingw; build them first)
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$scripts/../build/default}" && pwd)
mingw=${2:-$scripts/../build/mingw}
program=$build/app/tavelin
bare=$build/bench/bare_gtk_window
for p in "$program" "$bare"; do
  [ -x "$p" ] || { echo "bench-linux: $p is not built" >&2; exit 1; }
done

if [ "${3:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 800x600 bash "$0" "$build" "$mingw" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session bench
bare_pid=
extra=()
trap 'tavelin_end_session; [ -z "$bare_pid" ] || tavelin_stop "$bare_pid"; for p in "${extra[@]}"; do tavelin_stop "$p"; done' EXIT

runs=5
idle_seconds=10

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
field() { awk -v k="$1:" '$1 == k {print $2}' "$2"; }

# Voluntary and involuntary switches of all the process's threads together.
switches() {
  local pid=$1 tv=0 tn=0 task
  for task in /proc/"$pid"/task/*; do
    tv=$((tv + $(field voluntary_ctxt_switches "$task/status")))
    tn=$((tn + $(field nonvoluntary_ctxt_switches "$task/status")))
  done
  echo "$tv $tn"
}

# Starts $1 in the fresh sandbox $3 and waits for its window titled $2; sets `elapsed` to the
# milliseconds from start to mapped (polled every 10 ms) and leaves the program running in
# TAVELIN_PID.
time_to_window() {
  local program=$1 title=$2 sandbox=$3 start
  rm -rf "$sandbox" && tavelin_sandbox "$sandbox"
  start=$(date +%s%N)
  tavelin_start "$sandbox" "$program"
  tavelin_wait_window "$title" 10 >/dev/null || { echo "no window \"$title\" from $program" >&2; cat "$sandbox/program.log" >&2; exit 1; }
  elapsed=$((($(date +%s%N) - start) / 1000000))
}

# The program's sandbox: an install key, a user asking for 1024x768 at 32 bits, and a sound
# device that takes the speech at once (none would put an error box up).
configure() { tavelin_configure "$1" 3 32; }

# Starts the program in the fresh sandbox $1 on the 800x600 screen and waits until the screen
# has its new size; sets `elapsed` to the milliseconds from start to there, and `shown` to those
# to the notification window mapped, and leaves the program running in TAVELIN_PID.
time_to_mode() {
  local sandbox=$1 start size
  xrandr -s 800x600 >/dev/null 2>&1 || true
  rm -rf "$sandbox" && tavelin_sandbox "$sandbox" && configure "$sandbox"
  start=$(date +%s%N)
  tavelin_start "$sandbox" "$program" ALSA_CONFIG_PATH="$sandbox/null-sound.conf"
  elapsed=
  for _ in $(seq 1 2000); do
    size=$(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    [ "$size" = 1024x768 ] && { elapsed=$((($(date +%s%N) - start) / 1000000)); break; }
    sleep 0.005
  done
  [ -n "$elapsed" ] || { echo "the screen never became 1024x768" >&2; cat "$sandbox/program.log" >&2; exit 1; }
  tavelin_wait_window '^Tavix Agent 2.0$' 10 >/dev/null || { echo "no notification window" >&2; exit 1; }
  shown=$((($(date +%s%N) - start) / 1000000))
}

echo "On Xvnc $DISPLAY, $(nproc) CPUs; program $program"

# The first GTK program on a display probes OpenGL and leaves the answer on the root window for
# the others (Tavelin skips the probe); one unmeasured start of the bare window pays it.
time_to_window "$bare" '^Bare GTK window$' "$work/bare"
echo "bare GTK window, first on the display: ${elapsed} ms to mapped, $(field VmRSS "/proc/$TAVELIN_PID/status") kB resident (not counted)"
tavelin_stop "$TAVELIN_PID"

# The two programs take turns, so that a slow moment of the machine hits both alike.
# The last run of each stays for the measurements of the idle programs.
tavelin_times=() shown_times=() bare_times=()
for run in $(seq 1 "$runs"); do
  time_to_window "$bare" '^Bare GTK window$' "$work/bare"
  bare_times+=("$elapsed")
  bare_pid=$TAVELIN_PID
  [ "$run" -eq "$runs" ] || { tavelin_stop "$bare_pid"; bare_pid=; }
  time_to_mode "$work/tavelin"
  tavelin_times+=("$elapsed")
  shown_times+=("$shown")
  [ "$run" -eq "$runs" ] || tavelin_stop "$TAVELIN_PID"
done
tavelin_pid=$TAVELIN_PID
t=$(median "${tavelin_times[@]}") b=$(median "${bare_times[@]}")
echo "Tavelin start to display mode applied: ${tavelin_times[*]} ms (to the notification shown: ${shown_times[*]} ms)"
echo "bare GTK window start to mapped: ${bare_times[*]} ms"
echo "  medians $t / $b ms: ratio $(ratio "$t" "$b") (goal <= 1.2)"

# Resident: the logo and the notification gone (3.5 s after the change, and 3 s after the speech).
tavelin_wait_window '^Tavix Agent 2.0$' 1 >/dev/null && sleep 4.5
t=$(field VmRSS "/proc/$tavelin_pid/status") b=$(field VmRSS "/proc/$bare_pid/status")
echo "resident memory: Tavelin $t kB ($(ls "/proc/$tavelin_pid/task" | wc -l) threads), bare GTK window $b kB ($(ls "/proc/$bare_pid/task" | wc -l) threads): ratio $(ratio "$t" "$b") (goal <= 1.2)"

# Context switches of process $1 while it idles for $idle_seconds; $2 names it in the figure.
idle_figure() {
  local pid=$1 label=$2 v0 n0 v1 n1
  read -r v0 n0 < <(switches "$pid")
  sleep "$idle_seconds"
  read -r v1 n1 < <(switches "$pid")
  echo "$label: context switches over ${idle_seconds} s idle (all threads): $((v1 - v0)) voluntary / $((n1 - n0)) involuntary"
  kill -0 "$pid" 2>/dev/null || echo "note: $label ended during the measurement"
}
read -r bv0 bn0 < <(switches "$bare_pid")
idle_figure "$tavelin_pid" "resident Tavelin, no tray host (goal 0 voluntary)"
read -r bv1 bn1 < <(switches "$bare_pid")
echo "bare GTK window over the same time: $((bv1 - bv0)) voluntary / $((bn1 - bn0)) involuntary"
tavelin_stop "$tavelin_pid"
TAVELIN_PID=

# Sizes of the programs as shipped: stripped.
stripped_size() {
  local strip=$1 file=$2 out=$work/stripped
  "$strip" -o "$out" "$file" && stat -c %s "$out"
}
size_line() {
  local name=$1 bytes=$2
  awk -v n="$name" -v b="$bytes" 'BEGIN { printf "%s: %d bytes (%.2f MB; goal <= 1.5 MB)\n", n, b, b / 1048576 }'
}
size_line "stripped Linux program" "$(stripped_size strip "$program")"
exe=$mingw/app/tavelin.exe
if [ -f "$exe" ] && command -v x86_64-w64-mingw32-strip >/dev/null; then
  size_line "stripped tavelin.exe" "$(stripped_size x86_64-w64-mingw32-strip "$exe")"
else
  echo "tavelin.exe: not built ($exe; cmake --preset mingw && cmake --build --preset mingw)"
fi

probe=$build/tests/tray_probe
hosts=$build/tests/bus_hosts
if [ ! -x "$probe" ] || [ ! -x "$hosts" ] || ! command -v trayer >/dev/null || ! command -v dbus-daemon >/dev/null; then
  echo "tray figures skipped: tray_probe, bus_hosts, trayer or dbus-daemon missing"
  exit 0
fi

# Starts program $1 in a fresh sandbox with the extra environment that follows; sets TAVELIN_PID.
start_in_sandbox() {
  local program=$1
  shift
  rm -rf "$work/run" && tavelin_sandbox "$work/run" && configure "$work/run"
  xrandr -s 800x600 >/dev/null 2>&1 || true
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

start_in_sandbox "$program" DBUS_SESSION_BUS_ADDRESS="$bus" ALSA_CONFIG_PATH="$work/run/null-sound.conf"
sleep 6  # resident: logo and notification gone
idle_figure "$TAVELIN_PID" "resident Tavelin, its icon on the private session bus (trayer running too; goal 0 voluntary)"
tavelin_stop "$TAVELIN_PID"

echo quit >&3
sleep 0.5
start_in_sandbox "$program" ALSA_CONFIG_PATH="$work/run/null-sound.conf"
sleep 6
idle_figure "$TAVELIN_PID" "resident Tavelin, its icon in trayer, no session bus (goal 0 voluntary)"
