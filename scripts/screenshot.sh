#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes docs/screenshot.png: the real program on a private 1024x768 X server with a white
# desktop, a few seconds after its start, when Merlin has greeted and the first sum is shown.
#     scripts/screenshot.sh [PROGRAM] [OUTPUT]     (default: build/zumbrel docs/screenshot.png)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$here/build/zumbrel}")
output=$(realpath -m "${2:-$here/docs/screenshot.png}")

if [[ -z ${ZUMBREL_SCREENSHOT_INNER:-} ]]; then
    exec env ZUMBREL_SCREENSHOT_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24 -wr -nolisten tcp" "$0" "$program" "$output"
fi

export QT_QPA_PLATFORM=xcb
"$program" &
pid=$!
trap 'kill -TERM $pid 2>/dev/null; wait $pid 2>/dev/null' EXIT
for window in Zumbrel Merlin; do
    for _ in $(seq 300); do
        xwininfo -root -tree 2>/dev/null | grep -q "\"$window\"" && break
        sleep 0.1
    done
done
# The greeting takes a few seconds; the picture should show Merlin standing, not arriving.
sleep "${ZUMBREL_SCREENSHOT_DELAY:-8}"
# The window sits at the top left and Merlin beside it; the rest is empty desktop.
import -window root -crop 640x400+0+0 +repage "$output"
echo "screenshot: wrote $output"
