# Functions of the end-to-end tests that drive the whole Linux program (source it after
# scripts/linux-program-lib.sh, inside the private X server): a sandbox with an install key,
# settings files, the tray menu, message boxes and the program's windows.

# Starts a session named $1: $work, the array `pids` of helpers stopped at the end, fail().
e2e_begin() {
  tavelin_session "$1"
  pids=()
  trap e2e_end EXIT
  tavelin_sandbox "$work"
  user=$(id -un)
  data=$work/data
  settings=$data/$user
  tavelin_install_key "$work" "$data/"
  mkdir -p "$data"
}

e2e_end() {
  exec 3>&- 2>/dev/null || true
  tavelin_end_session
  for pid in "${pids[@]}"; do tavelin_stop "$pid"; done
}

fail() {
  echo "FAIL: $*" >&2
  import -window root "${TMPDIR:-/tmp}/e2e-fail-screen.png" 2>/dev/null &&
    echo "screen at the failure: ${TMPDIR:-/tmp}/e2e-fail-screen.png" >&2
  for log in "$work"/*.log; do [ -s "$log" ] && { echo "--- $(basename "$log"):" >&2; cat "$log" >&2; }; done
  exit 1
}

# Succeeds when window $1 has the client size $2 x $3.
e2e_size_is() {
  tavelin_geometry "$1"
  [ "$WIN_W" = "$2" ] && [ "$WIN_H" = "$3" ]
}

# Prints the text of message box $1, read from the screen.
e2e_box_text() {
  local shot=$work/box.png
  import -window root "$shot"
  tavelin_geometry "$1"
  convert "$shot" -crop "${WIN_W}x$((WIN_H - 40))+${WIN_X}+${WIN_Y}" +repage -colorspace Gray -resize 300% \
    -threshold 60% "$work/box-text.png"
  tesseract "$work/box-text.png" - --psm 6 2>/dev/null | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'
}

# Waits for a message box, checks that its text contains $1 (a glob pattern: the parts of a text
# that OCR cannot be trusted with, such as random folder names, are left to "*"), and presses its
# OK button.
e2e_expect_box() {
  local text=$1 limit=${2:-10} box seen
  box=$(tavelin_wait_sized_window box "$limit") || fail "no message box \"$text\" within $limit s"
  sleep 0.3  # its first paint
  seen=$(e2e_box_text "$box")
  # shellcheck disable=SC2053
  [[ "$seen" == *$text* ]] || fail "the message box reads \"$seen\", expected \"$text\""
  echo "message box: $seen"
  # A click that lands before the box takes input (a busy machine) is lost: click again.
  for _ in 1 2 3 4 5; do
    e2e_answer_box "$box"
    tavelin_wait_unmapped "$box" 1 && return 0
  done
  fail "the message box \"$text\" did not close"
}

# Presses the OK button of message box $1 (centred at its foot).
e2e_answer_box() {
  tavelin_geometry "$1"
  xdotool mousemove --window "$1" $((WIN_W / 2)) $((WIN_H - 16)) click 1
}

# Fails when a message box is shown.
e2e_no_box() {
  local box
  if box=$(tavelin_wait_sized_window box 0); then
    fail "an unexpected message box: \"$(e2e_box_text "$box")\""
  fi
}

# Chooses item $1 of the tray menu ("Configure program", "What is it for?", "Exit" or "About")
# through the XEmbed icon $icon, or with $icon empty through the session-bus host (fd 3).
e2e_menu() {
  local downs
  case $1 in
    "Configure program") downs="Down" ;;
    "What is it for?") downs="Down Down" ;;
    Exit) downs="Down Down Down" ;;
    About) downs="Down Down Down Down" ;;
    *) fail "no menu item $1" ;;
  esac
  local item=$1 try
  shift
  # A loaded machine may open the menu only after its keys were sent: when a check ($2...) is
  # given and it does not come true, the menu is closed and opened again.
  for try in 1 2 3; do
    if [ -n "${icon:-}" ]; then
      xdotool mousemove --window "$icon" 4 4 click 3
    else
      xdotool mousemove 400 300
      echo "context 400 300" >&3
    fi
    sleep $((try == 1 ? 0 : 1)).5
    # shellcheck disable=SC2086
    xdotool key $downs Return
    [ $# -gt 0 ] || return 0
    "$@" >/dev/null && return 0
    xdotool key Escape
  done
  fail "the tray menu's \"$item\" did not do what it should"
}

# Moves the track bar of settings editor $1 one step left (a mode code lower) and presses Apply.
e2e_step_left_and_apply() {
  xdotool mousemove --window "$1" 100 100 windowfocus --sync "$1"
  xdotool key Tab Tab Left
  sleep 0.2
  # GTK takes a press only on a button the pointer has entered: move, let it see that, then click.
  xdotool mousemove --window "$1" $((252 + 37)) $((284 + 12))
  sleep 0.2
  xdotool click 1
}

# Opens the settings editor from the tray menu, answers the message box $2 if given, moves the
# track bar one step left (so that there is something to write), presses Apply and expects the box
# "Unable to write to $1." ($1 a glob pattern); the editor stays open.
e2e_apply_refused() {
  local editor
  e2e_menu "Configure program" tavelin_wait_sized_window 462x325 5
  editor=$(tavelin_wait_sized_window 462x325 10) || fail "no settings editor"
  [ -z "${2:-}" ] || e2e_expect_box "$2"
  e2e_step_left_and_apply "$editor"
  e2e_expect_box "Unable to write to $1."
  xwininfo -id "$editor" | grep -q IsViewable || fail "the editor closed although nothing was saved"
}

# Chooses "Exit" from the tray menu and expects the program to end with status 0 within 3 s.
e2e_exit() {
  local status=0
  e2e_menu Exit
  for _ in $(seq 1 60); do tavelin_running || break; sleep 0.05; done
  tavelin_running && fail "still running 3 s after \"Exit\""
  wait "$TAVELIN_PID" || status=$?
  TAVELIN_PID=
  [ "$status" = 0 ] || fail "\"Exit\" ended the program with status $status"
}

# Waits for the notification window and checks that it stands at the screen's width - 305,
# height - 144 with 286 x 58 pixels; prints its id.
e2e_expect_notification() {
  local limit=${1:-10} agent sw sh
  local deadline=$(($(date +%s) + limit))
  while true; do
    agent=$(tavelin_wait_window '^Tavix Agent 2.0$' "$limit") || fail "no notification window within $limit s"
    # A window found may be gone before it is asked for its place (one that was just closing):
    # look again.
    WIN_X=
    tavelin_geometry "$agent" 2>/dev/null || true
    [ -n "$WIN_X" ] && break
    [ "$(date +%s)" -lt "$deadline" ] || fail "no notification window stayed within $limit s"
    sleep 0.05
  done
  IFS=x read -r sw sh <<<"$(tavelin_screen_size)"
  [ "$WIN_X,$WIN_Y" = "$((sw - 305)),$((sh - 144))" ] ||
    fail "the notification window is at ($WIN_X,$WIN_Y) on a ${sw}x${sh} screen"
  [ "${WIN_W}x${WIN_H}" = 286x58 ] || fail "the notification window is ${WIN_W}x${WIN_H}"
  echo "$agent"
}

# Prints the text of the notification window $1.
e2e_notification_text() {
  import -window root "$work/agent.png"
  tavelin_geometry "$1"
  tavelin_read_text "$work/agent.png" 213 16 $((WIN_X + 8)) $((WIN_Y + 32)) light
}

# Checks that WAV file $1 holds speech: 8000 Hz, mono, 16 bits, not silent, longer than 0.5 s.
e2e_expect_speech() {
  local wav=$1 peak length
  [ -s "$wav" ] || fail "no sound was captured"
  [ "$(sox --i -r "$wav")" = 8000 ] && [ "$(sox --i -c "$wav")" = 1 ] && [ "$(sox --i -b "$wav")" = 16 ] ||
    fail "the speech is $(sox --i -r "$wav") Hz, $(sox --i -c "$wav") channels, $(sox --i -b "$wav") bits"
  peak=$(sox "$wav" -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}')
  length=$(sox --i -D "$wav")
  awk -v p="$peak" -v l="$length" 'BEGIN { exit !(p > 0.1 && l > 0.5) }' ||
    fail "the speech is silent or short (peak $peak, $length s)"
  echo "speech: $(basename "$wav"), $length s, peak $peak"
}
