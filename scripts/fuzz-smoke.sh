#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A short libFuzzer run of the character loader (whole folder: manifest and art) from the committed
# corpus, as part of `make test`. New inputs go to a scratch copy, never into the source tree; a
# crash leaves its input in the fuzz build's artifacts folder and fails the run. Needs clang
# (deps/debian-packages.txt installs it); without it the run is left out, saying so.
#   usage: scripts/fuzz-smoke.sh [BUILD_DIR [SECONDS]]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-fuzz}
seconds=${2:-30}
if ! command -v clang++ >/dev/null; then
    echo "fuzz-smoke: clang++ is not installed; the fuzz run is left out (run scripts/setup.sh)"
    exit 0
fi
if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DZUMBREL_FUZZ=ON ${CMAKE_ARGS:-}
fi
cmake --build "$build" --target fuzz_charactermanifest
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/corpus" "$build/fuzz-artifacts"
cp "$here"/tests/character/fuzz/corpus/* "$scratch/corpus/"
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
    "$build/tests/character/fuzz/fuzz_charactermanifest" "$scratch/corpus" \
    -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=20 \
    -artifact_prefix="$build/fuzz-artifacts/" -print_final_stats=1 2>&1 | tail -n 25
