#!/usr/bin/env bash
# Faults the whole Linux program survives, on a private 800x600 Xvnc, each with a configured user
# (1024x768 at 32 bits) whose settings must come through unchanged:
#  1. No sound device, no session bus and no tray host at the start: the screen is switched, the
#     device's error is reported and the notification still closes; the icon comes when trayer
#     does, and again when trayer is killed and restarted; "Exit" works.
#  2. No speech engine and no notification server, the tray host a StatusNotifierWatcher: the
#     engine's error is reported and the notification stays (its speech never ends); the quick
#     help's balloon goes nowhere, quietly; a restarted watcher gets the icon again; "Exit" works.
#   linux-program-faults.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-program-faults.sh <build dir>}" && pwd)
program=$build/app/tavelin
hosts=$build/tests/bus_hosts
for tool in "$program" "$hosts" "$build/tests/xdrive"; do [ -x "$tool" ] || { echo "FAIL: $tool is not built" >&2; exit 1; }; done

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 800x600 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
source "$here/program-lib.sh"
e2e_begin faults
tavelin_user_file "$settings" 3 32 0 0
cp "$settings" "$work/settings.orig"

# Answers every message box that shows within $1 seconds (a measured span: the boxes of one cause
# come within milliseconds of each other, so a span that brings none ends them) and every box
# still open after it, the newest first (one may open during another's nested loop, which then
# waits for it); prints their texts.
dismiss_boxes() {
  local limit=$1 box left end answered=0 text
  end=$(($(date +%s%N) / 1000000 + limit * 1000))
  while :; do
    if ! box=$(xdrive find "${TAVELIN_BOX[@]}"); then
      left=$((end - $(date +%s%N) / 1000000))
      [ "$left" -gt 0 ] || break
      box=$(xdrive -q -t "$(printf '%d.%03d' $((left / 1000)) $((left % 1000)))" wait-map "${TAVELIN_BOX[@]}") || break
    fi
    text=$(e2e_box_text "$box")
    [ "$(xdrive find "${TAVELIN_BOX[@]}")" = "$box" ] || continue  # a newer box came over it: that one first
    echo "message box: $text"
    e2e_answer_box "$box" || fail "a message box does not close"
    answered=$((answered + 1))
    [ "$answered" -le 10 ] || fail "message boxes keep coming"
  done
}

# Ends the program through the tray menu and checks its status and the settings file.
exit_cleanly() {
  e2e_exit
  cmp -s "$settings" "$work/settings.orig" || fail "the settings file changed: $(cat "$settings")"
  tavelin_check_log "$work/program.log" || fail "GTK reported a misuse"
}

# --- 1. no sound device, no session bus, no tray host -------------------------------------------
: >"$work/no-sound.conf"
tavelin_start "$work" "$program" ALSA_CONFIG_PATH="$work/no-sound.conf"
agent=$(e2e_expect_notification 10)
[ "$(tavelin_screen_size)" = 1024x768 ] || fail "the screen is $(tavelin_screen_size)"
boxes=$(dismiss_boxes 2)
echo "$boxes"
[ -n "$boxes" ] || fail "no message box told that the sound device could not be opened"
tavelin_wait_unmapped "$agent" 8 || fail "without a sound device the notification window stays"
echo "no sound device: reported, and the notification closed"
# Measured span: an icon would be there within milliseconds of the start, long past.
xdrive -t 1 never "${TAVELIN_ICON[@]}" || fail "an icon window without a tray host"
tavelin_trayer || fail "trayer did not start"
icon=$(tavelin_wait_tray_icon 5) || fail "no icon once trayer runs"
tavelin_stop "$TRAYER_PID"
tavelin_trayer || fail "trayer did not start again"
icon=$(tavelin_wait_tray_icon 5) || fail "no icon after trayer was restarted"
echo "no tray host: the icon came with trayer, and came back when trayer was restarted"
exit_cleanly
tavelin_stop "$TRAYER_PID"
icon=
echo "PASS 1: no sound device, no session bus, tray host late and restarted"

# --- 2. no speech engine, no notification server, a StatusNotifierWatcher restarted -----------
mkdir -p "$work/no-voices/espeak-ng-data"
tavelin_session_bus "$work/bus" || fail "no session bus"
tavelin_bus_hosts "$hosts" --no-notifications
tavelin_start "$work" "$program" "$(tavelin_alsa_capture "$work")" ESPEAK_DATA_PATH="$work/no-voices" \
  DBUS_SESSION_BUS_ADDRESS="$TAVELIN_BUS"
agent=$(e2e_expect_notification 10)
[ "$(tavelin_screen_size)" = 1024x768 ] || fail "the screen is $(tavelin_screen_size)"
boxes=$(dismiss_boxes 2)
echo "$boxes"
grep -q "Speech API" <<<"$boxes" || fail "no message box told that the speech engine is missing"
xdrive wait-line "$work/hosts.log" '^item ' >/dev/null || fail "the icon did not register with the watcher"
e2e_menu "What is it for?" --until-map "${TAVELIN_BOX[@]}" >/dev/null || fail "no box about the missing speech engine"
dismiss_boxes 2
tavelin_running || fail "the program ended"
tavelin_viewable "$agent" || fail "the notification window closed although its speech never ended"
echo "no speech engine: reported, the notification stays; no notification server: nothing happens"
echo quit >&3
exec 3>&-
wait "$HOSTS_PID" 2>/dev/null || true
tavelin_bus_hosts "$hosts" --no-notifications
xdrive wait-line "$work/hosts.log" '^item ' 2 >/dev/null || fail "the icon did not register with the restarted watcher"
exit_cleanly
ls "$work/sound" 2>/dev/null | grep -q . && fail "something was played without a speech engine"
echo "PASS 2: no speech engine, no notification server, watcher restarted"
