# Functions for scripts that run the Linux program on an X server (source it): a sandboxed
# configuration, start, wait for the window, read its geometry and pixels, stop by PID.
# Expects DISPLAY to be set and bash with `set -euo pipefail`.

# Creates a fresh configuration sandbox under $1 (HOME and the XDG folders), so the program never
# reads or writes the real user's files.
tavelin_sandbox() {
  local root=$1
  mkdir -p "$root/home/.config" "$root/home/.local/share" "$root/home/.cache" "$root/etc/xdg" "$root/run"
  chmod 700 "$root/run"
}

# Starts PROGRAM in the sandbox $1 with a clean environment and the VAR=value settings that
# follow; sets TAVELIN_PID. Output goes to $1/program.log. The array TAVELIN_RUN_AS may hold a
# command that runs it as another user (setpriv ... --).
tavelin_start() {
  local root=$1 program=$2
  shift 2
  "${TAVELIN_RUN_AS[@]}" env -i PATH="$PATH" DISPLAY="$DISPLAY" LANG="${LANG:-C.UTF-8}" \
    HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" XDG_CONFIG_DIRS="$root/etc/xdg" \
    XDG_DATA_HOME="$root/home/.local/share" XDG_CACHE_HOME="$root/home/.cache" XDG_RUNTIME_DIR="$root/run" \
    "$@" "$program" >"$root/program.log" 2>&1 &
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
  for _ in $(seq 1 100); do [ -s "$dir/bus.address" ] && break; sleep 0.05; done
  TAVELIN_BUS=$(head -n 1 "$dir/bus.address")
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
  for _ in $(seq 1 100); do
    xdotool search --onlyvisible --class '^trayer$' >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
}

# Waits up to $1 seconds for the program's XEmbed tray icon (a small window titled "tavelin", as
# the program's name, in the tray's panel); prints its id.
tavelin_wait_tray_icon() {
  local limit=${1:-10} w deadline
  deadline=$(($(date +%s%N) + limit * 1000000000))
  while :; do
    for w in $(xdotool search --onlyvisible --name '^tavelin$' 2>/dev/null); do
      tavelin_geometry "$w" 2>/dev/null || continue
      [ "$WIN_W" -le 48 ] && [ "$WIN_H" -le 48 ] && { echo "$w"; return 0; }
    done
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# Waits up to $2 seconds for a mapped window titled "Tavelin" (xdotool's titles ignore case, so
# the tray icon's "tavelin" matches too) of the size $1 (WxH; 258x81 is the logo, 462x325 the
# settings editor), or with $1 "box" of another size bigger than an icon (a message box); prints
# the id of the newest one (the highest: a box opened during another box's nested loop must be
# answered first, and xdotool does not list windows in their stacking order).
tavelin_wait_sized_window() {
  local want=$1 limit=${2:-10} w found deadline
  deadline=$(($(date +%s%N) + limit * 1000000000))
  while :; do
    found=
    for w in $(xdotool search --onlyvisible --name '^Tavelin$' 2>/dev/null); do
      tavelin_geometry "$w" 2>/dev/null || continue
      if [ "$want" = box ]; then
        [ "$WIN_W" -gt 48 ] && [ "${WIN_W}x${WIN_H}" != 258x81 ] && [ "${WIN_W}x${WIN_H}" != 462x325 ] &&
          [ "$w" -gt "${found:-0}" ] && found=$w
      elif [ "${WIN_W}x${WIN_H}" = "$want" ]; then
        found=$w
      fi
    done
    [ -n "$found" ] && { echo "$found"; return 0; }
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# Waits up to $2 seconds until window $1 is no longer mapped.
tavelin_wait_unmapped() {
  local id=$1 limit=${2:-10} deadline
  deadline=$(($(date +%s%N) + limit * 1000000000))
  while [ "$(date +%s%N)" -lt "$deadline" ]; do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || return 0
    sleep 0.02
  done
  return 1
}

# Prints the screen's current size as WxH, asked afresh of the X server.
tavelin_screen_size() {
  xdpyinfo | awk '/dimensions:/ {print $2}'
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
# expression $1; prints its id. Fails when the time runs out or the program ends.
tavelin_wait_window() {
  local pattern=$1 limit=${2:-10} id deadline
  deadline=$(($(date +%s%N) + limit * 1000000000))
  while [ "$(date +%s%N)" -lt "$deadline" ]; do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    tavelin_running || return 1
    sleep 0.01
  done
  return 1
}

# Sets WIN_X WIN_Y WIN_W WIN_H to window $1's position on the screen and its size.
tavelin_geometry() {
  local info
  info=$(xwininfo -id "$1")
  WIN_X=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
  WIN_Y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
  WIN_W=$(awk '/Width:/ {print $2}' <<<"$info")
  WIN_H=$(awk '/Height:/ {print $2}' <<<"$info")
}

# Prints the pixel at ($2,$3) of image $1 as RRGGBB.
tavelin_pixel() {
  convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6 | tr A-F a-f
}

# Ends process $1: TERM, then KILL after two seconds.
tavelin_stop() {
  local pid=$1
  kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 20); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# Makes a private work folder ($work); on exit the program started in it is stopped by its PID
# and the folder removed.
tavelin_session() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/tavelin-$1.XXXXXX")
  TAVELIN_PID=
  trap tavelin_end_session EXIT
}

tavelin_end_session() {
  if [ -n "$TAVELIN_PID" ]; then tavelin_stop "$TAVELIN_PID"; fi
  rm -rf "$work"
}
