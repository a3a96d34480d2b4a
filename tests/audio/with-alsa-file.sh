#!/usr/bin/env bash
# Runs a command with ALSA's "default" PCM captured into a WAV file (or, with --no-device, with
# no "default" at all), as a machine without a sound card cannot play. The file's path is in
# $TAVELIN_AUDIO_CAPTURE and $TAVELIN_AUDIO_MODE is "file" (or "none"); the folder goes when the
# command ends.
#   with-alsa-file.sh [--no-device] COMMAND...
set -euo pipefail
mode=file
if [ "${1:-}" = "--no-device" ]; then mode=none; shift; fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/tavelin-alsa.XXXXXX")
trap 'rm -rf "$dir"' EXIT
if [ "$mode" = file ]; then
  cat > "$dir/asound.conf" <<CONF
pcm.!default {
  type file
  slave { pcm { type null } }
  file "$dir/capture.wav"
  format "wav"
}
CONF
  export TAVELIN_AUDIO_CAPTURE="$dir/capture.wav" TAVELIN_AUDIO_MODE=file
else
  : > "$dir/asound.conf"
  export TAVELIN_AUDIO_CAPTURE= TAVELIN_AUDIO_MODE=none
fi
export ALSA_CONFIG_PATH="$dir/asound.conf"
"$@"
