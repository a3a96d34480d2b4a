#!/usr/bin/env bash
# Runs a command with ALSA's "default" device going to a private PulseAudio server whose only
# sink is a null sink: sound is played (and paced) in real time and heard by no one. Sets
# TAVELIN_AUDIO_MODE=paced. Stops the server it started when the command ends.
#   with-pulse-null.sh COMMAND...
set -euo pipefail
dir=$(mktemp -d "${TMPDIR:-/tmp}/tavelin-pulse.XXXXXX")
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
mkdir -p "$dir/run" "$dir/home"
HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
  --use-pid-file=no --log-target=stderr -L "module-null-sink sink_name=null" \
  -L "module-native-protocol-unix socket=$dir/pulse.sock auth-anonymous=1" >"$dir/pulse.log" 2>&1 &
pid=$!
for _ in $(seq 100); do [ -S "$dir/pulse.sock" ] && break; sleep 0.05; done
[ -S "$dir/pulse.sock" ] || { echo "with-pulse-null: the sound server did not start" >&2; cat "$dir/pulse.log" >&2; exit 2; }
cat > "$dir/asound.conf" <<CONF
pcm.!default { type pulse server "unix:$dir/pulse.sock" }
ctl.!default { type pulse server "unix:$dir/pulse.sock" }
CONF
export ALSA_CONFIG_PATH="$dir/asound.conf" TAVELIN_AUDIO_MODE=paced TAVELIN_AUDIO_CAPTURE=
status=0
"$@" || status=$?
exit "$status"
