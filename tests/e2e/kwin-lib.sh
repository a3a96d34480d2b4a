# A private KWin for the end-to-end tests and the benchmark (source it after
# scripts/linux-program-lib.sh and wayland-lib.sh; expects $work, the array `pids` and fail()).

# Starts KWin headless (virtual backend, one $2 x $3 output, XWayland) on a private session bus,
# in runtime and home folders of its own under $1, and waits for its session to start. Sets
# DISPLAY (its XWayland), WAYLAND (the socket's full path), KWIN_RUNTIME and TAVELIN_BUS.
# The packaged binary carries a file capability that a container may not grant (exec fails):
# a copy runs without it, and keeps its name, which KWin's own Qt platform plugin requires.
kwin_start() {
  local root=$1/kwin
  KWIN_RUNTIME=$root/run
  mkdir -p "$root/bin" "$root/home" "$KWIN_RUNTIME" && chmod 700 "$KWIN_RUNTIME"
  cp "$(command -v kwin_wayland)" "$root/bin/kwin_wayland"
  tavelin_session_bus "$root/bus"
  compositor_session "$root"
  HOME=$root/home XDG_CONFIG_HOME=$root/home/.config XDG_DATA_HOME=$root/home/.local/share \
    XDG_RUNTIME_DIR=$KWIN_RUNTIME DBUS_SESSION_BUS_ADDRESS=$TAVELIN_BUS QT_QPA_PLATFORM=offscreen \
    "$root/bin/kwin_wayland" --virtual --xwayland --width "$2" --height "$3" --no-lockscreen \
    --socket tavelin-kwin --exit-with-session "$root/session.sh" >"$work/kwin.log" 2>&1 4>&- &
  pids+=("$!")
  wait_compositor_session "$root" "$KWIN_RUNTIME" || fail "KWin did not start its session"
}

# KWin's own command-line client, on its Wayland platform.
kwin_doctor() {
  XDG_RUNTIME_DIR=$KWIN_RUNTIME WAYLAND_DISPLAY=${WAYLAND##*/} QT_QPA_PLATFORM=wayland \
    timeout 20 kscreen-doctor "$@"
}

# Prints output $1's current size and position as KWin's own client reads them (WxH@X,Y).
kwin_output_state() {
  kwin_doctor -o 2>/dev/null | sed 's/\x1b\[[0-9;]*m//g' | awk -v o="$1" '
    $1 == "Output:" { on = ($3 == o) }
    on { for (i = 1; i < NF; i++) if ($i == "Geometry:") { split($(i + 1), p, ","); print $(i + 2) "@" p[1] "," p[2] } }'
}
