#!/usr/bin/env bash
# The Linux program on an X server without RandR: it starts, shows its logo centred and goes on
# running, with no warnings from GTK or from itself.
#   linux-no-randr.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-no-randr.sh <build dir>}" && pwd)
program=$build/app/tavelin
[ -x "$program" ] || { echo "FAIL: $program is not built" >&2; exit 1; }

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 800x600 -x RANDR bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session no-randr
fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/program.log" ] && { echo "--- program output:" >&2; cat "$work/program.log" >&2; }
  exit 1
}

xdpyinfo -queryExtensions | grep -q RANDR && fail "the X server has RandR"
tavelin_sandbox "$work"
tavelin_start "$work" "$program"
window=$(tavelin_wait_window '^Tavelin$' 10) || fail "no mapped window titled \"Tavelin\" within 10 s"
tavelin_geometry "$window"
[ "$WIN_X" = $(((800 - WIN_W) / 2)) ] && [ "$WIN_Y" = $(((600 - WIN_H) / 2)) ] ||
  fail "window at ($WIN_X,$WIN_Y), not centred on the 800x600 screen"
sleep 1
tavelin_running || fail "the program ended by itself"
[ -s "$work/program.log" ] && fail "the program wrote to its output"
echo "PASS: without RandR the logo is centred on the 800x600 screen and the program runs on quietly"
