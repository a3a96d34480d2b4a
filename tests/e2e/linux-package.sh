#!/usr/bin/env bash
# The Debian package: builds it from this build, checks its contents, rights and dependencies,
# runs lintian, then installs it into a throwaway copy of this system (an overlay over / in a
# private mount namespace, so nothing of it reaches the real system) where ordinary users run
# the installed program and read and write their settings as the program does; then removes and
# purges it. When no overlay can be made it installs on this system, only when no tavelin
# package is there already, and purges it and its users again at the end. Skipped (77) when
# not run as root.
#   linux-package.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
self=$here/$(basename "$0")
source_dir=$(cd "$here/../.." && pwd)
scripts=$source_dir/scripts
build=$(cd "${1:?usage: linux-package.sh <build dir>}" && pwd)
stage=${2:-outside}
fail() { echo "linux-package: FAIL: $*" >&2; exit 1; }
note() { echo "linux-package: $*"; }

# --- Outside: build the package and look at it.
if [ "$stage" = outside ]; then
  rm -f "$build"/packages/tavelin_*.deb
  cmake --build "$build" --target deb >"$build/package-build.log" 2>&1 ||
    { cat "$build/package-build.log" >&2; fail "the package did not build"; }
  deb=$(ls "$build"/packages/tavelin_*_amd64.deb)
  note "built $deb ($(stat -c %s "$deb") bytes)"

  listing=$(dpkg-deb -c "$deb" | awk '{print $1, $2, $6}')
  expect_entry() {
    grep -qxF -e "$1" <<<"$listing" || { echo "$listing" >&2; fail "the package lacks \"$1\""; }
  }
  expect_entry "-rwxr-xr-x root/root ./usr/bin/tavelin"
  expect_entry "-rw-r--r-- root/root ./etc/xdg/tavelin/machine.reg"
  expect_entry "-rw-r--r-- root/root ./usr/share/applications/tavelin.desktop"
  for size in 16 32 48; do
    expect_entry "-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x$size/apps/tavelin.png"
  done
  expect_entry "-rw-r--r-- root/root ./usr/share/man/man1/tavelin.1.gz"
  expect_entry "-rw-r--r-- root/root ./usr/share/doc/tavelin/copyright"
  [ "$(dpkg-deb -I "$deb" conffiles)" = /etc/xdg/tavelin/machine.reg ] || fail "the install key is not a configuration file"
  depends=$(dpkg-deb -f "$deb" Depends)
  note "depends: $depends"
  for library in libc6 libgtk-3-0 libxrandr2; do
    grep -q "\b$library\b" <<<"$depends" || fail "the dependencies lack $library"
  done
  grep -Eq -- '-dev( |,|$)' <<<"$depends" && fail "the dependencies name a development package"

  unpacked=$(mktemp -d "${TMPDIR:-/tmp}/tavelin-deb-check.XXXXXX")
  trap 'rm -rf "$unpacked"' EXIT
  dpkg-deb -x "$deb" "$unpacked/root"
  file "$unpacked/root/usr/bin/tavelin" | grep -q ', stripped' || fail "/usr/bin/tavelin is not stripped"
  cmp -s "$unpacked/root/etc/xdg/tavelin/machine.reg" "$source_dir/packaging/debian/machine.reg" || fail "the install key differs"
  grep -q '"sciezka"="/var/lib/tavelin/"' "$unpacked/root/etc/xdg/tavelin/machine.reg" || fail "the key names another folder"
  zcat "$unpacked/root/usr/share/man/man1/tavelin.1.gz" | grep -q 'machine.reg' || fail "the manual page does not name the install key"

  lintian_status=0
  # lintian leaves files in its temporary folder: give it one of ours.
  mkdir "$unpacked/tmp"
  TMPDIR=$unpacked/tmp lintian --fail-on error "$deb" >"$build/lintian.log" 2>&1 || lintian_status=$?
  note "lintian: $(grep -cv 'running with root' "$build/lintian.log") remarks"
  grep -v 'running with root' "$build/lintian.log" || true
  [ "$lintian_status" -eq 0 ] || fail "lintian reports errors"

  if [ "$(id -u)" -ne 0 ]; then
    echo "linux-package: SKIP: installing the package needs root (the contents and lintian passed)"
    exit 77
  fi
  work=$(mktemp -d "${TMPDIR:-/tmp}/tavelin-package.XXXXXX")
  trap 'rm -rf "$unpacked" "$work"' EXIT
  cp "$deb" "$work/tavelin.deb"
  # A later version of the same build, to upgrade to.
  version=$(dpkg-deb -f "$deb" Version)
  bash "$source_dir/packaging/debian/build-deb.sh" "$build/app/tavelin" "$version.1" "$work/upgrade" >/dev/null
  mv "$work/upgrade/tavelin_$version.1_amd64.deb" "$work/tavelin-upgrade.deb"
  if unshare --mount --propagation private bash "$self" "$build" namespace "$work"; then
    note "PASS"
    exit 0
  else
    status=$?
  fi
  [ "$status" -eq 3 ] || fail "the installed package failed its checks"
  # No overlay here: install on this very system, but only over nothing of ours.
  if dpkg-query -W -f='${Status}' tavelin 2>/dev/null | grep -q installed; then
    echo "linux-package: SKIP: no throwaway root can be made here and a tavelin package is installed already"
    exit 77
  fi
  note "no overlay file system: installing on this system and purging again"
  TAVELIN_PACKAGE_ON_HOST=1 bash "$self" "$build" installed "$work/tavelin.deb" "$work"
  note "PASS"
  exit 0
fi

# --- In a private mount namespace: a copy-on-write view of / to install into. Exit 3: no overlay.
if [ "$stage" = namespace ]; then
  work=$3
  mkdir -p "$work/upper" "$work/overlay-work" "$work/root"
  mount -t overlay tavelin-package -o "lowerdir=/,upperdir=$work/upper,workdir=$work/overlay-work" "$work/root" 2>/dev/null ||
    exit 3
  for fs in /proc /dev /sys; do mount --rbind "$fs" "$work/root$fs"; done
  # The worktree and this build are visible in the overlay under the same paths.
  exec chroot "$work/root" env TMPDIR=/tmp bash "$self" "$build" installed "$work/tavelin.deb" /tmp/tavelin-package
fi

# --- Installed: run as root in the throwaway root (or on this system), with the package file.
[ "$stage" = installed ] || fail "unknown stage $stage"
deb=$3
scratch=$4
mkdir -p "$scratch"
users=(tavelin-anna tavelin-bob tavelin-carol)
cleanup() {
  if [ -n "${TAVELIN_PACKAGE_ON_HOST:-}" ]; then
    dpkg --purge tavelin >/dev/null 2>&1 || true
    for u in "${users[@]}"; do userdel -r "$u" >/dev/null 2>&1 || true; done
    rm -f /usr/local/bin/tavelin-settings-probe /etc/xdg/autostart/tavelin-other-test.desktop
  fi
}
trap cleanup EXIT

# Runs a command as user $1 with a clean environment of that user's (setpriv runs it in its own
# process, so its PID is the command's).
as_user() {
  local user=$1
  shift
  setpriv --reuid="$user" --regid="$user" --init-groups -- env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="/home/$user" USER="$user" LOGNAME="$user" LANG=C.UTF-8 \
    ${DISPLAY:+DISPLAY=$DISPLAY} "$@"
}

note "installing"
dpkg -i "$deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg -i failed"; }
dpkg-query -W -f='${Status}' tavelin | grep -qx 'install ok installed' || fail "the package is not installed"
[ "$(stat -c '%a %U %G' /var/lib/tavelin)" = "1777 root root" ] ||
  fail "/var/lib/tavelin has the rights $(stat -c '%a %U %G' /var/lib/tavelin)"
[ "$(stat -c '%a %U' /etc/xdg/tavelin/machine.reg)" = "644 root" ] || fail "the install key's rights"
command -v tavelin | grep -qx /usr/bin/tavelin || fail "tavelin is not on the PATH"

for u in "${users[@]}"; do useradd -m -U -s /bin/sh "$u"; done
install -m 0755 "$build/tests/tavelin_settings_probe" /usr/local/bin/tavelin-settings-probe
probe() { as_user "$@" tavelin-settings-probe; }

# A new user finds the key, is not configured yet, and an Apply writes the user's own file.
out=$(probe tavelin-anna) || fail "the settings probe failed for a new user: $out"
grep -qx 'install path: /var/lib/tavelin/' <<<"$out" || fail "the install key was not read: $out"
grep -qx 'configured: 0' <<<"$out" || fail "a new user counts as configured: $out"
out=$(as_user tavelin-anna tavelin-settings-probe apply 3 16) || fail "the user's Apply failed: $out"
anna=/var/lib/tavelin/tavelin-anna
[ "$(stat -c '%U %a' "$anna")" = "tavelin-anna 644" ] || fail "the settings file is $(stat -c '%U %a' "$anna")"
[ "$(cat "$anna")" = $'[Main]\nresolution=3\nautorun=0\nautoclose=0\nglebia=16\nskonfigurowany=1' ] ||
  fail "the settings file holds: $(cat "$anna")"
note "a user's Apply wrote $anna"

# A second user cannot change, remove or replace the first user's file.
as_user tavelin-bob sh -c "echo resolution=1 >>$anna" 2>/dev/null && fail "another user appended to the file"
as_user tavelin-bob rm -f "$anna" 2>/dev/null && [ ! -e "$anna" ] && fail "another user removed the file"
as_user tavelin-bob sh -c "echo '[Main]' >/var/lib/tavelin/swap && mv -f /var/lib/tavelin/swap $anna" 2>/dev/null &&
  fail "another user replaced the file"
grep -qx 'resolution=3' "$anna" || fail "the file changed under another user's hands"

# A file that the second user plants under a third user's name is not read, and the third
# user's Apply says it cannot write rather than going through.
as_user tavelin-bob sh -c 'printf "[Main]\nresolution=4\nskonfigurowany=1\n" >/var/lib/tavelin/tavelin-carol; chmod 666 /var/lib/tavelin/tavelin-carol'
out=$(probe tavelin-carol) || fail "the probe failed for the third user: $out"
grep -qx 'configured: 0' <<<"$out" && grep -qx 'mode: 2' <<<"$out" || fail "a planted file was read: $out"
if out=$(as_user tavelin-carol tavelin-settings-probe apply 1 32); then fail "an Apply went through a planted file"; fi
grep -qx 'error: Unable to write to /var/lib/tavelin/tavelin-carol' <<<"$out" || fail "the refused Apply said: $out"
note "a planted file is neither read nor written through"

# The installed program, started by an ordinary user from the PATH on a private X server.
run_program() {
  source "$scripts/linux-program-lib.sh"
  TAVELIN_PID=
  trap '[ -z "$TAVELIN_PID" ] || tavelin_stop "$TAVELIN_PID"' EXIT
  as_user tavelin-anna tavelin >"$scratch/program.log" 2>&1 &
  TAVELIN_PID=$!
  window=$(tavelin_wait_window '^Tavelin$' 15) || { cat "$scratch/program.log" >&2; fail "no window titled Tavelin"; }
  tavelin_geometry "$window"
  # The logo, not a message box about a missing installation.
  [ "$WIN_W" = 258 ] && [ "$WIN_H" = 81 ] || fail "the first window is ${WIN_W}x$WIN_H, not the 258x81 logo"
  sleep 1
  tavelin_running || { cat "$scratch/program.log" >&2; fail "the installed program ended by itself"; }
  # Checks of what the program does at start-up with the user's settings go here: the mode
  # applied (xrandr), the file written by Apply in the settings editor.
  tavelin_stop "$TAVELIN_PID"
  TAVELIN_PID=
  echo "ok"
}
export -f run_program as_user fail note
export scripts scratch
out=$("$scripts/with-xvnc.sh" -g 1024x768 bash -c run_program) || fail "the installed program: $out"
note "the installed program started for an ordinary user and showed its logo"

# An upgrade keeps an administrator's edit of the install key, the folder's rights and the
# users' files.
sed -i 's|/var/lib/tavelin/|/srv/tavelin/|' /etc/xdg/tavelin/machine.reg
dpkg -i "$(dirname "$deb")/tavelin-upgrade.deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "upgrading failed"; }
dpkg-query -W -f='${Version}' tavelin | grep -q '\.1$' || fail "the package was not upgraded"
grep -q '"sciezka"="/srv/tavelin/"' /etc/xdg/tavelin/machine.reg || fail "an upgrade overwrote the edited install key"
[ "$(stat -c '%a %U' /var/lib/tavelin)" = "1777 root" ] || fail "an upgrade changed the settings folder's rights"
grep -qx 'resolution=3' "$anna" || fail "an upgrade changed a user's settings"
note "upgraded: the edited key, the folder's rights and the users' files are kept"

# Removing leaves the users' files and the key; the program's own log-on entry goes, others stay.
mkdir -p /etc/xdg/autostart
printf '[Desktop Entry]\nType=Application\nName=Tavelin\nExec=/usr/bin/tavelin\n' >/etc/xdg/autostart/tavelin.desktop
printf '[Desktop Entry]\nType=Application\nName=Other\nExec=/usr/bin/other\n' >/etc/xdg/autostart/tavelin-other-test.desktop
dpkg -r tavelin >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg -r failed"; }
for gone in /usr/bin/tavelin /usr/share/applications/tavelin.desktop /usr/share/man/man1/tavelin.1.gz \
  /usr/share/icons/hicolor/48x48/apps/tavelin.png /etc/xdg/autostart/tavelin.desktop; do
  [ ! -e "$gone" ] || fail "$gone is left after removal"
done
[ -f "$anna" ] || fail "removing the package removed a user's settings"
[ -f /etc/xdg/tavelin/machine.reg ] || fail "removing (not purging) removed the install key"
[ -f /etc/xdg/autostart/tavelin-other-test.desktop ] || fail "removal took another program's log-on entry"
rm -f /etc/xdg/autostart/tavelin-other-test.desktop
note "removed: the program is gone, the users' settings and the key stay"

dpkg -P tavelin >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg -P failed"; }
for gone in /var/lib/tavelin /etc/xdg/tavelin; do
  [ ! -e "$gone" ] || fail "$gone is left after purging"
done
note "purged: the settings folder and the key are gone"
