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

# Starts PROGRAM in the sandbox $1 with a clean environment; sets TAVELIN_PID. Output goes to
# $1/program.log.
tavelin_start() {
  local root=$1 program=$2
  env -i PATH="$PATH" DISPLAY="$DISPLAY" LANG="${LANG:-C.UTF-8}" \
    HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" XDG_CONFIG_DIRS="$root/etc/xdg" \
    XDG_DATA_HOME="$root/home/.local/share" XDG_CACHE_HOME="$root/home/.cache" XDG_RUNTIME_DIR="$root/run" \
    "$program" >"$root/program.log" 2>&1 &
  TAVELIN_PID=$!
}

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
