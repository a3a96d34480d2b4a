#!/usr/bin/env bash
# Times resolution switches on a private Xvnc: our in-process ChangeDisplaySettingsA against the
# xrandr command doing the same switch. Prints the medians and their ratio.
#   bench-display.sh [build-dir] [switches]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/default}
switches=${2:-200}
program=$build/bench/display_switch
[ -x "$program" ] || { echo "bench-display: build $program first (cmake --build $build)" >&2; exit 2; }

# The primary output is the one marked primary, else the first connected one (as the program picks).
exec "$here/with-xvnc.sh" bash -c '
  output=$(xrandr --query | awk "/ connected primary /{print \$1; exit}")
  [ -n "$output" ] || output=$(xrandr --query | awk "/ connected /{print \$1; exit}")
  [ -n "$output" ] || { echo "bench-display: no connected output" >&2; exit 2; }
  exec "$0" "$output" "$1"
' "$program" "$switches"
