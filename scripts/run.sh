#!/usr/bin/env bash
# Builds and runs the Linux program. On your display when there is one; otherwise inside a
# private Xvnc with a sandboxed configuration for a few seconds, reporting what it saw and
# leaving a screenshot.
#   run.sh
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$scripts/.." && pwd)
build=$source_dir/build/default
program=$build/app/tavelin
seconds=${TAVELIN_RUN_SECONDS:-5}

if [ "${1:-}" != "--inside-xvnc" ]; then
  "$scripts/setup.sh"
  cmake --preset default -S "$source_dir" >/dev/null
  cmake --build "$build" -j2
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$program"
  fi
  echo "No X display: running Tavelin on a private Xvnc for $seconds s."
  exec "$scripts/with-xvnc.sh" -g 1024x768 bash "$0" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session run

screenshot=$source_dir/build/tavelin-run.png
tavelin_sandbox "$work"
tavelin_start "$work" "$program"
echo "started $program (pid $TAVELIN_PID), configuration sandboxed in $work"
if window=$(tavelin_wait_window '^Tavelin$' 10); then
  tavelin_geometry "$window"
  echo "window \"Tavelin\" (id $window): client ${WIN_W}x${WIN_H} at ($WIN_X,$WIN_Y) on a $(xdpyinfo | awk '/dimensions:/ {print $2}') screen"
else
  echo "no window titled \"Tavelin\" appeared within 10 s"
fi
sleep "$seconds"
import -window root "$screenshot"
echo "screenshot: $screenshot"
if tavelin_running; then
  echo "after $seconds s the program is still running; stopping it"
else
  wait "$TAVELIN_PID" && status=0 || status=$?
  TAVELIN_PID=
  echo "the program ended by itself with status $status"
fi
if [ -s "$work/program.log" ]; then
  echo "--- program output:"
  cat "$work/program.log"
fi
