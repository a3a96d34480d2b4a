#!/usr/bin/env bash
# The whole Linux program as a user meets it, on a private 800x600 Xvnc with an XEmbed tray
# (trayer), a notification server on a private session bus and ALSA writing to WAV files: the
# configured start switches the screen to 1024x768, shows and speaks "User resolution applied." at
# the screen's width - 305, height - 144 and makes the run-at-log-on entry; the logo goes 3.5 s
# after the change; "What is it for?" sends the balloon and speaks; "Configure program" opens the
# editor with the stored choices and the screen's size; Apply writes the five keys and switches the
# mode; "About" shows the version; "Exit" ends the program with status 0.
#   linux-program.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-program.sh <build dir>}" && pwd)
program=$build/app/tavelin
hosts=$build/tests/bus_hosts
for tool in "$program" "$hosts" "$build/tests/xdrive"; do [ -x "$tool" ] || { echo "FAIL: $tool is not built" >&2; exit 1; }; done

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 800x600 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
source "$here/program-lib.sh"
e2e_begin program
tavelin_user_file "$settings" 3 32 1 0
tavelin_session_bus "$work/bus" || fail "no session bus"
tavelin_bus_hosts "$hosts" --no-watcher
tavelin_trayer || fail "trayer did not start"
sound=$(tavelin_alsa_capture "$work")

# --- the configured start ----------------------------------------------------------------------
tavelin_start "$work" "$program" "$sound" DBUS_SESSION_BUS_ADDRESS="$TAVELIN_BUS"
logo=$(tavelin_wait_sized_window 258x81 10) || fail "no logo window"
agent=$(e2e_expect_notification 10)
shown=$(date +%s%N)
[ "$(tavelin_screen_size)" = 1024x768 ] || fail "the screen is $(tavelin_screen_size), not 1024x768"
text=$(e2e_notification_text "$agent")
[ "$text" = "User resolution applied." ] || fail "the notification reads \"$text\""
echo "notification \"$text\" at the screen's width - 305, height - 144 on 1024x768"
autostart=$(grep -l "^Exec=.*tavelin" "$work"/etc/xdg/autostart/*.desktop 2>/dev/null | head -n 1) ||
  fail "no run-at-log-on entry although \"autorun\" is set"
echo "run-at-log-on entry: $autostart"

tavelin_wait_unmapped "$logo" 8 || fail "the logo is still shown 8 s after the change"
gone_ms=$((($(date +%s%N) - shown) / 1000000))
echo "the logo went ${gone_ms} ms after the notification appeared"
[ "$gone_ms" -ge 2000 ] || fail "the logo went after only $gone_ms ms"
tavelin_wait_unmapped "$agent" 10 || fail "the notification window did not close"
e2e_expect_speech "$(tavelin_longest_capture "$work")"
e2e_no_box
icon=$(tavelin_wait_tray_icon 5) || fail "no tray icon"

# --- "What is it for?": the balloon, and the sentence spoken but not shown ------------------------
before=$(ls "$work/sound" | wc -l)
e2e_menu "What is it for?" --until-line "$work/hosts.log" '^notify ' || fail "no balloon"
IFS='|' read -r _ _ _ title body timeout _ <<<"$(grep -m1 '^notify ' "$work/hosts.log")"
[ "$title" = "Quick Help" ] || fail "balloon title \"$title\""
[ "$body" = 'This program is used for personalizing screen settings in WindowsXP. Click on "Configure program" to see more.' ] ||
  fail "balloon text \"$body\""
[ "$timeout" = 3000 ] || fail "balloon time-out $timeout"
xdrive wait-entries "$work/sound" $((before + 1)) || fail "\"Personal screen settings.\" was not spoken"
# Measured span: no notification window within the second after the speech began (it would come
# with the speech's start, within milliseconds).
xdrive -t 1 never --title '^Tavix Agent 2.0$' || fail "the quick help's notification window is shown"
echo "quick help: balloon \"$title\" for $timeout ms and a spoken-only notification"

# --- "Configure program": the stored choices and the screen's size --------------------------------
editor=$(e2e_menu "Configure program" --until-map "${TAVELIN_EDITOR[@]}") || fail "no settings editor"
tavelin_geometry "$editor"
[ "$WIN_X,$WIN_Y" = 286,204 ] || fail "the editor is at ($WIN_X,$WIN_Y)"
xdrive wait-painted "$editor" || fail "the editor was not drawn"
import -window root "$work/editor.png"
read_field() { tavelin_read_text "$work/editor.png" "$1" "$2" $((286 + $3)) $((204 + $4)) "${5:-dark}"; }
h=$(read_field 56 13 108 160) v=$(read_field 56 13 108 180) mode=$(read_field 90 13 240 188)
echo "editor: horizontal \"$h\", vertical \"$v\", display mode \"$mode\""
[ "$h" = 1024 ] && [ "$v" = 768 ] || fail "the editor shows the screen as $h x $v"
[ "$mode" = 1024x768 ] || fail "the editor's display mode reads \"$mode\""

# Move the track bar to 2 (800x600) and Apply; the check boxes and depth stay as loaded.
e2e_step_left_and_apply "$editor" --until-unmapped
agent=$(e2e_expect_notification 10)
[ "$(tavelin_screen_size)" = 800x600 ] || fail "Apply left the screen at $(tavelin_screen_size)"
expected=$'[Main]\nresolution=2\nautorun=1\nautoclose=0\nglebia=32\nskonfigurowany=1'
[ "$(cat "$settings")" = "$expected" ] || fail "the settings file after Apply: $(cat "$settings")"
echo "Apply wrote the five keys and switched the screen to 800x600"

# --- "About" ------------------------------------------------------------------------------------
about=$(e2e_menu About --until-map --title '^Tavelin - program information$') || fail "no about window"
e2e_size_is "$about" 456 304 || fail "the about window is ${WIN_W}x${WIN_H}"
[ "$WIN_X,$WIN_Y" = "$(((800 - 456) / 2)),$(((600 - 304) / 2))" ] || fail "the about window is at ($WIN_X,$WIN_Y)"
# Activation copies the version in: with no window manager here, focus it as one would.
xdrive focus "$about" || fail "the about window took no focus"
xdrive wait-painted "$about" || fail "the about window was not drawn"
import -window root "$work/about.png"
version=$(tavelin_read_text "$work/about.png" 217 16 $((WIN_X + 152)) $((WIN_Y + 84)) '#e1e2f2')
[ "$version" = 1.4 ] || fail "the about window shows the version \"$version\""
echo "about window: version $version"

# --- "Exit" -------------------------------------------------------------------------------------
e2e_exit
e2e_no_box
echo "PASS: configured start, notification and speech, logo hidden, quick help, editor and Apply, about, Exit"
