#!/usr/bin/env bash
# The X server under the running program is killed outright (as at log-out, or a crash): the
# program must not sleep on forever but end promptly, saying why on stderr, with a non-zero status.
# It leaves OpenGL alone, whose driver would crash if the server went away while it was probed.
#   linux-display-lost.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-display-lost.sh <build dir>}" && pwd)
program=$build/app/tavelin
for tool in "$program" "$build/tests/xdrive"; do [ -x "$tool" ] || { echo "FAIL: $tool is not built" >&2; exit 1; }; done

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 800x600 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session display-lost
fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/program.log" ] && { echo "--- program output:" >&2; cat "$work/program.log" >&2; }
  exit 1
}
limit_ms=3000

tavelin_sandbox "$work"
tavelin_configure "$work" 2 32  # the screen's own size: nothing to switch
tavelin_start "$work" "$program" ALSA_CONFIG_PATH="$work/null-sound.conf"
window=$(tavelin_wait_window '^Tavelin$' 10) || fail "no mapped window titled \"Tavelin\" within 10 s"
# Once it has drawn its window afresh, the program has passed its start and sleeps in its loop.
xdrive wait-painted "$window" || fail "the window was not drawn"
# GDK's OpenGL probe would load Mesa, which crashes when the server goes away during the probe.
gl=$(grep -o -E '[^/]*(libGLX|libEGL|_dri)[^/ ]*\.so[^/ ]*' "/proc/$TAVELIN_PID/maps" | sort -u | tr '\n' ' ' || true)
[ -z "$gl" ] || fail "the program loaded an OpenGL driver: $gl"

kill -9 "$TAVELIN_XVNC_PID"
killed=$(date +%s%N)
tavelin_wait_exit "$TAVELIN_PID" $((limit_ms / 1000)) 2>/dev/null || fail "still running ${limit_ms} ms after its X server was killed"
ended_ms=$((($(date +%s%N) - killed) / 1000000))
status=0
wait "$TAVELIN_PID" || status=$?
TAVELIN_PID=
echo "the program ended ${ended_ms} ms after the X server was killed, status $status"
[ "$status" -ne 0 ] || fail "status 0 after losing the display"
[ "$status" -lt 128 ] || fail "killed by signal $((status - 128)) instead of ending by itself"
grep -q "lost the connection to the X display \"$DISPLAY\"" "$work/program.log" ||
  fail "no message about the lost display on stderr"
echo "PASS: ended by itself with status $status and the message: $(head -n 1 "$work/program.log")"
