#!/usr/bin/env bash
# The Linux program's figures on a private 800x600 Xvnc, with a configured user who asks for
# 1024x768 at 32 bits, each against a bare GTK 3 window (bench/bare_gtk_window.c, also once with
# one line of text): the start-up trace (milestones from each program's own clock, with
# $TAVELIN_STARTUP_TRACE) and the X server's events (bench/x_event_timer.c: windows mapped, the
# screen resized), medians of 5 turns; the program's start to the display mode applied against
# the bare window's start to mapped, and both programs' start to their first window mapped;
# resident memory once the logo and the notification are gone, by mapping group; context
# switches while both sit idle for 10 s; then the sizes of the stripped programs; then the idle
# switches again with a tray icon shown: the tray probe (tests/tray_probe) beside an XEmbed tray
# host (trayer), the probe on a private session bus with a StatusNotifierWatcher and a
# notification server (tests/bus_hosts), and the resident program (its logo and notification
# gone) with its icon in trayer and with the bus.
# Prints figures and ratios; asserts nothing.
#   bench-linux.sh [build dir] [Windows build dir]
#   (defaults: build/default and build/mingw; build them first)
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$scripts/../build/default}" && pwd)
mingw=${2:-$scripts/../build/mingw}
program=$build/app/tavelin
bare=$build/bench/bare_gtk_window
bare_text=$build/bench/bare_gtk_text_window
timer=$build/bench/x_event_timer
for p in "$program" "$bare" "$bare_text" "$timer"; do
  [ -x "$p" ] || { echo "bench-linux: $p is not built" >&2; exit 1; }
done

if [ "${3:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 800x600 bash "$0" "$build" "$mingw" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session bench
bare_pid= text_pid=
extra=()
trap 'tavelin_end_session; for p in $bare_pid $text_pid "${extra[@]}"; do tavelin_stop "$p"; done' EXIT

runs=5
idle_seconds=10
logo='Tavelin'
notice='Tavix Agent 2.0'
bare_title='Bare GTK window'
text_title='Bare GTK window with text'

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

# The program's sandbox: an install key, a user asking for 1024x768 at 32 bits, and a sound
# device that takes the speech at once (none would put an error box up).
configure() { tavelin_configure "$1" 3 32; }

# Milliseconds (one decimal) from the start $1 to the moment $2, both in microseconds.
since() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) / 1000 }'; }

# Starts `label`'s program $2 in the fresh sandbox $1 with the start-up trace on and an X event
# timer listening for the conditions in the array `until` (bench/x_event_timer.c); the
# VAR=value settings that follow go to the program. Returns once the timer has seen them all,
# the program still running (TAVELIN_PID). Each milestone of the program's trace and each X
# event, in milliseconds from the start, is added to the array `times` under "label|milestone"
# (X events as "X: map TITLE", "X: screen WxH" ...).
timed_start() {
  local sandbox=$1 program=$2 label=$3 line kind at rest start name timer_pid events
  shift 3
  rm -rf "$sandbox" && tavelin_sandbox "$sandbox"
  [ "$label" != tavelin ] || configure "$sandbox"
  coproc TIMER { exec "$timer" 20 "${until[@]}"; }
  # Our own copy: bash drops the coprocess's variables as soon as it ends.
  timer_pid=$TIMER_PID
  exec {events}<&"${TIMER[0]}"
  read -r line <&"$events"
  [ "$line" = ready ] || { echo "x_event_timer did not start" >&2; exit 1; }
  start=${EPOCHREALTIME/[.,]/}
  tavelin_start "$sandbox" "$program" TAVELIN_STARTUP_TRACE="$sandbox/trace" "$@"
  while read -r kind at rest <&"$events"; do
    name="X: $kind $rest"
    [ "${seen[$label|$name]:-}" = "$run" ] && continue  # the first of each kind in a turn
    seen[$label|$name]=$run
    times[$label|$name]+="$(since "$start" "$at") "
  done
  exec {events}<&-
  wait "$timer_pid" || { echo "$program: not all of ${until[*]} seen on the display" >&2; cat "$sandbox/program.log" >&2; exit 1; }
  while IFS=$'\t' read -r name at; do
    times[$label|$name]+="$(since "$start" "$at") "
  done <"$sandbox/trace"
}

# The resident set of process $1 by mapping group, in kB, one "group kB" line each; the groups
# follow the files mapped: the program itself, its C and C++ runtime, the sound libraries (ALSA,
# the resampler, PulseAudio's client and codecs), the speech engine and its data, the toolkit
# (GTK, GLib, Pango, cairo, X11 and the rest of their libraries), other files (fonts, caches,
# locale), the heap (brk) and anonymous memory (malloc arenas, thread stacks, toolkit pools).
memory_groups() {
  local pid=$1
  awk -v exe="$(readlink "/proc/$pid/exe")" '
    function group(path) {
      if (path == exe) return "program"
      if (path ~ /espeak|pcaudio|sonic/) return "speech"
      if (path ~ /libasound|alsa-lib|libsoxr|libgomp|pulse|sndfile|FLAC|vorbis|opus|ogg|mpg123|mp3lame|asyncns/) return "sound"
      if (path ~ /\/(libc|libm|libstdc\+\+|libgcc_s|libpthread|libdl|ld-linux-x86-64)[.-]/) return "C/C++ runtime"
      if (path ~ /\.so/) return "toolkit libraries"
      if (path == "[heap]") return "heap"
      if (path ~ /^\//) return "files (fonts, caches, locale)"
      if (path == "") return "anonymous"
      return "stack, vdso"
    }
    /^[0-9a-f]+-[0-9a-f]+ / { path = (NF >= 6) ? $6 : ""; next }
    $1 == "Rss:" { rss[group(path)] += $2 }
    END { for (g in rss) print g "\t" rss[g] }' "/proc/$pid/smaps"
}

echo "On Xvnc $DISPLAY, $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg); program $program"
declare -A times seen
run=0

# The first GTK program on a display probes OpenGL and leaves the answer on the root window for
# the others (Tavelin skips the probe); one unmeasured start of the bare window pays it.
until=("map:$bare_title")
timed_start "$work/first" "$bare" first
echo "bare GTK window, first on the display: ${times[first|X: map $bare_title]% } ms to mapped, $(field VmRSS "/proc/$TAVELIN_PID/status") kB resident (not counted)"
tavelin_stop "$TAVELIN_PID"

# The programs take turns, so that a slow moment of the machine hits them alike. The last run
# of each stays for the measurements of the idle programs; in it the program is followed until
# its logo and its notification are gone.
for run in $(seq 1 "$runs"); do
  until=("map:$bare_title")
  timed_start "$work/bare" "$bare" bare
  bare_pid=$TAVELIN_PID
  [ "$run" -eq "$runs" ] || { tavelin_stop "$bare_pid"; bare_pid=; }
  until=("map:$text_title")
  timed_start "$work/text" "$bare_text" text
  text_pid=$TAVELIN_PID
  [ "$run" -eq "$runs" ] || { tavelin_stop "$text_pid"; text_pid=; }
  xrandr -s 800x600 >/dev/null 2>&1 || true
  until=("map:$logo" "screen:1024x768" "map:$notice")
  [ "$run" -lt "$runs" ] || until+=("unmap:$logo" "unmap:$notice")
  timed_start "$work/tavelin" "$program" tavelin ALSA_CONFIG_PATH="$work/tavelin/null-sound.conf"
  [ "$run" -eq "$runs" ] || tavelin_stop "$TAVELIN_PID"
done
tavelin_pid=$TAVELIN_PID

# The median of the values under times[$1], or "-" when there are none.
med() {
  local values=${times[$1]:-}
  [ -n "$values" ] || { echo -; return; }
  # shellcheck disable=SC2086
  printf '%s\n' $values | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

echo
echo "Start-up trace, ms from the start (medians of $runs turns, load average now $(cut -d' ' -f1-3 /proc/loadavg);"
echo "the program's own clock, and the X server's events):"
printf '  %-34s %10s %12s %16s\n' milestone Tavelin "bare window" "bare with text"
trace_row() {
  local name=$1 t=$2 b=$3 x=$4
  printf '  %-34s %10s %12s %16s\n' "$name" "$(med "tavelin|$t")" "$(med "bare|$b")" "$(med "text|$x")"
}
for m in "dynamic linking done" "toolkit initialised" "main window loaded"; do trace_row "$m" "$m" "$m" "$m"; done
trace_row "logo mapped (bare: window mapped)" "mapped $logo" "mapped $bare_title" "mapped $text_title"
trace_row "first idle moment" "first idle moment" "first idle moment" "first idle moment"
for m in "install key read" "settings read" "mode request sent" "screen size changed"; do trace_row "$m" "$m" - -; done
trace_row "notification mapped" "mapped $notice" - -
trace_row "X: first window mapped" "X: map $logo" "X: map $bare_title" "X: map $text_title"
trace_row "X: screen size changed" "X: screen 1024x768" - -
trace_row "X: notification mapped" "X: map $notice" - -

echo
t=$(med "tavelin|X: screen 1024x768") b=$(med "bare|X: map $bare_title") x=$(med "text|X: map $text_title")
echo "Tavelin start to display mode applied (X): ${times[tavelin|X: screen 1024x768]}ms"
echo "bare GTK window start to mapped (X): ${times[bare|X: map $bare_title]}ms; with text: ${times[text|X: map $text_title]}ms"
echo "  medians $t / $b ms: ratio $(ratio "$t" "$b") (goal <= 1.2); against the window with text $(ratio "$t" "$x")"
t=$(med "tavelin|X: map $logo")
echo "Tavelin start to first window mapped (X): ${times[tavelin|X: map $logo]}ms"
echo "  medians $t / $b ms: ratio $(ratio "$t" "$b") (goal <= 1.1); against the window with text $(ratio "$t" "$x")"

# Resident: the logo and the notification are gone (the last turn waited for both); the program
# lets go of what it needed only for them as the notification goes, so give it a moment.
sleep 1
echo
t=$(field VmRSS "/proc/$tavelin_pid/status") b=$(field VmRSS "/proc/$bare_pid/status") x=$(field VmRSS "/proc/$text_pid/status")
echo "resident memory, idle: Tavelin $t kB ($(ls "/proc/$tavelin_pid/task" | wc -l) threads), bare GTK window $b kB, with text $x kB: ratio $(ratio "$t" "$b") (goal <= 1.3); against the window with text $(ratio "$t" "$x")"
declare -A groups
for who in tavelin bare text; do
  pid_var=${who}_pid
  while IFS=$'\t' read -r g kb; do groups[$who|$g]=$kb; done < <(memory_groups "${!pid_var}")
done
printf '  %-30s %10s %12s %16s\n' "resident kB by mapping" Tavelin "bare window" "bare with text"
for g in program "C/C++ runtime" "toolkit libraries" sound speech "files (fonts, caches, locale)" heap anonymous "stack, vdso"; do
  printf '  %-30s %10s %12s %16s\n' "$g" "${groups[tavelin|$g]:-0}" "${groups[bare|$g]:-0}" "${groups[text|$g]:-0}"
done

# Context switches of process $1 while it idles for $idle_seconds; $2 names it in the figure.
idle_figure() {
  local pid=$1 label=$2 v0 n0 v1 n1
  read -r v0 n0 < <(switches "$pid")
  sleep "$idle_seconds"
  read -r v1 n1 < <(switches "$pid")
  echo "$label: context switches over ${idle_seconds} s idle (all threads): $((v1 - v0)) voluntary / $((n1 - n0)) involuntary"
  kill -0 "$pid" 2>/dev/null || echo "note: $label ended during the measurement"
}
echo
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
