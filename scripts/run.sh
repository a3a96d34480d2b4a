#!/usr/bin/env bash
# Builds and runs the Linux program. On your display when there is one. Otherwise it shows the
# whole program inside a private 800x600 Xvnc with a sandboxed install key and a user who asked
# for 1024x768 at 32 bits: the start, the notification and its speech (saved as a WAV file), the
# new screen size, the settings editor opened from the tray menu, and "Exit". It prints each step
# and every file it saves (in build/run).
#   run.sh
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$scripts/.." && pwd)
build=$source_dir/build/default
program=$build/app/tavelin

if [ "${1:-}" != "--inside-xvnc" ]; then
  "$scripts/setup.sh"
  cmake --preset default -S "$source_dir" >/dev/null
  cmake --build "$build" -j2
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$program"
  fi
  echo "No X display: showing Tavelin on a private 800x600 Xvnc."
  exec "$scripts/with-xvnc.sh" -g 800x600 bash "$0" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
tavelin_session run
pids=()
end_run() {
  exec 3>&- 2>/dev/null || true
  tavelin_end_session
  for pid in "${pids[@]}"; do tavelin_stop "$pid"; done
}
trap end_run EXIT
out=$source_dir/build/run
rm -rf "$out" && mkdir -p "$out"
step() { echo "== $*"; }
saved() { echo "   saved $1"; }
give_up() {
  echo "run.sh: $*" >&2
  [ -s "$work/program.log" ] && { echo "--- program output:" >&2; cat "$work/program.log" >&2; }
  exit 1
}

step "Sandbox: $work (HOME, XDG folders; nothing of this machine's own configuration is used)"
user=$(id -un)
tavelin_sandbox "$work"
tavelin_install_key "$work" "$work/data/"
tavelin_user_file "$work/data/$user" 3 32 0 0
echo "   install key $work/etc/xdg/tavelin/machine.reg names the settings folder $work/data/"
echo "   settings file $work/data/$user asks for mode 3 (1024x768) at 32 bits:"
sed 's/^/     /' "$work/data/$user"
environment=("$(tavelin_alsa_capture "$work")")
echo "   sound: ALSA's default device writes every playback into $work/sound"
if tavelin_session_bus "$work/bus" && [ -x "$build/tests/bus_hosts" ]; then
  tavelin_bus_hosts "$build/tests/bus_hosts" --no-watcher
  environment+=(DBUS_SESSION_BUS_ADDRESS="$TAVELIN_BUS")
  echo "   a private session bus with a notification server (for the tray's balloon)"
fi
tavelin_trayer || give_up "the tray host (trayer) did not start"
echo "   tray host: trayer at the top right of the screen"

step "Screen before the start: $(tavelin_screen_size)"
xsetroot -solid '#d4dce6'  # a light desktop, on which the logo's dark text shows
tavelin_start "$work" "$program" "${environment[@]}"
step "Started $program (pid $TAVELIN_PID)"
logo=$(tavelin_wait_sized_window 258x81 10) || give_up "no logo window within 10 s"
agent=$(tavelin_wait_window '^Tavix Agent 2.0$' 10) || give_up "no notification window within 10 s"
sleep 0.3  # its first paint
import -window root "$out/1-start.png"
tavelin_geometry "$logo"
convert "$out/1-start.png" -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage "$out/2-logo.png"
echo "   logo: ${WIN_W}x${WIN_H} at ($WIN_X,$WIN_Y), centred on the 800x600 screen it was shown on, with the version at its top right"
tavelin_geometry "$agent"
convert "$out/1-start.png" -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage "$out/3-notification.png"
echo "   notification window \"Tavix Agent 2.0\": ${WIN_W}x${WIN_H} at ($WIN_X,$WIN_Y)," \
  "text \"$(tavelin_read_text "$out/1-start.png" 213 16 $((WIN_X + 8)) $((WIN_Y + 32)) light)\""
saved "$out/1-start.png"
saved "$out/2-logo.png"
saved "$out/3-notification.png"

step "Screen after the start: $(tavelin_screen_size)"

step "The notification speaks, then closes 3 s after its speech"
tavelin_wait_unmapped "$agent" 15 || give_up "the notification window did not close within 15 s"
wav=$(tavelin_longest_capture "$work")
[ -n "$wav" ] || give_up "nothing was played"
cp "$wav" "$out/4-notification.wav"
echo "   $(sox --i "$out/4-notification.wav" | awk -F': ' '/Sample Rate|Channels|Precision|Duration/ {printf "%s %s; ", $1, $2}' | tr -s ' ')"
echo "   peak amplitude $(sox "$out/4-notification.wav" -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}')"
saved "$out/4-notification.wav"

step "3.5 s after the change the logo goes; the tray icon stays"
tavelin_wait_unmapped "$logo" 10 || give_up "the logo is still shown"
icon=$(tavelin_wait_tray_icon 5) || give_up "no tray icon in trayer"
tavelin_geometry "$icon"
echo "   tray icon ${WIN_W}x${WIN_H} at ($WIN_X,$WIN_Y)"

step "Tray menu: \"Configure program\""
xdotool mousemove --window "$icon" 4 4 click 3
sleep 0.4
import -window root "$out/5-tray-menu.png"
saved "$out/5-tray-menu.png"
xdotool key Down Return
editor=$(tavelin_wait_sized_window 462x325 10) || editor=
[ -n "$editor" ] || give_up "no settings editor appeared"
sleep 0.5  # its start-up fills the fields
import -window root "$out/6-screen-with-editor.png"
tavelin_geometry "$editor"
convert "$out/6-screen-with-editor.png" -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage "$out/7-editor.png"
field() { tavelin_read_text "$out/6-screen-with-editor.png" "$1" 13 $((WIN_X + $2)) $((WIN_Y + $3)); }
echo "   settings editor: ${WIN_W}x${WIN_H} at ($WIN_X,$WIN_Y); it shows the screen as $(field 56 108 160) x" \
  "$(field 56 108 180) and the stored display mode \"$(field 90 240 188)\""
saved "$out/6-screen-with-editor.png"
saved "$out/7-editor.png"

step "Tray menu: \"Exit\""
xdotool mousemove --window "$icon" 4 4 click 3
sleep 0.4
xdotool key Down Down Down Return
for _ in $(seq 1 100); do tavelin_running || break; sleep 0.05; done
tavelin_running && give_up "the program did not end after \"Exit\""
status=0
wait "$TAVELIN_PID" || status=$?
TAVELIN_PID=
echo "   the program ended with status $status"
[ -s "$work/program.log" ] && { echo "--- program output:"; cat "$work/program.log"; }
step "Files: $out"
ls -1 "$out" | sed "s|^|   $out/|"
