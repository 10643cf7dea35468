#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `make soak`: the real program driven by thousands of random actions (tests/soak/zumbrel_soak.cpp),
# once in the release build and once in the sanitizer build, each on a private X server and sound
# server. Fails on a crash, a hang, a score that does not add up, a sanitizer report or a program
# that does not end after its good-bye. Prints the soak's BENCH lines (the sanitizer build's with
# soak_sanitizer_ in their names: its memory figures include the sanitizer's own bookkeeping).
#   usage: scripts/soak.sh [RELEASE_BUILD [SANITIZER_BUILD]]
#   ZUMBREL_SOAK_ACTIONS (default 5000) and ZUMBREL_SOAK_SEED choose the run.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
release=${1:-build}
sanitizer=${2:-build-asan}
export ZUMBREL_SOAK_SEED=${ZUMBREL_SOAK_SEED:-$(date +%s)}
failed=0

soak() { # name build-dir rename-prefix [env...]
    local name=$1 dir=$2 prefix=$3
    shift 3
    echo "soak: $name build ($dir), seed $ZUMBREL_SOAK_SEED"
    cmake --build "$dir" --target zumbrel_soak || { echo "soak: $name build failed"; failed=1; return; }
    local log
    log=$(mktemp)
    env "$@" "$here/scripts/with-xvfb.sh" "$here/scripts/with-pulse.sh" "$dir/tests/soak/zumbrel_soak" \
        2>"$log" | sed "s/^BENCH soak_/BENCH ${prefix}/"
    local status=${PIPESTATUS[0]}
    grep -E '^soak: (HANG|FAIL)|^soak:   |ERROR: (Address|Leak|Undefined)|runtime error:' "$log"
    if [[ $status -ne 0 ]]; then
        echo "soak: $name build FAILED (status $status); its log:"
        tail -n 60 "$log"
        failed=1
    else
        echo "soak: $name build passed"
    fi
    rm -f "$log"
}

soak release "$release" soak_
soak sanitizer "$sanitizer" soak_sanitizer_ \
    ZUMBREL_SOAK_SLOW=1 \
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
exit $failed
