#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# An installed Zumbrel reads Merlin only from installed data folders, never from the source tree it
# was built from, and carries no path to that tree. Installs the build into a temporary prefix and
# runs it there on the current X display.
#   usage: installed-data.sh BUILD_DIR SOURCE_DIR [SANITIZED]
set -uo pipefail
build=$1
source=$2
sanitized=${3:-0}
prefix=$(mktemp -d)
log=$prefix/log
pid=
cleanup() { [[ -n $pid ]] && kill -9 "$pid" 2>/dev/null; rm -rf "$prefix"; }
trap cleanup EXIT
fail() { echo "installed-data: $*"; [[ -f $log ]] && cat "$log"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
program=$prefix/bin/zumbrel
[[ -x $program ]] || fail "no program installed"
[[ ! -e $prefix/bin/zumbrel-build-data ]] || fail "the build tree's data note was installed"

# No path to the source tree's data in the program; stripped of its debugging information (which
# names the compiled files), no path to the source tree at all. A sanitizer build keeps the name of
# every compiled file in its instrumentation for its reports, so only the data check applies there.
if strings "$program" | grep -F "$source/data"; then fail "the program names the source tree's data folder"; fi
if [[ $sanitized != 1 ]]; then
    strip -o "$prefix/stripped" "$program" || fail "strip failed"
    if strings "$prefix/stripped" | grep -F "$source"; then fail "the stripped program names the source tree"; fi
fi

# Only the installed folders count, not whatever this machine has installed elsewhere.
export XDG_DATA_HOME=$prefix/nothing XDG_DATA_DIRS=$prefix/nothing

# Shown, not only made: the main window is made before Merlin is known to load, and shown after.
window_named() { [[ -n $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null) ]]; }
wait_for() { # seconds, command...
    local tries=$(($1 * 10)); shift
    for _ in $(seq "$tries"); do "$@" && return 0; kill -0 "$pid" 2>/dev/null || return 1; sleep 0.1; done
    return 1
}

# 1. It finds its installed Merlin: renamed here, so his window's title tells where he came from.
manifest=$prefix/share/zumbrel/characters/merlin/merlin.json
[[ -f $manifest ]] || fail "Merlin was not installed"
sed -i 's/"name": "Merlin"/"name": "Installed Merlin"/' "$manifest"
"$program" >"$log" 2>&1 &
pid=$!
wait_for 60 window_named "Installed Merlin" || fail "the installed Merlin did not appear"
# The main window maps once start-up is over and SIGTERM leads to the farewell.
wait_for 30 window_named "Zumbrel" || fail "the main window did not appear"
kill -TERM "$pid"
wait_for 30 false
kill -0 "$pid" 2>/dev/null && fail "still running 30 s after SIGTERM"
wait "$pid"; status=$?; [[ $status -eq 0 ]] || fail "ended with status $status"
pid=

# 2. Without its data it says that Merlin is missing and why, instead of loading the source tree's.
rm -rf "$prefix/share/zumbrel"
"$program" >"$log" 2>&1 &
pid=$!
wait_for 60 window_named "Cannot load character" || fail "no missing-character message"
grep -q "Cannot load character: .*Merlin.acs was not found" "$log" || fail "stderr does not give the reason"
if grep -qF "$source" "$log"; then fail "the source tree was looked at"; fi
window_named "Zumbrel" && fail "the main window appeared"
kill -TERM "$pid"
echo "installed-data: reads installed data only"
