#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program on the current X display, waits for its window and for Merlin's, then
# ends it with SIGTERM, the way a session logout does: the farewell runs and it exits by itself.
set -uo pipefail
program=$1
# SMOKE_LOG keeps the program's output for a caller that reads it afterwards.
if [[ -n ${SMOKE_LOG:-} ]]; then
    log=$SMOKE_LOG
else
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
fi
"$program" >"$log" 2>&1 &
pid=$!
# Shown, not only made: the program makes its window before it knows whether Merlin loads.
shown() { [[ -n $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null) ]]; }
mapped=
for _ in $(seq 300); do
    if shown Zumbrel; then mapped=yes; break; fi
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
if [[ -z $mapped ]]; then
    echo "smoke: the main window did not appear"; cat "$log"; kill -9 $pid 2>/dev/null; exit 1
fi
# Merlin stands on the desktop in a window of his own.
merlin=
for _ in $(seq 100); do
    if shown Merlin; then merlin=yes; break; fi
    sleep 0.1
done
[[ -n $merlin ]] || { echo "smoke: Merlin did not appear"; cat "$log"; kill -9 $pid; exit 1; }
kill -TERM $pid
for _ in $(seq 300); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
if kill -0 $pid 2>/dev/null; then
    echo "smoke: still running 30 s after SIGTERM"; kill -9 $pid; exit 1
fi
wait $pid
status=$?
echo "smoke: exit status $status"
[[ $status -eq 0 ]] || { cat "$log"; exit 1; }
