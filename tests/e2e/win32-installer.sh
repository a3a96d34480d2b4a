#!/usr/bin/env bash
# The Windows installer under Wine: builds it with NSIS, installs silently, checks the program,
# the install key in the 64-bit registry view, the settings folder and its rights, the Start-menu
# shortcut and the entry in the list of installed programs; writes a user's settings file in the
# installed folder as the program's Apply does, then starts the installed program on an 800x600
# screen: it reads the key and that file (a box about a missing installation would end it) and
# switches to the user's 1024x768. Uninstalls silently and checks that all of it is gone, except a
# folder that still holds a user's settings file.
#   win32-installer.sh <build dir>
set -euo pipefail
build=$(cd "${1:?usage: win32-installer.sh <build dir>}" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$build/e2e/win32-installer
export TAVELIN_E2E_ARTIFACTS=$work
source "$root/scripts/linux-program-lib.sh"
fail() {
  echo "win32-installer: FAIL: $*" >&2
  tavelin_failure_report
  exit 1
}
note() { echo "win32-installer: $*"; }

if [ -z "${WIN32_INSTALLER_DISPLAY_READY:-}" ]; then
  [ -x "$build/tests/xdrive" ] || fail "$build/tests/xdrive was not built"
  rm -f "$build"/packages/tavelin-*-setup.exe
  cmake --build "$build" --target installer >"$build/installer-build.log" 2>&1 ||
    { cat "$build/installer-build.log" >&2; fail "the installer did not build"; }
  setup=$(ls "$build"/packages/tavelin-*-setup.exe)
  note "built $setup ($(stat -c %s "$setup") bytes)"
  WIN32_INSTALLER_DISPLAY_READY=1 exec "$root/scripts/with-xvnc.sh" -g 800x600 bash "$0" "$@"
fi
setup=$(ls "$build"/packages/tavelin-*-setup.exe)

rm -f "$work"/events.log "$work"/xdrive-*.png
mkdir -p "$work"
export TAVELIN_WINEPREFIX=$work/prefix
export TAVELIN_WINE_TIMEOUT=60
export WINEPREFIX=$TAVELIN_WINEPREFIX
wine() { "$root/scripts/wine-run.sh" "$@"; }
settle() { timeout 60 /usr/lib/wine/wineserver -w || true; }
stop_wine() { timeout 30 /usr/lib/wine/wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT

drive_c=$WINEPREFIX/drive_c
program_dir="$drive_c/Program Files/Tavelin"
settings_dir=$drive_c/ProgramData/Tavelin
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavelin.lnk"
key='HKLM\Software\Brenlow\Tavelin'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavelin'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'

# A prefix that an earlier, interrupted run left something in starts afresh.
if [ -e "$program_dir" ] || [ -e "$settings_dir" ]; then rm -rf "$WINEPREFIX"; fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine cmd /c exit 0 >/dev/null 2>&1 || true
  settle
fi

# Prints value $2 of key $1 as reg.exe shows it (the 64-bit view: reg.exe is a 64-bit program).
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
key_exists() { wine reg query "$1" >/dev/null 2>&1; }

install() {
  # Wine's icacls only names what it was asked to do: its debug channel shows the command line.
  WINEDEBUG=-all,fixme+icacls wine "$setup" /S 2>"$work/install.log" || fail "the installer failed ($?)"
  settle
}
uninstall() {
  # The uninstaller copies itself away and returns at once; the server's end is the real end.
  wine "$program_dir/uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller failed ($?)"
  settle
}

install
cmp -s "$program_dir/tavelin.exe" "$build/app/tavelin.exe" || fail "tavelin.exe is not the built program"
[ -f "$program_dir/uninstall.exe" ] || fail "no uninstaller"
[ -d "$settings_dir" ] || fail "no settings folder"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
[ "$(reg_value "$key" sciezka)" = 'C:\ProgramData\Tavelin\' ] || fail "sciezka is \"$(reg_value "$key" sciezka)\""
grep -q 'Wow6432Node\\\\Brenlow' "$WINEPREFIX/system.reg" && fail "the key went to the 32-bit view"
[ "$(reg_value "$uninstall_key" DisplayName)" = Tavelin ] || fail "no entry in the installed programs"
[ "$(reg_value "$uninstall_key" UninstallString)" = '"C:\Program Files\Tavelin\uninstall.exe"' ] ||
  fail "the uninstall command is $(reg_value "$uninstall_key" UninstallString)"
[ -n "$(reg_value "$uninstall_key" DisplayVersion)" ] || fail "no version in the installed programs"
rights='"C:\\ProgramData\\Tavelin" "/inheritance:r" "/grant:r" "*S-1-5-18:(OI)(CI)F" "*S-1-5-32-544:(OI)(CI)F" "*S-1-3-0:(OI)(CI)(IO)F" "*S-1-5-32-545:(WD,X,RA,S)"'
grep -qF "icacls.exe\" $rights" "$work/install.log" || { cat "$work/install.log" >&2; fail "the folder's rights were not set"; }
note "installed: program, key (64-bit view), settings folder and its rights, shortcut, uninstall entry"

# A user's start-up reads the key and the user's file; Apply writes it.
probe() { USER=tavelin-anna wine "$build/tests/tavelin_settings_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }
out=$(probe) || fail "the settings probe: $out"
grep -qxF 'install path: C:\ProgramData\Tavelin\' <<<"$out" || fail "the key was not read: $out"
out=$(probe apply 3 32) || fail "the user's Apply: $out"
[ -f "$settings_dir/tavelin-anna" ] || fail "Apply wrote no file in the settings folder: $out"
grep -q '^resolution=3' "$settings_dir/tavelin-anna" || fail "the user's file: $(cat "$settings_dir/tavelin-anna")"
note "a user's Apply wrote C:\\ProgramData\\Tavelin\\tavelin-anna"

# The installed program, started by that user, finds the key and the user's file: it shows its
# logo, switches the screen to the user's 1024x768 and reports it in a notification window.
USER=tavelin-anna wine "$program_dir/tavelin.exe" >"$work/program.log" 2>&1 &
program=$!
xdrive -t 30 -p "$program" wait-map --title '^Tavelin$' --size 258x81 >/dev/null ||
  { cat "$work/program.log" >&2; fail "the installed tavelin.exe showed no 258x81 logo"; }
xdrive -t 30 -p "$program" wait-map --title '^Tavix Agent 2.0$' --size 286x58 >/dev/null ||
  { cat "$work/program.log" >&2; fail "the installed tavelin.exe showed no notification"; }
[ "$(xdrive screen)" = 1024x768 ] || fail "the screen is $(xdrive screen), not the user's 1024x768"
kill -0 "$program" 2>/dev/null || fail "the installed tavelin.exe ended"
stop_wine
wait "$program" 2>/dev/null || true
note "the installed tavelin.exe read the key and the user's file and switched the screen to 1024x768"

# The program's own log-on entry goes with it; another program's stays.
wine reg add "$run_key" /v tavelin.exe /d '"C:\Program Files\Tavelin\tavelin.exe"' /f >/dev/null 2>&1
wine reg add "$run_key" /v other.exe /d 'C:\other.exe' /f >/dev/null 2>&1
uninstall
[ ! -e "$program_dir" ] || fail "the program folder is left: $(ls "$program_dir")"
[ ! -e "$shortcut" ] || fail "the shortcut is left"
key_exists "$key" && fail "the install key is left"
key_exists 'HKLM\Software\Brenlow' && fail "the empty Brenlow key is left"
key_exists "$uninstall_key" && fail "the uninstall entry is left"
[ -z "$(reg_value "$run_key" tavelin.exe)" ] || fail "the run-at-log-on value is left"
[ "$(reg_value "$run_key" other.exe)" = 'C:\other.exe' ] || fail "another program's log-on value went too"
[ -f "$settings_dir/tavelin-anna" ] || fail "the uninstaller removed a user's settings"
note "uninstalled: all gone but the folder that holds a user's settings"

# Installing over the kept folder, then uninstalling with the folder empty, removes it.
install
[ "$(reg_value "$key" sciezka)" = 'C:\ProgramData\Tavelin\' ] || fail "the key after a second install"
rm -f "$settings_dir/tavelin-anna"
uninstall
[ ! -e "$settings_dir" ] || fail "the empty settings folder is left"
[ ! -e "$program_dir" ] || fail "the program folder is left after the second uninstall"
wine reg delete "$run_key" /v other.exe /f >/dev/null 2>&1 || true
note "PASS"
