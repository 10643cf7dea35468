#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into an empty folder and checks that everything a user and a packager need
# is there: the program, Merlin, the guide, the desktop entry, metainfo, icons, manual page and
# licence; and no test program.
#     check-install.sh BUILD-DIR
set -euo pipefail
build=$1
fail() { echo "check-install: $*" >&2; exit 1; }
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
for path in bin/zumbrel \
            "${libdir:-lib}/zumbrel/zumbrel_engines.so" \
            "${libdir:-lib}/zumbrel/libzumbrel_character.so" \
            share/zumbrel/characters/merlin/merlin.json \
            share/zumbrel/help/index.html \
            share/zumbrel/help/guide.css \
            share/zumbrel/help/character.html \
            share/applications/org.zumbrel.zumbrel.desktop \
            share/metainfo/org.zumbrel.zumbrel.metainfo.xml \
            share/icons/hicolor/scalable/apps/zumbrel.svg \
            share/icons/hicolor/256x256/apps/zumbrel.png \
            share/man/man1/zumbrel.1 \
            share/doc/zumbrel/LICENSE; do
    [[ -f $prefix/$path ]] || fail "$path is not installed"
done
if find "$prefix" -name 'tst_*' | grep .; then
    fail "test programs are installed"
fi
# The guide's pages link to each other and to their style sheet by relative addresses only.
for page in "$prefix"/share/zumbrel/help/*.html; do
    while read -r target; do
        file=${target%%#*}
        [[ -z $file ]] && file=$(basename "$page")
        [[ -f $prefix/share/zumbrel/help/$file ]] || fail "$(basename "$page") links to missing $file"
        if [[ $target == *#* ]]; then
            grep -q "id=\"${target#*#}\"" "$prefix/share/zumbrel/help/$file" \
                || fail "$(basename "$page") links to $target, which has no such section"
        fi
    done < <(grep -oE '(href|url)=[^ >]*' "$page" | sed -E 's/^(href|url)="?//; s/"$//' | grep -v '^https\?:')
done
echo "check-install: complete"
