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
# X server of our own. The two start in turn, one launch each, so that each pair meets the same
# load of the machine (its speed drifts within minutes); the figure is the median of the pairs'
# ratios with its 95 % interval (distribution-free, from the order statistics). A single pair
# ranges from about 1.0 to 2.1 times; 41 pairs give an interval under a fifth wide.
pairs=41
startup=$(scripts/with-xvfb.sh bash -c "
    set -o pipefail
    failed=0
    for pair in \$(seq $pairs); do
        '$build/bench/zumbrel_bench_startup' bare 'Bare Qt window' 1 '$build/bench/zumbrel_bench_barewindow' | sed \"s/^/\$pair /\" || failed=1
        '$build/bench/zumbrel_bench_startup' zumbrel Zumbrel 1 '$build/zumbrel' | sed \"s/^/\$pair /\" || failed=1
    done
    exit \$failed
") || status=1
# Each line is "<pair> BENCH <name> <value> <unit>".
median() { awk -v name="$1" '$3 == name { print $4 }' <<<"$startup" | sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }
for name in bare_startup_ms zumbrel_startup_ms; do
    echo "BENCH $name $(median $name) ms"
done
for name in bare_rss_kib zumbrel_rss_kib; do
    echo "BENCH $name $(median $name) KiB"
done
# A pair counts only when both of its launches gave a time.
awk '$3 == "bare_startup_ms" { bare[$1] = $4 } $3 == "zumbrel_startup_ms" { ours[$1] = $4 }
     END { for (pair in bare) if (bare[pair] > 0 && ours[pair] > 0) print ours[pair] / bare[pair] }' <<<"$startup" |
    sort -g |
    awk '{ r[NR] = $1 }
         END {
             if (!NR) exit
             lo = int(NR / 2 - 0.98 * sqrt(NR)); if (lo < 1) lo = 1
             hi = int(NR / 2 + 1 + 0.98 * sqrt(NR) + 0.999); if (hi > NR) hi = NR
             printf "BENCH zumbrel_startup_vs_bare %.2f x (95%% interval %.2f to %.2f, %d pairs)\n", r[int((NR + 1) / 2)], r[lo], r[hi], NR
         }'

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
