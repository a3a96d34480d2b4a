#!/usr/bin/env bash
# tavelin.exe under Wine as a user meets it, on a private 800x600 X server with an XEmbed tray
# (trayer): an install key and a user who asked for 1024x768 at 32 bits. The start switches the
# screen and shows the notification at the screen's width - 305, height - 144; Wine has no speech
# objects, so the speech error box comes too and is answered; "Configure program" opens the editor,
# whose Apply (track bar moved to 800x600) writes the five keys and switches the screen; "Exit"
# ends the program with status 0.
#   win32-program.sh <build dir>
set -euo pipefail
build=$(cd "${1:?usage: win32-program.sh <build dir>}" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$build/app/tavelin.exe
[ -f "$exe" ] || { echo "FAIL: $exe was not built" >&2; exit 1; }

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$root/scripts/with-xvnc.sh" -g 800x600 bash "$0" "$build" --inside-xvnc
fi

source "$root/scripts/linux-program-lib.sh"
tavelin_session win32-program
work_dir=$build/e2e/win32-program
mkdir -p "$work_dir"
export TAVELIN_WINEPREFIX=$work_dir/prefix TAVELIN_WINE_TIMEOUT=120 USER=anna
wine_pid= trayer_pid=
end() {
  [ -z "$wine_pid" ] || kill "$wine_pid" 2>/dev/null || true
  WINEPREFIX=$TAVELIN_WINEPREFIX timeout 30 /usr/lib/wine/wineserver -k 2>/dev/null || true
  [ -z "$wine_pid" ] || wait "$wine_pid" 2>/dev/null || true
  [ -z "$trayer_pid" ] || tavelin_stop "$trayer_pid"
  tavelin_end_session
}
trap end EXIT
fail() {
  echo "FAIL: $*" >&2
  import -window root "$work_dir/failure.png" 2>/dev/null && echo "screen at the failure: $work_dir/failure.png" >&2
  exit 1
}

# The prefix first (its ten-odd seconds must not count against the waits), then the install key
# and the user's settings file in it.
if [ ! -f "$TAVELIN_WINEPREFIX/system.reg" ]; then
  TAVELIN_WINE_STOP_SERVER=1 "$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true
fi
TAVELIN_WINE_STOP_SERVER=1 "$root/scripts/wine-run.sh" reg add 'HKLM\Software\Brenlow\Tavelin' /v sciezka /t REG_SZ \
  /d 'C:\tavelin\' /f >/dev/null 2>&1 || fail "could not write the install key"
settings=$TAVELIN_WINEPREFIX/drive_c/tavelin/anna
mkdir -p "$(dirname "$settings")"
printf '[Main]\r\nresolution=3\r\nautorun=0\r\nautoclose=0\r\nglebia=32\r\nskonfigurowany=1\r\n' >"$settings"

pids=()
work=$work_dir/run && rm -rf "$work" && mkdir -p "$work"
tavelin_trayer || fail "trayer did not start"
trayer_pid=$TRAYER_PID

"$root/scripts/wine-run.sh" "$exe" >"$work_dir/program.log" 2>&1 &
wine_pid=$!

# Windows titled $1 (a regular expression) that are mapped, one id a line, bottom to top.
windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }

# Answers every message box (a "Tavelin" window smaller than the editor and not the logo) that
# shows within $1 seconds; prints their number.
answer_boxes() {
  local limit=$1 n=0 w deadline
  deadline=$(($(date +%s%N) + limit * 1000000000))
  while [ "$(date +%s%N)" -lt "$deadline" ]; do
    for w in $(windows '^Tavelin$' | tac); do
      eval "$(xdotool getwindowgeometry --shell "$w")"
      if [ "${WIDTH}x${HEIGHT}" != 258x81 ] && [ "$HEIGHT" -lt 300 ] && [ "$WIDTH" -gt 100 ]; then
        # OK is centred at the box's foot.
        xdotool mousemove --window "$w" $((WIDTH / 2)) $((HEIGHT - 22)) click 1 2>/dev/null || true
        for _ in $(seq 1 20); do
          xwininfo -id "$w" 2>/dev/null | grep -q IsViewable || { n=$((n + 1)); break; }
          sleep 0.1
        done
        break
      fi
    done
    sleep 0.2
  done
  echo "$n"
}

wait_window() {
  local pattern=$1 limit=$2 w
  for _ in $(seq 1 $((limit * 5))); do
    w=$(windows "$pattern" | tail -n 1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    kill -0 "$wine_pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

# The notification window at the screen's width - 305, height - 144, 286 x 58.
expect_notification() {
  local agent sw sh
  agent=$(wait_window '^Tavix Agent 2.0$' 20) || fail "no notification window"  # the newest
  IFS=x read -r sw sh <<<"$(tavelin_screen_size)"
  eval "$(xdotool getwindowgeometry --shell "$agent")"
  [ "$X,$Y" = "$((sw - 305)),$((sh - 144))" ] || fail "the notification window is at ($X,$Y) on a ${sw}x${sh} screen"
  [ "${WIDTH}x${HEIGHT}" = 286x58 ] || fail "the notification window is ${WIDTH}x${HEIGHT}"
}

logo=$(wait_window '^Tavelin$' 30) || fail "tavelin.exe showed no window"
expect_notification
[ "$(tavelin_screen_size)" = 1024x768 ] || fail "the screen is $(tavelin_screen_size), not 1024x768"
echo "configured start: 1024x768 and the notification at the screen's width - 305, height - 144"
boxes=$(answer_boxes 4)
[ "$boxes" -ge 1 ] || fail "no speech error box (Wine has no speech objects)"
echo "speech error boxes answered: $boxes"

# The tray icon: Wine docks it in trayer's panel at the top right.
icon=
for _ in $(seq 1 50); do
  for w in $(xdotool search --onlyvisible --class 'tavelin.exe|explorer.exe' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "$Y" -lt 32 ] && [ "$WIDTH" -le 32 ] && icon=$w
  done
  [ -n "$icon" ] && break
  sleep 0.2
done
[ -n "$icon" ] || fail "no tray icon in trayer's panel"

# Opens the tray menu and clicks its item $1 (1 "Configure program", 2 "What is it for?", 3 "Exit",
# 4 "About"): the menu window opens at the pointer, its items 26, 26, 26 and 17 pixels high
# with the separators.
menu() {
  local w m=
  xdotool mousemove --window "$icon" 4 4 click 3
  for _ in $(seq 1 25); do
    for w in $(xdotool search --onlyvisible --class 'tavelin.exe' 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$w")"
      [ "$WIDTH" -ge 100 ] && [ "$WIDTH" -le 300 ] && [ "$HEIGHT" -ge 60 ] && [ "$HEIGHT" -le 140 ] && [ "$Y" -lt 150 ] && m=$w
    done
    [ -n "$m" ] && break
    sleep 0.2
  done
  [ -n "$m" ] || fail "the tray menu did not open"
  local offsets=(0 11 37 63 80)
  xdotool mousemove --window "$m" 30 "${offsets[$1]}" click 1
}

menu 1  # "Configure program"
editor=
for _ in $(seq 1 50); do
  for w in $(windows '^Tavelin$'); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "$WIDTH" -ge 462 ] && [ "$HEIGHT" -ge 325 ] && editor=$w
  done
  [ -n "$editor" ] && break
  sleep 0.2
done
[ -n "$editor" ] || fail "no settings editor"
sleep 0.5
import -window root "$work_dir/editor.png"
echo "settings editor: $work_dir/editor.png"
# The track bar's thumb (at 3 of 1..4) takes the focus on a click; Left moves it to 2; then Apply.
before=$(windows '^Tavix Agent 2.0$' | wc -l)
xdotool mousemove --window "$editor" $((240 + 125)) $((204 + 13)) click 1
sleep 0.2
xdotool key Left
sleep 0.2
xdotool mousemove --window "$editor" $((252 + 37)) $((284 + 12)) click 1
for _ in $(seq 1 50); do [ "$(windows '^Tavix Agent 2.0$' | wc -l)" -gt "$before" ] && break; sleep 0.2; done
[ "$(windows '^Tavix Agent 2.0$' | wc -l)" -gt "$before" ] || fail "no notification after Apply"
expect_notification
[ "$(tavelin_screen_size)" = 800x600 ] || fail "Apply left the screen at $(tavelin_screen_size)"
expected=$'[Main]\r\nresolution=2\r\nautorun=0\r\nautoclose=0\r\nglebia=32\r\nskonfigurowany=1\r'
[ "$(cat "$settings")" = "$expected" ] || fail "the settings file after Apply: $(cat -A "$settings")"
echo "Apply wrote the five keys and switched the screen to 800x600"
answer_boxes 2 >/dev/null

menu 3  # "Exit"
status=
for _ in $(seq 1 50); do
  if ! kill -0 "$wine_pid" 2>/dev/null; then
    status=0
    wait "$wine_pid" || status=$?
    wine_pid=
    break
  fi
  sleep 0.2
done
[ -n "$status" ] || fail "tavelin.exe still runs 10 s after \"Exit\""
[ "$status" = 0 ] || fail "\"Exit\" ended tavelin.exe with status $status"
echo "PASS: under Wine: configured start, speech error answered, editor and Apply, Exit with status 0"
