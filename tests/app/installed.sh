#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a fresh prefix, checks that the program's data lands where the program
# looks for it, and runs the installed program: it must load Merlin from the prefix itself.
set -uo pipefail
build=$1
here=$(dirname "$0")
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "installed: cmake --install failed"; exit 1; }
for file in bin/zumbrel share/zumbrel/characters/merlin/merlin.json share/zumbrel/characters/merlin/merlin.svg \
            share/zumbrel/help/character.html share/zumbrel/help/index.html; do
    [[ -f $prefix/$file ]] || { echo "installed: $file is missing"; exit 1; }
done
log=$prefix/run.log
SMOKE_LOG=$log QT_LOGGING_RULES="zumbrel.character.debug=true;zumbrel.app.debug=true" "$here/smoke.sh" "$prefix/bin/zumbrel" || exit 1
loaded=$(grep -m1 'Loaded "Merlin" from' "$log")
[[ -n $loaded ]] || { echo "installed: no record of Merlin being loaded"; cat "$log"; exit 1; }
[[ $loaded == *"\"$prefix/share/zumbrel/characters/merlin/"* ]] || {
    echo "installed: Merlin came from elsewhere: $loaded"; exit 1; }
# The voice and the recogniser come from the module installed with the program.
engines=$(grep -m1 'Engines module loaded from' "$log")
[[ $engines == *" $prefix/lib"*"/zumbrel/zumbrel_engines.so"* ]] || {
    echo "installed: the engines module did not come from the prefix: ${engines:-not loaded}"; cat "$log"; exit 1; }
echo "installed: $loaded"
echo "installed: $engines"
