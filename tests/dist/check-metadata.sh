#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop entry, the metainfo in both its forms (without and with a web address) and the
# manual page pass their validators without a single remark, and name the program's version.
#     check-metadata.sh DESKTOP-FILE METAINFO METAINFO-WITH-HOMEPAGE MANPAGE VERSION
set -euo pipefail
desktop=$1
metainfo=$2
metainfo_web=$3
manpage=$4
version=$5
fail() { echo "check-metadata: $*" >&2; exit 1; }

desktop_report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $desktop_report"
[[ -z $desktop_report ]] || fail "desktop-file-validate: $desktop_report"

for file in "$metainfo" "$metainfo_web"; do
    report=$(appstreamcli validate --pedantic --no-net --no-color "$file" 2>&1) || fail "$file: $report"
    # Clean means no error, warning, info or pedantic remark at all.
    if grep -E '^[EWIP]: ' <<<"$report"; then
        fail "$file has remarks"
    fi
    grep -q "<release version=\"$version\"" "$file" || fail "$file names no release $version"
done
grep -q '<url type="homepage">https://' "$metainfo_web" || fail "no home page in $metainfo_web"
grep -q '<screenshot type="default">' "$metainfo_web" || fail "no screenshot in $metainfo_web"

man_report=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manpage" 2>&1 >/dev/null)
[[ -z $man_report ]] || fail "man page: $man_report"
grep -q "Zumbrel $version" "$manpage" || fail "the man page names another version"
echo "check-metadata: all clean"
