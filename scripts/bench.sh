#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark against a build folder and prints their BENCH lines. Nothing here asserts
# a time: the figures are for people to read and compare.
set -uo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
status=0

# Start-up to the mapped main window and memory after start, beside a bare Qt window, on a private
# X server of our own.
scripts/with-xvfb.sh bash -c "
    '$build/bench/zumbrel_bench_startup' bare 'Bare Qt window' 5 '$build/bench/zumbrel_bench_barewindow'
    '$build/bench/zumbrel_bench_startup' zumbrel Zumbrel 5 '$build/zumbrel'
" || status=1

# Every other benchmark program of the build prints its own BENCH lines; sound code meets a
# private null sound device.
for bench in "$build"/bench/zumbrel_bench_*; do
    case "$(basename "$bench")" in
        zumbrel_bench_startup|zumbrel_bench_barewindow) continue ;;
    esac
    [[ -f "$bench" && -x "$bench" ]] || continue
    scripts/with-pulse.sh scripts/with-xvfb.sh "$bench" || status=1
done
exit $status
