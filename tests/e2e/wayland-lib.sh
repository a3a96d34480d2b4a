# Functions of the end-to-end tests that run the Linux program on a Wayland compositor's
# XWayland (source it after program-lib.sh, once e2e_begin has run): reading its rootless
# windows, running the program for a configured user, checking the notification's place.

# Writes $1/session.sh, the command a compositor runs as its session: it reports the compositor's
# displays in $1/ready, then lasts as long as this script holds $1/session.fifo open (file
# descriptor 4), and the compositor ends with it.
compositor_session() {
  local root=$1
  mkfifo "$root/session.fifo"
  exec 4<>"$root/session.fifo"
  cat >"$root/session.sh" <<SESSION
#!/bin/sh
printf 'DISPLAY=%s\nWAYLAND_DISPLAY=%s\nXAUTHORITY=%s\n' "\$DISPLAY" "\$WAYLAND_DISPLAY" "\${XAUTHORITY:-}" >"$root/ready.tmp"
mv "$root/ready.tmp" "$root/ready"
exec cat "$root/session.fifo" >/dev/null
SESSION
  chmod +x "$root/session.sh"
}

# Waits up to 20 s for the session of compositor_session $1 to start; sets DISPLAY and XAUTHORITY
# (the compositor's XWayland) and WAYLAND (its socket's full path, in its runtime folder $2).
wait_compositor_session() {
  xdrive -t 20 wait-line "$1/ready" '^DISPLAY=' >/dev/null || return 1
  WAYLAND=$2/$(sed -n 's/^WAYLAND_DISPLAY=//p' "$1/ready")
  export DISPLAY=$(sed -n 's/^DISPLAY=//p' "$1/ready")
  export XAUTHORITY=$(sed -n 's/^XAUTHORITY=//p' "$1/ready")
  [ -n "$XAUTHORITY" ] || unset XAUTHORITY
}

# Rootless XWayland keeps no picture of its root window: each window is read by itself. A box
# without keyboard focus greys its text: a lighter threshold keeps it.
e2e_box_text() {
  xdrive wait-painted "$1" || fail "message box $1 was not drawn"
  import -window "$1" "$work/box.png"
  tavelin_geometry "$1"
  convert "$work/box.png" -crop "${WIN_W}x$((WIN_H - 40))+0+0" +repage -colorspace Gray -resize 300% \
    -threshold 80% "$work/box-text.png"
  tesseract "$work/box-text.png" - --psm 6 2>/dev/null | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'
}
e2e_notification_text() {
  xdrive wait-painted "$1" || fail "the notification window was not drawn"
  import -window "$1" "$work/agent.png"
  tavelin_read_text "$work/agent.png" 213 16 8 32 light
}

# Runs the program for a user asking for mode code $1 on the compositor whose socket is $WAYLAND
# (a full path), with the VAR=value settings that follow, until it has reported; the caller
# checks.
run_program() {
  local code=$1 auth=()
  shift
  [ -z "${XAUTHORITY:-}" ] || auth=(XAUTHORITY="$XAUTHORITY")
  tavelin_user_file "$settings" "$code" 32
  printf 'pcm.!default { type null }\n' >"$work/null-sound.conf"
  tavelin_start "$work" "$program" ALSA_CONFIG_PATH="$work/null-sound.conf" WAYLAND_DISPLAY="$WAYLAND" "${auth[@]}" "$@"
  pids+=("$TAVELIN_PID")
}

# Waits for the notification, checks its place against the primary output's size $1 (WxH) and
# its text against $2.
expect_notification() {
  local agent text w h
  agent=$(tavelin_wait_window '^Tavix Agent 2.0$' 10) || fail "no notification window"
  tavelin_geometry "$agent"
  IFS=x read -r w h <<<"$1"
  [ "$WIN_X,$WIN_Y" = "$((w - 305)),$((h - 144))" ] ||
    fail "the notification is at ($WIN_X,$WIN_Y), not at the $1 primary output's (width - 305, height - 144)"
  text=$(e2e_notification_text "$agent")
  [ "$text" = "$2" ] || fail "the notification reads \"$text\", expected \"$2\""
  echo "notification at ($WIN_X,$WIN_Y): $text"
}

# Waits for a message box and checks its text against $1. The box is read, not answered: with
# no seat input on a headless compositor, a click reaches an XWayland window only now and then.
expect_box_unanswered() {
  local box text
  box=$(tavelin_wait_sized_window box 10) || fail "no message box \"$1\""
  text=$(e2e_box_text "$box")
  [[ "$text" == "$1" ]] || fail "the message box reads \"$text\", expected \"$1\""
  echo "message box: $text"
}

end_program() {
  tavelin_stop "$TAVELIN_PID"
  TAVELIN_PID=
}
