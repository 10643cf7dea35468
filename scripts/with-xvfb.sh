#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command against a private Xvfb server of its own, which picks a free display number
# itself so that several of these can run side by side.
set -euo pipefail
[[ $# -gt 0 ]] || { echo "usage: $0 command [args...]" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "with-xvfb: Xvfb is not installed (run scripts/setup.sh)" >&2; exit 1; }

fifo=$(mktemp -u)
mkfifo "$fifo"
# -noreset: an X server resets itself when its last client leaves, and a program started in that
# moment finds no server; tests start the program several times in a row.
Xvfb -displayfd 3 -screen 0 ${XVFB_SCREEN:-1280x1024x24} -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -f "$fifo"' EXIT
read -r -t 20 number <"$fifo" || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
# With no session bus named, the D-Bus library forks a helper to find or start one for this display
# (autolaunch); under the address sanitizer, the child of that fork in a busy program can hang
# before it execs, and the program with it. A bus that is named and absent is refused at once,
# as on a desktop without a session bus. A session bus that the caller set up is kept.
if [[ -z ${DBUS_SESSION_BUS_ADDRESS:-} ]]; then
    export DBUS_SESSION_BUS_ADDRESS="unix:path=${fifo}.no-session-bus"
fi
"$@"
