# Functions of the end-to-end tests that drive the whole Linux program (source it after
# scripts/linux-program-lib.sh, inside the private X server): a sandbox with an install key,
# settings files, the tray menu, message boxes and the program's windows. Every wait and every
# input goes through xdrive; a failure leaves a screenshot, xdrive's event log and the logs in
# $build/e2e/<session>.

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
  [ "$BASHPID" = "$$" ] || return 0  # a subshell ended by a signal (see tavelin_end_session)
  exec 3>&- || true
  tavelin_end_session
  for pid in "${pids[@]}"; do tavelin_stop "$pid"; done
  tavelin_exit_status
}

# Ends the test as failed: says what, shows the screen's windows (and saves a screenshot) and
# keeps the logs beside xdrive's event log.
fail() {
  echo "FAIL: $*" >&2
  tavelin_failure_report
  for log in "$work"/*.log; do
    [ -s "$log" ] || continue
    echo "--- $(basename "$log"):" >&2
    cat "$log" >&2
    [ -z "${TAVELIN_E2E_ARTIFACTS:-}" ] || cp "$log" "$TAVELIN_E2E_ARTIFACTS/"
  done
  exit 1
}

# Succeeds when window $1 has the client size $2 x $3.
e2e_size_is() {
  tavelin_geometry "$1"
  [ "$WIN_W" = "$2" ] && [ "$WIN_H" = "$3" ]
}

# Prints the text of message box $1, read from the screen once it has been drawn.
e2e_box_text() {
  local shot=$work/box.png
  xdrive wait-painted "$1" || fail "message box $1 was not drawn"
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
  seen=$(e2e_box_text "$box")
  # shellcheck disable=SC2053
  [[ "$seen" == *$text* ]] || fail "the message box reads \"$seen\", expected \"$text\""
  echo "message box: $seen"
  e2e_answer_box "$box" || fail "the message box \"$text\" did not close"
}

# Presses the OK button of message box $1 (centred at its foot) until the box closes.
e2e_answer_box() {
  tavelin_geometry "$1" || return 0  # gone already
  xdrive -t 15 click "$1" $((WIN_W / 2)) $((WIN_H - 16)) --until-unmapped
}

# Fails when a message box is shown.
e2e_no_box() {
  local box
  if box=$(xdrive find "${TAVELIN_BOX[@]}"); then
    fail "an unexpected message box: \"$(e2e_box_text "$box")\""
  fi
}

# Chooses item $1 of the tray menu ("Configure program", "What is it for?", "Exit" or "About")
# through the XEmbed icon $icon, or with $icon empty through the session-bus host (fd 3). The
# xdrive UNTIL options that follow ($2...) say what the item does; until it does, the menu is
# opened and the item chosen again (a few times at most: a loaded machine may lose input).
# Prints the id of a window the item opened (--until-map); fails when the item did nothing.
e2e_menu() {
  local downs
  case $1 in
    "Configure program") downs="Down" ;;
    "What is it for?") downs="Down Down" ;;
    Exit) downs="Down Down Down" ;;
    About) downs="Down Down Down Down" ;;
    *) fail "no menu item $1" ;;
  esac
  shift
  local open=(--icon "${icon:-}")
  if [ -z "${icon:-}" ]; then
    xdrive move 400 300
    open=(--open-with "echo context 400 300 >&3")
  fi
  # shellcheck disable=SC2086
  xdrive -t 30 menu "${open[@]}" $downs Return "$@"
}

# Moves the track bar of settings editor $1 one step left (a mode code lower) and presses Apply
# until the xdrive UNTIL options that follow ($2...) come true.
e2e_step_left_and_apply() {
  local editor=$1
  shift
  # Drawn afresh once it has handled its showing, and so ready for the keys.
  xdrive wait-painted "$editor" || fail "the editor was not drawn"
  xdrive key "$editor" Tab Tab Left || fail "the editor took no keys"
  xdrive -t 15 click "$editor" $((252 + 37)) $((284 + 12)) "$@" >/dev/null || fail "Apply did not do what it should"
}

# Opens the settings editor from the tray menu, answers the message box $2 if given, moves the
# track bar one step left (so that there is something to write), presses Apply and expects the box
# "Unable to write to $1." ($1 a glob pattern); the editor stays open.
e2e_apply_refused() {
  local editor
  editor=$(e2e_menu "Configure program" --until-map "${TAVELIN_EDITOR[@]}") || fail "no settings editor"
  [ -z "${2:-}" ] || e2e_expect_box "$2"
  e2e_step_left_and_apply "$editor" --until-map "${TAVELIN_BOX[@]}"
  e2e_expect_box "Unable to write to $1."
  tavelin_viewable "$editor" || fail "the editor closed although nothing was saved"
}

# Chooses "Exit" from the tray menu and expects the program to end with status 0.
e2e_exit() {
  local status=0
  e2e_menu Exit --until-exit "$TAVELIN_PID" || fail "still running after \"Exit\""
  wait "$TAVELIN_PID" || status=$?
  TAVELIN_PID=
  [ "$status" = 0 ] || fail "\"Exit\" ended the program with status $status"
}

# Waits for the notification window and checks that it stands at the screen's width - 305,
# height - 144 with 286 x 58 pixels; prints its id.
e2e_expect_notification() {
  local limit=${1:-10} agent sw sh
  # A window found may be gone before it is asked for its place (one that was just closing):
  # look again, for another.
  for _ in 1 2 3; do
    agent=$(tavelin_wait_window '^Tavix Agent 2.0$' "$limit") || fail "no notification window within $limit s"
    tavelin_geometry "$agent" 2>/dev/null && break
    agent=
  done
  [ -n "$agent" ] || fail "no notification window stayed"
  IFS=x read -r sw sh <<<"$(tavelin_screen_size)"
  [ "$WIN_X,$WIN_Y" = "$((sw - 305)),$((sh - 144))" ] ||
    fail "the notification window is at ($WIN_X,$WIN_Y) on a ${sw}x${sh} screen"
  [ "${WIN_W}x${WIN_H}" = 286x58 ] || fail "the notification window is ${WIN_W}x${WIN_H}"
  echo "$agent"
}

# Prints the text of the notification window $1.
e2e_notification_text() {
  xdrive wait-painted "$1" || fail "the notification window was not drawn"
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
