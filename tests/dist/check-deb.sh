#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (which runs lintian) and checks what a user would get from it:
#     check-deb.sh SOURCE-DIR OUTPUT-DIR VERSION
set -euo pipefail
source=$1
out=$2
version=$3
fail() { echo "check-deb: $*" >&2; exit 1; }

changelog_version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
[[ $changelog_version == "$version" ]] || fail "debian/changelog is at $changelog_version, the program at $version"

"$source/scripts/build-deb.sh" "$out"
deb="$out/zumbrel_${version}_$(dpkg --print-architecture).deb"
[[ -f $deb ]] || fail "no package $deb"

[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "package version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
# The libraries come from the shared-library dependencies, the data that Merlin's voice and
# hearing need is named by hand.
for need in libqt6widgets6 libqt6multimedia6 libflite1 libpocketsphinx3 pocketsphinx-en-us fonts-liberation; do
    grep -qE "(^|, )$need( |,|$)" <<<"$depends" || fail "Depends lacks $need: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/zumbrel \
            ./usr/share/applications/org.zumbrel.zumbrel.desktop \
            ./usr/share/metainfo/org.zumbrel.zumbrel.metainfo.xml \
            ./usr/share/man/man1/zumbrel.1.gz \
            ./usr/share/doc/zumbrel/copyright \
            ./usr/share/zumbrel/help/index.html \
            ./usr/share/zumbrel/help/character.html \
            ./usr/share/zumbrel/characters/merlin/merlin.json \
            ./usr/share/icons/hicolor/scalable/apps/zumbrel.svg \
            ./usr/share/icons/hicolor/48x48/apps/zumbrel.png \
            ./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/zumbrel/zumbrel_engines.so \
            ./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/zumbrel/libzumbrel_character.so; do
    grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
if grep -E '/(tst_|bench)[^/]*$|/contactsheet$' <<<"$contents"; then
    fail "test or benchmark programs in the package"
fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
program="$unpacked/usr/bin/zumbrel"
if readelf -S "$program" | grep -q '\.debug_info'; then
    fail "the program is not stripped"
fi
module=$(find "$unpacked/usr/lib" -name zumbrel_engines.so)
for binary in "$program" "$module"; do
    if ldd "$binary" | grep 'not found'; then
        fail "$(basename "$binary") needs libraries that are not installed"
    fi
done
# As from a text console: the installed program answers without a display.
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version)
[[ $answer == "zumbrel $version" ]] || fail "--version printed '$answer'"
echo "check-deb: $deb is complete"
