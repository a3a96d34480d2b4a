#!/usr/bin/env bash
# Renders every window layout there is and the gallery of the picture and label controls to PNG
# files: the Linux build on a private Xvnc, and the Windows build under Wine on another. Prints
# the path of every file.
#   render-gallery.sh [out-dir] [default-build-dir] [mingw-build-dir]
# A build directory that lacks its gallery program is skipped with a note.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

# Inside the X server: starts the program ($2...), waits for its "ready", shoots the screen and
# cuts out each window into $out/<backend>-<name>.png. Every process started is ended by PID.
if [ "${1:-}" = --inside ]; then
  backend=$2 out=$3
  shift 3
  log=$(mktemp "${TMPDIR:-/tmp}/gallery.XXXXXX")
  xsetroot -solid '#2a5d8f'
  setsid "$@" >"$log" 2>/dev/null &
  pid=$!
  for _ in $(seq 1 600); do
    grep -q '^ready' "$log" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || { echo "render-gallery: $backend program ended early" >&2; cat "$log" >&2; exit 1; }
    sleep 0.1
  done
  sleep 1.5  # the first paints land
  import -window root "$out/$backend-screen.png"
  while read -r word name x y w h; do
    [ "$word" = window ] || continue
    convert "$out/$backend-screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$out/$backend-$name.png"
    echo "$out/$backend-$name.png"
  done < <(tr -d '\r' <"$log")
  echo "$out/$backend-screen.png"
  kill -- -"$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -f "$log"
  exit 0
fi

out=$(mkdir -p "${1:-$root/build/gallery}" && cd "${1:-$root/build/gallery}" && pwd)
linux_build=${2:-$root/build/default}
mingw_build=${3:-$root/build/mingw}

if [ -x "$linux_build/gallery/tavelin_gallery" ]; then
  "$here/with-xvnc.sh" -g 1280x1024 bash "$0" --inside linux "$out" "$linux_build/gallery/tavelin_gallery"
else
  echo "render-gallery: no $linux_build/gallery/tavelin_gallery (build the default preset)" >&2
fi
if [ -f "$mingw_build/gallery/tavelin_gallery.exe" ]; then
  export TAVELIN_WINEPREFIX=${TAVELIN_WINEPREFIX:-$mingw_build/wineprefix}
  TAVELIN_WINE_STOP_SERVER=1 "$here/with-xvnc.sh" -g 1280x1024 bash "$0" --inside win32 "$out" \
    "$here/wine-run.sh" "$mingw_build/gallery/tavelin_gallery.exe"
  WINEPREFIX=$TAVELIN_WINEPREFIX timeout 30 /usr/lib/wine/wineserver -k 2>/dev/null || true
else
  echo "render-gallery: no $mingw_build/gallery/tavelin_gallery.exe (build the mingw preset)" >&2
fi
