#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvnc server (loopback only, no VNC port, on a
# free display number), then stops that server by its PID. The command finds the server's PID in
# TAVELIN_XVNC_PID. -x turns an X extension off (e.g. -x RANDR); it may be given more than once.
#   with-xvnc.sh [-g WxH] [-d depth] [-x extension] command args...
set -euo pipefail
geometry=1024x768
depth=24
extensions=()
while true; do
  case "${1:-}" in
    -g) geometry=$2; shift 2 ;;
    -d) depth=$2; shift 2 ;;
    -x) extensions+=(-extension "$2"); shift 2 ;;
    *) break ;;
  esac
done

xvnc_pid=
display=
cleanup() {
  [ -n "$xvnc_pid" ] || return 0
  kill "$xvnc_pid" 2>/dev/null || true
  wait "$xvnc_pid" 2>/dev/null || true
  # A server killed outright (a test may do that) leaves its lock and socket behind.
  if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$display-lock")" = "$xvnc_pid" ]; then
    rm -f "/tmp/.X$display-lock" "/tmp/.X11-unix/X$display"
  fi
}
trap cleanup EXIT INT TERM

# Starts a server on display $1; fails when it ends before it takes connections. A number that
# looks free may still be taken: by a server starting at the same moment, or by one in another
# mount namespace whose abstract socket is not visible as a file here.
start_on() {
  local n=$1 ready= ready_fd
  # The server writes its display number into the pipe once it takes connections; the pipe ends
  # without it when the server does.
  exec {ready_fd}< <(exec Xvnc ":$n" -displayfd 3 -geometry "$geometry" -depth "$depth" -SecurityTypes None \
    -localhost -rfbport -1 -nolisten tcp "${extensions[@]}" 3>&1 >/dev/null 2>"${TMPDIR:-/tmp}/xvnc-$n.log")
  xvnc_pid=$!
  display=$n
  read -r -t 30 -u "$ready_fd" ready || true
  exec {ready_fd}<&-
  [ "$ready" = "$n" ] && return 0
  kill "$xvnc_pid" 2>/dev/null || true
  wait "$xvnc_pid" 2>/dev/null || true
  xvnc_pid=
  return 1
}

started=
for n in $(seq 40 140); do
  [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ] || continue
  if start_on "$n"; then started=1; break; fi
done
[ -n "$started" ] || { echo "with-xvnc: no display number could be used" >&2; cat "${TMPDIR:-/tmp}/xvnc-$display.log" >&2; exit 2; }
export DISPLAY=":$display" TAVELIN_XVNC_PID=$xvnc_pid
"$@"
