#!/usr/bin/env bash
# Figures for the Linux program on a private 1024x768 Xvnc: time from start to its window being
# mapped, resident memory, and context switches of the idle program over 10 seconds.
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
read -r v0 n0 tv0 tn0 < <(switches "$TAVELIN_PID")
sleep "$idle_seconds"
read -r v1 n1 tv1 tn1 < <(switches "$TAVELIN_PID")
echo "idle ${idle_seconds} s: main thread $((v1 - v0)) voluntary / $((n1 - n0)) involuntary context switches; all threads $((tv1 - tv0)) / $((tn1 - tn0))"
tavelin_running || { echo "the program ended during the measurement"; exit 1; }
