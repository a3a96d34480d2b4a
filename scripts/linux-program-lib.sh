# Functions for scripts that run the Linux program on an X server (source it): a sandboxed
# configuration, start, wait for the window, read its geometry and pixels, stop by PID.
# Expects DISPLAY to be set, $build to be the build folder (its tests/xdrive waits on the X
# server's events and sends input: `xdrive --help`) and bash with `set -euo pipefail`.

xdrive() { "${TAVELIN_XDRIVE:-$build/tests/xdrive}" "$@"; }

# Creates a fresh configuration sandbox under $1 (HOME and the XDG folders), so the program never
# reads or writes the real user's files.
tavelin_sandbox() {
  local root=$1
  mkdir -p "$root/home/.config" "$root/home/.local/share" "$root/home/.cache" "$root/etc/xdg" "$root/run"
  chmod 700 "$root/run"
}

# Starts PROGRAM in the sandbox $1 with a clean environment (no accessibility bridge: a sandbox
# has no accessibility bus to find) and the VAR=value settings that follow; sets TAVELIN_PID. Output goes to $1/program.log (the log of an earlier start there is
# checked first). The array TAVELIN_RUN_AS may hold a command that runs it as another user
# (setpriv ... --).
tavelin_start() {
  local root=$1 program=$2
  shift 2
  tavelin_check_log "$root/program.log" || TAVELIN_LOG_FAULT=1
  "${TAVELIN_RUN_AS[@]}" env -i PATH="$PATH" DISPLAY="$DISPLAY" LANG="${LANG:-C.UTF-8}" \
    HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" XDG_CONFIG_DIRS="$root/etc/xdg" \
    XDG_DATA_HOME="$root/home/.local/share" XDG_CACHE_HOME="$root/home/.cache" XDG_RUNTIME_DIR="$root/run" \
    NO_AT_BRIDGE=1 "$@" "$program" >"$root/program.log" 2>&1 &
  TAVELIN_PID=$!
}

# Writes the sandbox $1's install key naming the settings folder $2 (which should end with /).
tavelin_install_key() {
  mkdir -p "$1/etc/xdg/tavelin"
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenlow\\Tavelin]\n"sciezka"="%s"\n' \
    "$2" >"$1/etc/xdg/tavelin/machine.reg"
}

# Writes a configured user settings file $1: mode code $2, depth $3, autorun $4, autoclose $5.
tavelin_user_file() {
  mkdir -p "$(dirname "$1")"
  printf '[Main]\nresolution=%s\nautorun=%s\nautoclose=%s\nglebia=%s\nskonfigurowany=1\n' "$2" "${4:-0}" "${5:-0}" "$3" >"$1"
}

# Makes the sandbox $1 a configured installation: an install key naming $1/data/, the user asking
# for mode code $2 at depth $3, and in $1/null-sound.conf a sound device that takes the speech
# and plays it nowhere (pass ALSA_CONFIG_PATH=$1/null-sound.conf to tavelin_start).
tavelin_configure() {
  tavelin_install_key "$1" "$1/data/"
  tavelin_user_file "$1/data/$(id -un)" "$2" "$3" 0 0
  printf 'pcm.!default { type null }\n' >"$1/null-sound.conf"
}

# Writes an ALSA configuration under $1 whose "default" device writes each playback into a WAV
# file of its own in $1/sound, named after its rate, channels and bits (capture-8000-1-16.wav,
# then .wav.0001 ...); prints the ALSA_CONFIG_PATH=... setting for tavelin_start.
tavelin_alsa_capture() {
  mkdir -p "$1/sound"
  cat >"$1/asound.conf" <<CONF
pcm.!default {
  type file
  slave { pcm { type null } }
  file "$1/sound/capture-%r-%c-%b.wav"
  format "wav"
  truncate false
}
CONF
  echo "ALSA_CONFIG_PATH=$1/asound.conf"
}

# Prints the largest WAV captured under $1 (the longest speech), or nothing.
tavelin_longest_capture() {
  ls -S "$1"/sound/capture-* 2>/dev/null | head -n 1 || true
}

# Starts a private session bus listening in $1 (a folder); sets TAVELIN_BUS to its address and
# adds its PID to the array `pids`.
tavelin_session_bus() {
  local dir=$1
  mkdir -p "$dir"
  cat >"$dir/bus.conf" <<CONF
<busconfig><type>session</type><listen>unix:dir=$dir</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
CONF
  : >"$dir/bus.address"
  dbus-daemon --config-file="$dir/bus.conf" --nofork --print-address=1 >"$dir/bus.address" 2>"$dir/bus.log" &
  pids+=("$!")
  TAVELIN_BUS=$(xdrive -t 10 wait-line "$dir/bus.address" .) || return 1
  [ -n "$TAVELIN_BUS" ]
}

# Starts the session-bus hosts (tests/bus_hosts $1 with the options that follow) on TAVELIN_BUS,
# their commands read from file descriptor 3, their output in $work/hosts.log; sets HOSTS_PID.
tavelin_bus_hosts() {
  local tool=$1
  shift
  local fifo
  fifo=$(mktemp -u "$work/hosts.in.XXXXXX")
  mkfifo "$fifo"
  DBUS_SESSION_BUS_ADDRESS=$TAVELIN_BUS "$tool" "$@" <"$fifo" >>"$work/hosts.log" 2>&1 &
  HOSTS_PID=$!
  pids+=("$HOSTS_PID")
  exec 3>"$fifo"
}

# Starts trayer, an XEmbed tray host at the top right, and waits for its panel; sets TRAYER_PID.
tavelin_trayer() {
  trayer --edge top --align right --widthtype request --height 32 >>"$work/trayer.log" 2>&1 &
  TRAYER_PID=$!
  pids+=("$TRAYER_PID")
  xdrive -t 10 -p "$TRAYER_PID" wait-map --class '^trayer$' >/dev/null
}

# The program's windows, as xdrive's window options: its XEmbed tray icon (a small window titled
# "tavelin", as the program's name, in the tray's panel), the logo, the settings editor and a
# message box (titled "Tavelin" too, bigger than an icon).
TAVELIN_ICON=(--title '^tavelin$' --max-size 48x48)
TAVELIN_LOGO=(--title '^Tavelin$' --size 258x81)
TAVELIN_EDITOR=(--title '^Tavelin$' --size 462x325)
TAVELIN_BOX=(--title '^Tavelin$' --min-size 49x1 --not-size 258x81 --not-size 462x325)

# The xdrive options that tie a wait to the running program: it fails as soon as the program ends.
tavelin_watch() { [ -n "${TAVELIN_PID:-}" ] && echo "-p $TAVELIN_PID" || true; }

# Waits up to $1 seconds for the program's XEmbed tray icon; prints its id.
tavelin_wait_tray_icon() {
  # shellcheck disable=SC2046
  xdrive -t "${1:-10}" $(tavelin_watch) wait-map "${TAVELIN_ICON[@]}"
}

# Waits up to $2 seconds for a mapped window titled "Tavelin" of the size $1 (WxH; 258x81 is the
# logo, 462x325 the settings editor), or with $1 "box" a message box; prints the id of the newest
# (the topmost: a box opened during another box's nested loop must be answered first).
tavelin_wait_sized_window() {
  local want=$1 limit=${2:-10}
  if [ "$want" = box ]; then
    # shellcheck disable=SC2046
    xdrive -t "$limit" $(tavelin_watch) wait-map "${TAVELIN_BOX[@]}"
  else
    # shellcheck disable=SC2046
    xdrive -t "$limit" $(tavelin_watch) wait-map --title '^Tavelin$' --size "$want"
  fi
}

# Waits up to $2 seconds until window $1 is no longer mapped.
tavelin_wait_unmapped() {
  xdrive -t "${2:-10}" wait-unmap "$1" >/dev/null
}

# Prints the screen's current size as WxH, asked afresh of the X server.
tavelin_screen_size() {
  xdrive screen
}

# Prints the text in the rectangle W H X Y ($2..$5) of image $1, read by OCR (scaled up, the
# colours flattened to dark text on light). $6 says what the text is: "dark" (the default) or
# "light" against its ground, or its colour ("#e1e2f2") when it stands out too little for either.
tavelin_read_text() {
  local image=$1 w=$2 h=$3 x=$4 y=$5 tone=${6:-dark} out
  out=$(mktemp "${TMPDIR:-/tmp}/tavelin-ocr.XXXXXX")
  local flatten=(-colorspace Gray -resize 400% -normalize -threshold 55%)
  case $tone in
    light) flatten=(-colorspace Gray -negate -resize 400% -normalize -threshold 55%) ;;
    \#*) flatten=(-fuzz 3% -fill black -opaque "$tone" -fill white +opaque black -resize 400%) ;;
  esac
  convert "$image" -crop "${w}x${h}+${x}+${y}" +repage "${flatten[@]}" -bordercolor white -border 20 "$out.png"
  tesseract "$out.png" - --psm 7 2>/dev/null | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'
  rm -f "$out" "$out.png"
}

TAVELIN_RUN_AS=()

tavelin_running() { kill -0 "$TAVELIN_PID" 2>/dev/null; }

# Waits up to $2 seconds (default 10) for a mapped window whose title matches the regular
# expression $1 (case matters); prints its id. Fails when the time runs out or the program ends.
tavelin_wait_window() {
  # shellcheck disable=SC2046
  xdrive -t "${2:-10}" $(tavelin_watch) wait-map --title "$1"
}

# Sets WIN_X WIN_Y WIN_W WIN_H to window $1's position on the screen and its size; fails when the
# window is gone.
tavelin_geometry() {
  local g
  g=$(xdrive geometry "$1") || return 1
  read -r WIN_X WIN_Y WIN_W WIN_H <<<"$g"
}

# Prints what is under the pointer at ($1,$2) of the screen: "root" or a top-level window's id.
tavelin_window_at() {
  local over
  xdrive move "$1" "$2"
  read -r _ _ over <<<"$(xdrive pointer)"
  echo "$over"
}

# Checks that the logo at ($1,$2) lets clicks through where it is see-through (its corner: the
# pointer is over the root there) and takes them over its picture; prints what is wrong.
tavelin_logo_click_through() {
  local over
  over=$(tavelin_window_at $(($1 + 1)) $(($2 + 1)))
  [ "$over" = root ] || { echo "the pointer over a see-through corner is over window $over, not the root"; return 1; }
  over=$(tavelin_window_at $(($1 + 20)) $(($2 + 45)))
  [ "$over" != root ] || { echo "the pointer over the logo is over the root"; return 1; }
}

# Prints, for a failing script, the windows on the screen and the screenshot xdrive saves.
tavelin_failure_report() {
  [ -z "${DISPLAY:-}" ] || xdrive report "at the failure:" 2>&1 | grep -v '^xdrive: events seen\|^  [0-9:.]* ' >&2 || true
}

# Succeeds when window $1 is mapped (and its parents are).
tavelin_viewable() {
  [ "$(xdrive state "$1")" = viewable ]
}

# Prints the pixel at ($2,$3) of image $1 as RRGGBB.
tavelin_pixel() {
  convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6 | tr A-F a-f
}

# Ends process $1 (a child of this shell): TERM, then KILL when it has not ended two seconds later.
tavelin_stop() {
  local pid=$1
  kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
  kill "$pid" 2>/dev/null || true
  xdrive -q -t 2 wait-exit "$pid" || kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# Waits up to $2 seconds for process $1 to end (it need not be a child of this shell).
tavelin_wait_exit() {
  xdrive -t "${2:-10}" wait-exit "$1"
}

# Fails, saying what, when program log $1 holds a critical or warning of GLib, GIO, GObject,
# GDK, GTK, Pango or GTK's accessibility bridge (as "(tavelin:123): Gtk-CRITICAL **: ..."): a
# misuse of the toolkit, even when nothing shows.
tavelin_check_log() {
  local found
  [ -s "$1" ] || return 0
  found=$(grep -E '^\([^)]*:[0-9]+\): (GLib|GLib-GObject|GLib-GIO|Gdk|Gtk|Pango|GdkPixbuf|dbind|atk-bridge)-(CRITICAL|WARNING) \*\*' "$1") ||
    return 0
  echo "FAIL: GLib or GTK reported a misuse in $(basename "$1"):" >&2
  echo "$found" >&2
  return 1
}

# Makes a private work folder ($work); on exit the program started in it is stopped by its PID,
# its log checked (GLib or GTK criticals make the script fail) and the folder removed. With
# $build set, xdrive keeps its event log and screenshots in $build/e2e/$1
# (TAVELIN_E2E_ARTIFACTS), emptied first (it may be a mount point: the package test's is).
tavelin_session() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/tavelin-$1.XXXXXX")
  TAVELIN_PID=
  if [ -n "${build:-}" ]; then
    export TAVELIN_E2E_ARTIFACTS=$build/e2e/$1
    mkdir -p "$TAVELIN_E2E_ARTIFACTS" && find "$TAVELIN_E2E_ARTIFACTS" -mindepth 1 -delete
  fi
  trap 'tavelin_end_session; tavelin_exit_status' EXIT
}

# Stops the program, checks its log and removes the work folder. A log with GLib or GTK criticals
# sets TAVELIN_LOG_FAULT (the caller's exit trap ends with tavelin_exit_status). Only the script
# itself ends the session: bash runs the exit trap also in a subshell that a signal ends before
# it has run its command.
tavelin_end_session() {
  [ "$BASHPID" = "$$" ] || return 0
  if [ -n "$TAVELIN_PID" ]; then tavelin_stop "$TAVELIN_PID"; fi
  tavelin_check_log "$work/program.log" || TAVELIN_LOG_FAULT=1
  rm -rf "$work"
}

# Ends an exit trap: with status 1 when a program's log showed a GLib or GTK critical.
tavelin_exit_status() {
  [ -z "${TAVELIN_LOG_FAULT:-}" ] || exit 1
}
