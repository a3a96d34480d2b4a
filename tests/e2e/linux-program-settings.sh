#!/usr/bin/env bash
# The whole Linux program, run as an ordinary user (nobody), when its configuration is not what it
# should be, on a private 800x600 Xvnc with an XEmbed tray: the exact message boxes, and nothing
# written or lost.
#  1. No install key: "Tavelin was not installed properly. Please reinstall." and the program ends
#     with the screen, the settings folder and the user's folders untouched.
#  2. A settings file the user cannot read: "not configured", no display change; the editor's
#     Apply reports "Unable to write to <file>." and stays open; the file is neither replaced
#     nor changed.
#  3. A settings folder the user cannot write (a configured user): the start switches the screen;
#     Apply reports "Unable to write to <file>." and stays open; the file is unchanged.
#   linux-program-settings.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$(cd "${1:?usage: linux-program-settings.sh <build dir>}" && pwd)
program=$build/app/tavelin
for tool in "$program" "$build/tests/xdrive"; do [ -x "$tool" ] || { echo "FAIL: $tool is not built" >&2; exit 1; }; done
getent passwd nobody >/dev/null || { echo "SKIP: no user \"nobody\""; exit 77; }

if [ "${2:-}" != "--inside-xvnc" ]; then
  exec "$scripts/with-xvnc.sh" -g 800x600 bash "$0" "$build" --inside-xvnc
fi

source "$scripts/linux-program-lib.sh"
source "$here/program-lib.sh"
e2e_begin settings
# Rights are what these cases are about, and root has them all: the program runs as nobody.
user=nobody
settings=$data/$user
TAVELIN_RUN_AS=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups --)
chmod 755 "$work" "$work/etc" "$work/etc/xdg"
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root to run the program as another user"; exit 77; }
printf 'pcm.!default { type null }\n' >"$work/null-sound.conf"
chmod 644 "$work/null-sound.conf"
tavelin_trayer || fail "trayer did not start"

# Gives nobody fresh folders of its own.
fresh_home() {
  rm -rf "$work/home" "$work/run" && tavelin_sandbox "$work"
  chown -R nobody "$work/home" "$work/run"
}
start() { tavelin_start "$work" "$program" ALSA_CONFIG_PATH="$work/null-sound.conf"; }

# A listing of everything under the folders where the program keeps anything (the settings, the
# install key, the run-at-log-on entries, the user's registry): rights, owner, size, time.
snapshot() {
  find "$data" "$work/etc" "$work/home/.config" -printf '%p %m %u %s %T@\n' 2>/dev/null | sort
  md5sum "$settings" 2>/dev/null || true
}
expect_unchanged() {
  after=$(snapshot)
  [ "$before" = "$after" ] || fail "files changed: $(diff <(echo "$before") <(echo "$after") || true)"
}

not_configured='Select your prefered screen resolution and color depth and then click on "Apply".'

# --- 1. no install key ----------------------------------------------------------------------------
mv "$work/etc/xdg/tavelin/machine.reg" "$work/machine.reg"
chown nobody "$data"
fresh_home
before=$(snapshot)
start
e2e_expect_box "Tavelin was not installed properly. Please reinstall."
tavelin_wait_exit "$TAVELIN_PID" 5 || fail "the program goes on without its install key"
status=0
wait "$TAVELIN_PID" || status=$?
TAVELIN_PID=
[ "$(tavelin_screen_size)" = 800x600 ] || fail "the screen was switched to $(tavelin_screen_size)"
expect_unchanged
echo "PASS 1: no install key: the box, the end (status $status), nothing read or written"
mv "$work/machine.reg" "$work/etc/xdg/tavelin/machine.reg"

# --- 2. a settings file the user cannot read -------------------------------------------------------
tavelin_user_file "$settings" 3 32 1 1
chown nobody "$settings"
chmod 000 "$settings"
fresh_home
before=$(snapshot)
start
e2e_expect_box "$not_configured"
xdrive -t 6 wait-none "${TAVELIN_LOGO[@]}" || fail "the logo stays"
[ "$(tavelin_screen_size)" = 800x600 ] || fail "the screen was switched to $(tavelin_screen_size)"
icon=$(tavelin_wait_tray_icon 5) || fail "no tray icon"
e2e_apply_refused "/*/data/nobody" "$not_configured"
e2e_exit
expect_unchanged
echo "PASS 2: an unreadable settings file reads as not configured and is never replaced"

# --- 3. a settings folder the user cannot write --------------------------------------------------
chown root "$data"
chmod 755 "$data"
chmod 644 "$settings"
tavelin_user_file "$settings" 3 32 0 0
fresh_home
before=$(snapshot)
start
agent=$(e2e_expect_notification 10)
[ "$(tavelin_screen_size)" = 1024x768 ] || fail "the screen is $(tavelin_screen_size), not 1024x768"
e2e_no_box
icon=$(tavelin_wait_tray_icon 5) || fail "no tray icon"
e2e_apply_refused "/*/data/nobody"
e2e_exit
expect_unchanged
echo "PASS 3: a read-only settings folder: the start applies the mode, Apply is refused, nothing lost"
