#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the binary Debian package from debian/ and checks it with lintian:
#     scripts/build-deb.sh [OUTPUT-FOLDER]        (default: build-deb)
# The source tree is copied into OUTPUT-FOLDER/src first (without build folders and git data),
# because dpkg-buildpackage builds in place and leaves its results in the parent folder; so the
# package, its debug symbols and the .changes file land in OUTPUT-FOLDER.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-build-deb}")
src="$out/src"

mkdir -p "$out"
rm -rf "$src"
rm -f "$out"/zumbrel_* "$out"/zumbrel-dbgsym_*
mkdir -p "$src"
tar -C "$here" --exclude='./build*' --exclude='./.git' --exclude='./obj-*' --exclude='./debian/zumbrel' \
    --exclude='./debian/.debhelper' --exclude="./$(realpath -m --relative-to="$here" "$out")" -cf - . \
    | tar -C "$src" -xf -

# A compiler cache, when there is one, makes a second package build quick.
if command -v ccache >/dev/null 2>&1; then
    export ZUMBREL_CMAKE_ARGS=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
(cd "$src" && dpkg-buildpackage --build=binary --no-sign -j"$(nproc)")

deb=$(ls "$out"/zumbrel_*_"$(dpkg --print-architecture)".deb)
echo "build-deb: built $deb"
lintian --fail-on error,warning --info "$deb"
echo "build-deb: lintian found no errors or warnings"
