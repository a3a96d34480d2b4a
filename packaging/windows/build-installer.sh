#!/usr/bin/env bash
# Builds the Windows installer tavelin-<version>-setup.exe from a built tavelin.exe with NSIS.
#   build-installer.sh <tavelin.exe> <version> <output folder>
set -euo pipefail
program=${1:?usage: build-installer.sh <tavelin.exe> <version> <output folder>}
version=${2:?version}
out=${3:?output folder}
here=$(cd "$(dirname "$0")" && pwd)
[ -f "$program" ] || { echo "build-installer: $program is not built" >&2; exit 1; }
command -v makensis >/dev/null || { echo "build-installer: makensis is missing (package nsis)" >&2; exit 1; }
mkdir -p "$out"
setup=$(cd "$out" && pwd)/tavelin-$version-setup.exe
makensis -V2 -DVERSION="$version" -DPROGRAM="$(cd "$(dirname "$program")" && pwd)/$(basename "$program")" \
  -DOUTFILE="$setup" "$here/tavelin.nsi" >&2
echo "$setup"
