#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages of the named lists that are not installed yet:
#     scripts/setup.sh [run] [package] [test]
# reads deps/debian-run.txt, deps/debian-package.txt, deps/debian-test.txt; "run" alone when no list
# is named. Runs apt-get as root, or through sudo for anyone else; refreshes the package lists first
# when they are empty or more than a day old.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
lists=("$@")
[[ ${#lists[@]} -eq 0 ]] && lists=(run)

wanted=()
for list in "${lists[@]}"; do
    file="$here/deps/debian-$list.txt"
    if [[ ! -f $file ]]; then
        echo "setup: no package list $file" >&2
        exit 2
    fi
    mapfile -t -O "${#wanted[@]}" wanted < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$file" | grep -v '^$')
done

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "setup: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
fi

apt_lists=/var/lib/apt/lists
if [[ -z $(find "$apt_lists" -maxdepth 1 -name '*Packages*' -mmin -1440 2>/dev/null | head -n 1) ]]; then
    "${as_root[@]}" apt-get update
fi
echo "setup: installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
