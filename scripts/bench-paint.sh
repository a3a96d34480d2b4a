#!/usr/bin/env bash
# Paint-and-shape times of the main window, a settings-editor-sized form full of controls and an
# empty one, on a private Xvnc. Prints medians and the full form's ratio to the empty one.
#   bench-paint.sh [build-dir] [repaints]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/default}
program=$build/bench/paint_forms
[ -x "$program" ] || { echo "bench-paint: build $program first (cmake --build $build)" >&2; exit 2; }
exec "$here/with-xvnc.sh" "$program" "${2:-200}"
