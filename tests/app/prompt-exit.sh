#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program with a name of ten thousand letters: one wrong answer, then Close; the process
# must be gone soon after its last window. Then the same name and SIGTERM while Merlin is busy
# with it, and a second SIGTERM during the good-bye, which ends it at once. Prints BENCH lines with
# the real figures; the limits checked are generous, for a busy machine.
set -uo pipefail
program=$1
log=$(mktemp)
trap '[[ -n ${KEEP_LOG:-} ]] && cp "$log" "$KEEP_LOG"; rm -f "$log"; [[ -n ${pid:-} ]] && kill -9 $pid 2>/dev/null' EXIT

now_ms() { date +%s%3N; }
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
wait_for() { # condition, tenths of a second
    for _ in $(seq "$2"); do eval "$1" && return 0; sleep 0.1; done
    return 1
}
fail() { echo "prompt-exit: $*"; cat "$log"; exit 1; }

start() {
    # The voice's log shows what it was given to say.
    QT_LOGGING_RULES="zumbrel.speech.debug=true" "$program" >"$log" 2>&1 &
    pid=$!
    wait_for '[[ -n $(visible "^Zumbrel$") ]]' 300 || fail "the main window did not appear"
    wait_for '[[ -n $(visible "^Merlin$") ]]' 100 || fail "Merlin did not appear"
    window=$(visible "^Zumbrel$")
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    # The name, typed into the name dialog.
    xdotool key --clearmodifiers alt+f n
    wait_for '[[ -n $(visible "^Enter Name$") ]]' 50 || fail "the name dialog did not open"
    sleep 0.5 # the dialog's text field takes the focus once it is shown
    xdotool windowfocus --sync "$(visible '^Enter Name$')" 2>/dev/null || true
    head -c 10000 /dev/zero | tr '\0' 'a' | xdotool type --delay 0 --file -
    xdotool key Return
    wait_for '[[ -z $(visible "^Enter Name$") ]]' 900 || fail "the name dialog did not close"
    # After the start-up greeting, which may still be going on.
    wait_for 'grep -q "speaking \"H.*aaaaaaaaaa" "$log"' 300 || fail "Merlin did not take up the long name"
    xdotool windowfocus --sync "$window" 2>/dev/null || true
}

gone_within() { # tenths of a second
    wait_for '! kill -0 $pid 2>/dev/null' "$1"
}

# 1. A wrong answer, then Close while Merlin reacts.
start
xdotool type --delay 50 99
xdotool key Return
sleep 1
xdotool key --clearmodifiers alt+c
closed=$(now_ms)
wait_for '[[ -z $(visible "^Zumbrel$") && -z $(visible "^Merlin$") ]]' 600 || fail "the windows stayed after Close"
last_window=$(now_ms)
gone_within 100 || fail "still running 10 s after its last window closed"
gone=$(now_ms)
wait $pid; status=$?
pid=
[[ $status -eq 0 ]] || fail "exit status $status after Close"
echo "BENCH farewell_after_close_ms $((last_window - closed)) ms"
echo "BENCH exit_after_last_window_ms $((gone - last_window)) ms"

# 2. SIGTERM while Merlin is busy with the long name, and again during the good-bye.
start
kill -TERM $pid
sleep 0.5
kill -TERM $pid
second=$(now_ms)
gone_within 100 || fail "still running 10 s after the second SIGTERM"
echo "BENCH exit_after_second_sigterm_ms $(($(now_ms) - second)) ms"
wait $pid; status=$?
pid=
[[ $status -eq 0 ]] || fail "exit status $status after SIGTERM"
echo "prompt-exit: ok"
