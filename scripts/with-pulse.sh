#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command against a private PulseAudio server whose only output is a null sink, so that
# sound code meets a real default output device on machines without one (CI, containers).
# Without pulseaudio installed the command runs as it is, and meets no device.
set -euo pipefail
[[ $# -gt 0 ]] || { echo "usage: $0 command [args...]" >&2; exit 2; }
if ! command -v pulseaudio >/dev/null; then
    echo "with-pulse: pulseaudio is not installed; running without a sound device" >&2
    exec "$@"
fi

dir=$(mktemp -d)
export HOME="$dir" XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir" PULSE_RUNTIME_PATH="$dir"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit \
    --load="module-null-sink sink_name=zumbrel_null" \
    --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
    >"$dir/log" 2>&1 &
pulse=$!
trap 'kill $pulse 2>/dev/null; wait $pulse 2>/dev/null; rm -rf "$dir"' EXIT
export PULSE_SERVER="unix:$dir/native"
for _ in $(seq 100); do
    [[ -S "$dir/native" ]] && break
    kill -0 $pulse 2>/dev/null || { echo "with-pulse: pulseaudio did not start:" >&2; cat "$dir/log" >&2; exit 1; }
    sleep 0.05
done
[[ -S "$dir/native" ]] || { echo "with-pulse: pulseaudio did not start" >&2; exit 1; }
"$@"
