#!/usr/bin/env bash
# Speech output on Linux: render and conversion time of the notification's text, Speak to the
# first buffer with the device (and its ratio to rendering), CPU per second of sound of the
# playback worker and the ALSA writer. Runs on a private Xvnc and a private PulseAudio server
# with a null sink, so the sound is paced in real time and heard by no one.
#   bench-speech.sh [build-dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/default}
program=$build/bench/speech_output
[ -x "$program" ] || { echo "bench-speech: build $program first (cmake --build $build)" >&2; exit 2; }
exec "$here/with-xvnc.sh" "$here/../tests/audio/with-pulse-null.sh" "$program"
