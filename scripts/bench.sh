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
# X server of our own; the two in turn, so that both meet the same load of the machine, and their
# ratio.
startup=$(scripts/with-xvfb.sh bash -c "
    for round in 1 2 3; do
        '$build/bench/zumbrel_bench_startup' bare 'Bare Qt window' 7 '$build/bench/zumbrel_bench_barewindow'
        '$build/bench/zumbrel_bench_startup' zumbrel Zumbrel 7 '$build/zumbrel'
    done
") || status=1
# The median of the three rounds' medians of each, then their ratio.
median() { awk -v name="$1" '$2 == name { print $3 }' <<<"$startup" | sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }
for name in bare_startup_ms zumbrel_startup_ms; do
    echo "BENCH $name $(median $name) ms"
done
for name in bare_rss_kib zumbrel_rss_kib; do
    echo "BENCH $name $(median $name) KiB"
done
awk -v bare="$(median bare_startup_ms)" -v ours="$(median zumbrel_startup_ms)" \
    'BEGIN { if (bare > 0) printf "BENCH zumbrel_startup_vs_bare %.2f x\n", ours / bare }'

# From exec until Merlin's first frame shows, and the program's memory then, at scales 1 and 2.
for scale in 1 2; do
    QT_SCALE_FACTOR=$scale scripts/with-pulse.sh scripts/with-xvfb.sh \
        "$build/bench/zumbrel_bench_startup" --painted "merlin_first_frame_scale$scale" Merlin 5 "$build/zumbrel" || status=1
done

# Merlin shown and left alone, at every scale families' screens use: his memory and idle load.
for scale in 1 1.25 1.5 1.75 2 3; do
    QT_SCALE_FACTOR=$scale scripts/with-pulse.sh scripts/with-xvfb.sh \
        "$build/bench/zumbrel_bench_character" --no-frames --idle-seconds 20 || status=1
done

# Every other benchmark program of the build prints its own BENCH lines; sound code meets a
# private null sound device.
for bench in "$build"/bench/zumbrel_bench_*; do
    case "$(basename "$bench")" in
        zumbrel_bench_startup|zumbrel_bench_barewindow|zumbrel_bench_character) continue ;;
    esac
    [[ -f "$bench" && -x "$bench" ]] || continue
    scripts/with-pulse.sh scripts/with-xvfb.sh "$bench" || status=1
done
# Frame drawing at scales 1 and 2 (the idle figures came above).
scripts/with-pulse.sh scripts/with-xvfb.sh "$build/bench/zumbrel_bench_character" --idle-seconds 0 || status=1
exit $status
