#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xorg server (the dummy video driver) whose screen
# has two 800x600 outputs side by side: DUMMY1 at (0,0) and the primary, DUMMY0, at (800,0).
# Stops that server by its PID afterwards. Exits 77 when Xorg cannot run here (not root, or no
# dummy driver); the command finds the server's PID in TAVELIN_XORG_PID.
#   with-xorg-two-outputs.sh command args...
set -euo pipefail
command -v Xorg >/dev/null && [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] ||
  { echo "with-xorg-two-outputs: Xorg with the dummy driver is not installed" >&2; exit 77; }
[ "$(id -u)" = 0 ] || { echo "with-xorg-two-outputs: Xorg with a configuration of our own needs root" >&2; exit 77; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/tavelin-xorg.XXXXXX")
cat >"$dir/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "800x600" 40.00 800 840 968 1056 600 601 605 628
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "800x600"
    Virtual 2048 1536
  EndSubSection
EndSection
CONF

xorg_pid=
display=
cleanup() {
  if [ -n "$xorg_pid" ]; then
    kill "$xorg_pid" 2>/dev/null || true
    wait "$xorg_pid" 2>/dev/null || true
  fi
  rm -rf "$dir"
}
trap cleanup EXIT INT TERM

# The server writes its display number into the pipe once it takes connections; the pipe ends
# without it when the server does (the number was taken meanwhile, say).
for n in $(seq 160 240); do
  [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ] || continue
  exec {ready_fd}< <(exec Xorg ":$n" -displayfd 3 -config "$dir/xorg.conf" -logfile "$dir/xorg.log" -noreset \
    -nolisten tcp -novtswitch -sharevts 3>&1 >"$dir/xorg.out" 2>&1)
  xorg_pid=$!
  ready=
  read -r -t 30 -u "$ready_fd" ready || true
  exec {ready_fd}<&-
  [ "$ready" = "$n" ] && { display=$n; break; }
  kill "$xorg_pid" 2>/dev/null || true
  wait "$xorg_pid" 2>/dev/null || true
  xorg_pid=
done
[ -n "$display" ] || { echo "with-xorg-two-outputs: Xorg did not start" >&2; cat "$dir/xorg.out" >&2; exit 2; }
export DISPLAY=":$display" TAVELIN_XORG_PID=$xorg_pid

# The second output: the driver offers it unconnected and without modes.
xrandr --newmode left800x600 40.00 800 840 968 1056 600 601 605 628
xrandr --addmode DUMMY1 left800x600
xrandr --output DUMMY1 --mode left800x600 --pos 0x0 --output DUMMY0 --mode 800x600 --pos 800x0 --primary
"$@"
