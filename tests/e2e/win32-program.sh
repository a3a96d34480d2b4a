#!/usr/bin/env bash
# tavelin.exe under Wine as a user meets it, on a private 800x600 X server with an XEmbed tray
# (trayer): an install key and a user who asked for 1024x768 at 32 bits. The start switches the
# screen and shows the notification at the screen's width - 305, height - 144; Wine has no speech
# objects, so the speech error box comes too and is answered; "Configure program" opens the editor,
# whose Apply (track bar moved to 800x600) writes the five keys and switches the screen; "About"
# opens the about window centred with its frame; "Exit" ends the program with status 0.
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
[ -x "$build/tests/xdrive" ] || { echo "FAIL: $build/tests/xdrive is not built" >&2; exit 1; }
tavelin_session win32-program
export TAVELIN_WINEPREFIX=$build/e2e/wine/win32-program TAVELIN_WINE_TIMEOUT=120 USER=anna
wine_pid= trayer_pid=
end() {
  [ "$BASHPID" = "$$" ] || return 0  # a subshell ended by a signal (see tavelin_end_session)
  [ -z "$wine_pid" ] || kill "$wine_pid" 2>/dev/null || true
  WINEPREFIX=$TAVELIN_WINEPREFIX timeout 30 /usr/lib/wine/wineserver -k 2>/dev/null || true
  [ -z "$wine_pid" ] || wait "$wine_pid" 2>/dev/null || true
  [ -z "$trayer_pid" ] || tavelin_stop "$trayer_pid"
  tavelin_end_session
}
trap end EXIT
fail() {
  echo "FAIL: $*" >&2
  tavelin_failure_report
  [ -s "$work/program.log" ] && cp "$work/program.log" "$TAVELIN_E2E_ARTIFACTS/"
  exit 1
}

# The prefix first (its ten-odd seconds must not count against the waits), then the install key
# and the user's settings file in it.
if [ ! -f "$TAVELIN_WINEPREFIX/system.reg" ]; then
  mkdir -p "$TAVELIN_WINEPREFIX"
  TAVELIN_WINE_STOP_SERVER=1 "$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true
fi
TAVELIN_WINE_STOP_SERVER=1 "$root/scripts/wine-run.sh" reg add 'HKLM\Software\Brenlow\Tavelin' /v sciezka /t REG_SZ \
  /d 'C:\tavelin\' /f >/dev/null 2>&1 || fail "could not write the install key"
settings=$TAVELIN_WINEPREFIX/drive_c/tavelin/anna
mkdir -p "$(dirname "$settings")"
printf '[Main]\r\nresolution=3\r\nautorun=0\r\nautoclose=0\r\nglebia=32\r\nskonfigurowany=1\r\n' >"$settings"

pids=()
tavelin_trayer || fail "trayer did not start"
trayer_pid=$TRAYER_PID

"$root/scripts/wine-run.sh" "$exe" >"$work/program.log" 2>&1 &
wine_pid=$!

# The program's windows under Wine: a message box is a "Tavelin" window smaller than the editor
# and not the logo; the editor is the biggest; the notification; the tray icon docked in
# trayer's panel at the top.
BOX=(--title '^Tavelin$' --not-size 258x81 --min-size 101x1 --max-size 10000x299)
EDITOR=(--title '^Tavelin$' --min-size 462x325)
AGENT=(--title '^Tavix Agent 2.0$')
ICON=(--class '^(tavelin|explorer)\.exe$' --max-size 32x32 --inside 0,0,10000x32)

# Answers every message box that shows within $1 seconds (a measured span: the start's boxes come
# within a second of each other under Wine) and every one still open after it, the newest first;
# prints their number.
answer_boxes() {
  local limit=$1 n=0 box left end
  end=$(($(date +%s%N) / 1000000 + limit * 1000))
  while :; do
    if ! box=$(xdrive find "${BOX[@]}"); then
      left=$((end - $(date +%s%N) / 1000000))
      [ "$left" -gt 0 ] || break
      box=$(xdrive -q -t "$(printf '%d.%03d' $((left / 1000)) $((left % 1000)))" -p "$wine_pid" wait-map "${BOX[@]}") || break
    fi
    tavelin_geometry "$box" || continue  # gone meanwhile
    # OK is centred at the box's foot.
    xdrive -t 15 click "$box" $((WIN_W / 2)) $((WIN_H - 22)) --until-unmapped >&2 || fail "a message box does not close"
    n=$((n + 1))
    [ "$n" -le 10 ] || fail "message boxes keep coming"
  done
  echo "$n"
}

# The newest notification window at the screen's width - 305, height - 144, 286 x 58.
expect_notification() {
  local agent=$1 sw sh
  tavelin_geometry "$agent" || fail "the notification window went at once"
  IFS=x read -r sw sh <<<"$(tavelin_screen_size)"
  [ "$WIN_X,$WIN_Y" = "$((sw - 305)),$((sh - 144))" ] || fail "the notification window is at ($WIN_X,$WIN_Y) on a ${sw}x${sh} screen"
  [ "${WIN_W}x${WIN_H}" = 286x58 ] || fail "the notification window is ${WIN_W}x${WIN_H}"
}

xdrive -t 30 -p "$wine_pid" wait-map --title '^Tavelin$' >/dev/null || fail "tavelin.exe showed no window"
expect_notification "$(xdrive -t 20 -p "$wine_pid" wait-map "${AGENT[@]}")"
[ "$(tavelin_screen_size)" = 1024x768 ] || fail "the screen is $(tavelin_screen_size), not 1024x768"
echo "configured start: 1024x768 and the notification at the screen's width - 305, height - 144"
boxes=$(answer_boxes 4)
[ "$boxes" -ge 1 ] || fail "no speech error box (Wine has no speech objects)"
echo "speech error boxes answered: $boxes"

# The tray icon: Wine docks it in trayer's panel at the top right.
icon=$(xdrive -t 10 -p "$wine_pid" wait-map "${ICON[@]}") || fail "no tray icon in trayer's panel"

# Opens the tray menu and clicks its item $1 (1 "Configure program", 2 "What is it for?", 3 "Exit",
# 4 "About"), whose items are 26, 26, 26 and 17 pixels high with the separators, until the
# xdrive UNTIL options that follow come true.
menu() {
  local offsets=(0 11 37 63 80) item=$1
  shift
  xdrive -t 20 -p "$wine_pid" menu --icon "$icon" --item "30,${offsets[$item]}" "$@"
}

editor=$(menu 1 --until-map "${EDITOR[@]}") || fail "no settings editor"
xdrive wait-painted "$editor" || fail "the editor was not drawn"
import -window root "$TAVELIN_E2E_ARTIFACTS/editor.png"
echo "settings editor: $TAVELIN_E2E_ARTIFACTS/editor.png"
# The track bar's thumb (at 3 of 1..4) takes the focus on a click; Left moves it to 2; then Apply.
xdrive click "$editor" $((240 + 125)) $((204 + 13)) || fail "the track bar took no click"
xdrive key "$editor" Left || fail "the track bar took no key"
agent=$(xdrive -t 20 -p "$wine_pid" click "$editor" $((252 + 37)) $((284 + 12)) --until-map "${AGENT[@]}") ||
  fail "no notification after Apply"
expect_notification "$agent"
[ "$(tavelin_screen_size)" = 800x600 ] || fail "Apply left the screen at $(tavelin_screen_size)"
expected=$'[Main]\r\nresolution=2\r\nautorun=0\r\nautoclose=0\r\nglebia=32\r\nskonfigurowany=1\r'
[ "$(cat "$settings")" = "$expected" ] || fail "the settings file after Apply: $(cat -A "$settings")"
echo "Apply wrote the five keys and switched the screen to 800x600"
answer_boxes 2 >/dev/null

about=$(menu 4 --until-map --title '^Tavelin - program information$') || fail "no about window"
tavelin_geometry "$about" || fail "the about window went at once"
# The whole window, frame and caption included, in the middle of the screen.
[ "$WIN_W" -gt 456 ] && [ "$WIN_H" -gt 304 ] || fail "the about window is ${WIN_W}x${WIN_H}: no frame around 456x304"
[ "$WIN_X,$WIN_Y" = "$(((800 - WIN_W) / 2)),$(((600 - WIN_H) / 2))" ] ||
  fail "the ${WIN_W}x${WIN_H} about window stands at ($WIN_X,$WIN_Y), not centred on 800x600"
echo "about window: ${WIN_W}x${WIN_H} at ($WIN_X,$WIN_Y)"

menu 3 --until-exit "$wine_pid" || fail "tavelin.exe still runs after \"Exit\""
status=0
wait "$wine_pid" || status=$?
wine_pid=
[ "$status" = 0 ] || fail "\"Exit\" ended tavelin.exe with status $status"
echo "PASS: under Wine: configured start, speech error answered, editor and Apply, about window centred with its frame, Exit with status 0"
