#!/usr/bin/env bash
# The Debian package: builds it from this build, checks its contents, rights and dependencies,
# runs lintian, then installs it into a throwaway copy of this system (an overlay over / in a
# private mount namespace, so nothing of it reaches the real system) where ordinary users run
# the installed program on a private X server: it finds the install key, applies a user's mode
# and writes that user's file on Apply; another user can neither change that file nor steer a
# third user through a file planted under the third user's name. Then it upgrades, removes and
# purges the package. When no overlay can be made it installs on this system, only when no
# tavelin package is there already, and purges it and its users again at the end. Skipped (77)
# when not run as root.
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

# Runs a command as user $1 with a clean environment of that user's (setpriv runs it in its own
# process, so its PID is the command's).
as_user() {
  local user=$1
  shift
  setpriv --reuid="$user" --regid="$user" --init-groups -- env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="/home/$user" USER="$user" LOGNAME="$user" LANG=C.UTF-8 \
    ${DISPLAY:+DISPLAY=$DISPLAY} "$@"
}

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
  # What the program's checks leave for a reader (event log, screenshots) reaches the real build
  # folder, not the throwaway copy.
  mkdir -p "$build/e2e/package"
  mount --bind "$build/e2e/package" "$work/root$build/e2e/package"
  # The worktree and this build are visible in the overlay under the same paths.
  exec chroot "$work/root" env TMPDIR=/tmp bash "$self" "$build" installed "$work/tavelin.deb" /tmp/tavelin-package
fi

# --- On a private X server with an XEmbed tray, as root in the installed system: the installed
# program, started by ordinary users from the PATH.
if [ "$stage" = program ]; then
  source "$scripts/linux-program-lib.sh"
  source "$here/program-lib.sh"
  tavelin_session package
  pids=()
  trap e2e_end EXIT
  chmod 755 "$work"
  printf 'pcm.!default { type null }\n' >"$work/null-sound.conf"
  chmod 644 "$work/null-sound.conf"
  tavelin_trayer || fail "trayer did not start"
  # Starts the installed program as user $1, with a private runtime folder and no sound.
  start_as() {
    mkdir -p -m 700 "$work/run-$1"
    chown "$1" "$work/run-$1"
    tavelin_check_log "$work/program.log" || TAVELIN_LOG_FAULT=1
    as_user "$1" XDG_RUNTIME_DIR="$work/run-$1" ALSA_CONFIG_PATH="$work/null-sound.conf" NO_AT_BRIDGE=1 tavelin >"$work/program.log" 2>&1 &
    TAVELIN_PID=$!
  }
  anna=/var/lib/tavelin/tavelin-anna
  carol=/var/lib/tavelin/tavelin-carol

  # The first user: the key is found (no box), the mode applied, and Apply writes the user's file.
  start_as tavelin-anna
  tavelin_wait_sized_window 258x81 10 >/dev/null || fail "no logo"
  agent=$(e2e_expect_notification 10)
  [ "$(tavelin_screen_size)" = 1024x768 ] || fail "the screen is $(tavelin_screen_size), not the user's 1024x768"
  e2e_no_box
  # Apply's notification is told from this one when this one has gone.
  tavelin_wait_unmapped "$agent" 10 || fail "the notification window did not close"
  icon=$(tavelin_wait_tray_icon 5) || fail "no tray icon"
  editor=$(e2e_menu "Configure program" --until-map "${TAVELIN_EDITOR[@]}") || fail "no settings editor"
  # The track bar one step left (800x600), then Apply.
  e2e_step_left_and_apply "$editor" --until-unmapped
  e2e_expect_notification 10 >/dev/null
  [ "$(tavelin_screen_size)" = 800x600 ] || fail "Apply left the screen at $(tavelin_screen_size)"
  [ "$(stat -c '%U %a' "$anna")" = "tavelin-anna 644" ] || fail "the settings file is $(stat -c '%U %a' "$anna")"
  [ "$(cat "$anna")" = $'[Main]\nresolution=2\nautorun=0\nautoclose=0\nglebia=32\nskonfigurowany=1' ] ||
    fail "the settings file holds: $(cat "$anna")"
  e2e_exit
  note "a user's start applied 1024x768, Apply wrote $anna and switched to 800x600"

  # The third user: the file planted under that name is neither read (not configured, no switch)
  # nor written through.
  planted=$(md5sum "$carol")
  start_as tavelin-carol
  e2e_expect_box 'Select your prefered screen resolution and color depth and then click on "Apply".' >/dev/null
  [ "$(tavelin_screen_size)" = 800x600 ] || fail "a planted file switched the screen to $(tavelin_screen_size)"
  icon=$(tavelin_wait_tray_icon 5) || fail "no tray icon"
  e2e_apply_refused "$carol" 'Select your prefered screen resolution*' >/dev/null
  e2e_exit
  [ "$(md5sum "$carol")" = "$planted" ] || fail "the planted file changed"
  note "a file planted under a user's name reads as not configured and Apply refuses to write it"
  exit 0
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
    rm -f /etc/xdg/autostart/tavelin-other-test.desktop
  fi
}
trap cleanup EXIT

note "installing"
dpkg -i "$deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg -i failed"; }
dpkg-query -W -f='${Status}' tavelin | grep -qx 'install ok installed' || fail "the package is not installed"
[ "$(stat -c '%a %U %G' /var/lib/tavelin)" = "1777 root root" ] ||
  fail "/var/lib/tavelin has the rights $(stat -c '%a %U %G' /var/lib/tavelin)"
[ "$(stat -c '%a %U' /etc/xdg/tavelin/machine.reg)" = "644 root" ] || fail "the install key's rights"
command -v tavelin | grep -qx /usr/bin/tavelin || fail "tavelin is not on the PATH"

for u in "${users[@]}"; do useradd -m -U -s /bin/sh "$u"; done
anna=/var/lib/tavelin/tavelin-anna
carol=/var/lib/tavelin/tavelin-carol
# The first user's own configured file: 1024x768 at 32 bits.
as_user tavelin-anna sh -c "printf '[Main]\\nresolution=3\\nautorun=0\\nautoclose=0\\nglebia=32\\nskonfigurowany=1\\n' >$anna"

# A second user cannot change, remove or replace the first user's file.
as_user tavelin-bob sh -c "echo resolution=1 >>$anna" 2>/dev/null && fail "another user appended to the file"
as_user tavelin-bob rm -f "$anna" 2>/dev/null && [ ! -e "$anna" ] && fail "another user removed the file"
as_user tavelin-bob sh -c "echo '[Main]' >/var/lib/tavelin/swap && mv -f /var/lib/tavelin/swap $anna" 2>/dev/null &&
  fail "another user replaced the file"
grep -qx 'resolution=3' "$anna" || fail "the file changed under another user's hands"
note "another user can neither change, remove nor replace a user's file"

# The second user plants a file, writable by all, under a third user's name: a configured 1280x1024.
as_user tavelin-bob sh -c "printf '[Main]\\nresolution=4\\nskonfigurowany=1\\n' >$carol; chmod 666 $carol"

"$scripts/with-xvnc.sh" -g 800x600 bash "$self" "$build" program "$scratch" ||
  fail "the installed program failed its checks"
note "the installed program applied a user's mode and wrote the user's file; a planted file was ignored"

# An upgrade keeps an administrator's edit of the install key, the folder's rights and the
# users' files.
sed -i 's|/var/lib/tavelin/|/srv/tavelin/|' /etc/xdg/tavelin/machine.reg
dpkg -i "$(dirname "$deb")/tavelin-upgrade.deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "upgrading failed"; }
dpkg-query -W -f='${Version}' tavelin | grep -q '\.1$' || fail "the package was not upgraded"
grep -q '"sciezka"="/srv/tavelin/"' /etc/xdg/tavelin/machine.reg || fail "an upgrade overwrote the edited install key"
[ "$(stat -c '%a %U' /var/lib/tavelin)" = "1777 root" ] || fail "an upgrade changed the settings folder's rights"
grep -qx 'resolution=2' "$anna" || fail "an upgrade changed a user's settings"
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
