#!/usr/bin/env bash
# The Linux program on a wlroots desktop: a minimal wlroots compositor (tests' own, headless,
# outputs HEADLESS-1 800x600 at (0,0) and HEADLESS-2 1024x768 beside it, each offering 640x480,
# 800x600 and 1024x768) with the program's windows on its XWayland. A user who asks for 1024x768
# gets it on the primary output (the one at (0,0)) through the compositor's output management,
# "User resolution applied." at that output's width - 305, height - 144, the other output as it
# was; 1280x1024, not offered, is "Error 4" and "Mode not supported." with nothing changed. On a
# second compositor, whose outputs change under the first configuration (cancelled) and which
# refuses 800x600: 640x480 is applied at the second try, 800x600 is "Error 3".
#   linux-wayland-wlroots.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-wayland-wlroots.sh <build dir>}" && pwd)
program=$build/app/tavelin
compositor=$build/tests/wlr_test_compositor
for f in "$program" "$compositor"; do [ -x "$f" ] || { echo "FAIL: $f is not built" >&2; exit 1; }; done
command -v Xwayland >/dev/null || { echo "FAIL: Xwayland is not installed" >&2; exit 1; }

source "$scripts/linux-program-lib.sh"
source "$here/program-lib.sh"
source "$here/wayland-lib.sh"
DISPLAY=
e2e_begin wayland-wlroots

# Starts the test compositor ($1: a name, then its options) in a runtime folder of its own and
# waits for its XWayland; sets DISPLAY and WAYLAND (the socket's full path).
start_compositor() {
  local name=$1 run=$work/$1-run
  shift
  mkdir -p "$run" && chmod 700 "$run"
  XDG_RUNTIME_DIR=$run WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    "$compositor" --ready "$run/ready" "$@" >"$work/$name.log" 2>&1 &
  pids+=("$!")
  xdrive wait-line "$run/ready" '^DISPLAY=' >/dev/null || fail "the compositor $name did not get ready"
  WAYLAND=$run/$(sed -n 's/^WAYLAND_DISPLAY=//p' "$run/ready")
  export DISPLAY=$(sed -n 's/^DISPLAY=//p' "$run/ready")
}

# Prints output $1's current mode and position as the compositor's own client reports them.
output_state() {
  WAYLAND_DISPLAY=$WAYLAND wlr-randr | awk -v o="$1" '
    $1 == o { on = 1; next } /^[^ ]/ { on = 0 }
    on && /\(current\)/ { mode = $1 } on && /Position:/ { pos = $2 }
    END { print mode "@" pos }'
}

start_compositor plain --modes 640x480,800x600,1024x768 --output 800x600 --output 1024x768
[ "$(output_state HEADLESS-1)" = "800x600@0,0" ] || fail "HEADLESS-1 starts as $(output_state HEADLESS-1)"
second=$(output_state HEADLESS-2)

run_program 3
expect_notification 1024x768 "User resolution applied."
e2e_no_box
[ "$(output_state HEADLESS-1)" = "1024x768@0,0" ] || fail "HEADLESS-1 is $(output_state HEADLESS-1) after the change"
[ "$(output_state HEADLESS-2)" = "$second" ] || fail "HEADLESS-2 changed from $second to $(output_state HEADLESS-2)"
end_program

run_program 4
e2e_expect_box "Error 4: Your machine does not support this mode."
expect_notification 1024x768 "Mode not supported."
[ "$(output_state HEADLESS-1)" = "1024x768@0,0" ] || fail "HEADLESS-1 is $(output_state HEADLESS-1) after a mode it does not offer"
end_program
grep -q "configuration applied" "$work/plain.log" && [ "$(grep -c '^configuration' "$work/plain.log")" = 1 ] ||
  fail "the compositor was asked other than once: $(cat "$work/plain.log")"

start_compositor cancelling --modes 640x480,800x600,1024x768 --output 1024x768 --cancel 1 --refuse 800x600
run_program 1
expect_notification 640x480 "User resolution applied."
[ "$(output_state HEADLESS-1)" = "640x480@0,0" ] || fail "HEADLESS-1 is $(output_state HEADLESS-1) after the second try"
grep -q "configuration cancelled" "$work/cancelling.log" || fail "the first configuration was not cancelled"
end_program

run_program 2
expect_box_unanswered "Error 3: Unkown error. Try other graphic modes."
grep -q "configuration refused" "$work/cancelling.log" || fail "the compositor was not asked for 800x600"
[ "$(output_state HEADLESS-1)" = "640x480@0,0" ] || fail "HEADLESS-1 is $(output_state HEADLESS-1) after the refusal"
end_program
echo "PASS: on a wlroots compositor the primary output takes the user's mode (the other output as it was), a mode not offered is refused before asking, a cancelled configuration is tried again, a refusal is an error"
