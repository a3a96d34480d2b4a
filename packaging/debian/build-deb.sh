#!/usr/bin/env bash
# Builds the Debian package tavelin_<version>_amd64.deb from a built Linux program.
#   build-deb.sh <program> <version> <output folder>
# Needs dpkg-dev (dpkg-shlibdeps) and binutils; no root: every file goes in as root's.
set -euo pipefail
program=${1:?usage: build-deb.sh <program> <version> <output folder>}
version=${2:?version}
out=${3:?output folder}
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
artwork=$source_dir/app/artwork
fail() { echo "build-deb: $*" >&2; exit 1; }

[ -x "$program" ] || fail "$program is not built"

# The icons are the program's own artwork, at the sizes the hicolor theme keeps.
png_size() {  # width x height from the PNG header
  local hex
  hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
  echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}
for size in 16 32 48; do
  icon=$artwork/tavelin-$size.png
  [ -f "$icon" ] || fail "missing icon $icon (the program's artwork at ${size}x$size)"
  [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$icon is not a PNG image"
  [ "$(png_size "$icon")" = "${size}x$size" ] || fail "$icon is $(png_size "$icon"), not ${size}x$size"
done

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d "${TMPDIR:-/tmp}/tavelin-deb.XXXXXX")
trap 'rm -rf "$stage"' EXIT
root=$stage/tavelin
umask 022
mkdir -p "$root/DEBIAN" "$root/usr/bin" "$root/etc/xdg/tavelin" "$root/usr/share/applications" \
  "$root/usr/share/man/man1" "$root/usr/share/doc/tavelin"

install -m 0755 "$program" "$root/usr/bin/tavelin"
strip --remove-section=.comment --remove-section=.note --strip-unneeded "$root/usr/bin/tavelin"
# The speech engine's silent audio output, where the program looks for it.
silent_output=$(dirname "$program")/../lib/tavelin/libpcaudio.so.0
[ -f "$silent_output" ] || fail "$silent_output is not built"
install -D -m 0644 "$silent_output" "$root/usr/lib/tavelin/libpcaudio.so.0"
strip --remove-section=.comment --remove-section=.note --strip-unneeded "$root/usr/lib/tavelin/libpcaudio.so.0"
install -m 0644 "$here/machine.reg" "$root/etc/xdg/tavelin/machine.reg"
install -m 0644 "$here/tavelin.desktop" "$root/usr/share/applications/tavelin.desktop"
for size in 16 32 48; do
  install -D -m 0644 "$artwork/tavelin-$size.png" "$root/usr/share/icons/hicolor/${size}x$size/apps/tavelin.png"
done
sed "s/@VERSION@/$version/g" "$here/tavelin.1" | gzip -9n >"$root/usr/share/man/man1/tavelin.1.gz"
install -m 0644 "$here/copyright" "$root/usr/share/doc/tavelin/copyright"
sed "s/@VERSION@/$version/g" "$here/changelog.in" | gzip -9n >"$root/usr/share/doc/tavelin/changelog.gz"
chmod 0644 "$root/usr/share/man/man1/tavelin.1.gz" "$root/usr/share/doc/tavelin/changelog.gz"

# The dependencies are the shared libraries the program really links, as dpkg-shlibdeps finds
# them in the installed packages' symbol files.
mkdir -p "$stage/src/debian"
printf 'Source: tavelin\n\nPackage: tavelin\nArchitecture: amd64\n' >"$stage/src/debian/control"
depends=$(cd "$stage/src" && dpkg-shlibdeps -O "$root/usr/bin/tavelin" 2>"$stage/shlibdeps.log") ||
  { cat "$stage/shlibdeps.log" >&2; fail "dpkg-shlibdeps failed"; }
depends=${depends#shlibs:Depends=}
[ -n "$depends" ] || fail "no dependencies found for the program"
# The speech engine, ALSA and the resampler are loaded while the program speaks, so no link
# names them.
depends="$depends, libespeak-ng1, libasound2, libsoxr0"

installed_size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@INSTALLED_SIZE@/$installed_size/" -e "s/@DEPENDS@/$depends/" \
  "$here/control.in" >"$root/DEBIAN/control"
install -m 0644 "$here/conffiles" "$root/DEBIAN/conffiles"
install -m 0755 "$here/postinst" "$here/postrm" "$root/DEBIAN/"
(cd "$root" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | LC_ALL=C sort -z | xargs -0 md5sum) \
  >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/md5sums"

deb=$out/tavelin_${version}_amd64.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
