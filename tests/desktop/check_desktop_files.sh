#!/usr/bin/env bash
# check_desktop_files.sh DIR: the desktop entry and metainfo validate cleanly, and name the
# licence that LICENSE and the package's copyright do; the manual page fits a terminal of 80
# columns; and the Windows resource script compiles and holds the version record, so that a
# broken one does not wait for a Windows build to show.
set -euo pipefail
dir=$1 id=io.github.quinbray.Quinbray
source_dir=$(dirname "$(readlink -f "$0")")/../..
fail() { echo "FAIL: $*"; exit 1; }

desktop-file-validate "$dir/$id.desktop" || fail "desktop entry"
grep -qx "Categories=Utility;Calculator;" "$dir/$id.desktop" || fail "categories"
appstreamcli validate --no-net "$dir/$id.metainfo.xml" || fail "metainfo"

# One licence everywhere: LICENSE's, by its SPDX name in the metainfo, and in the package's
# copyright by the name Debian's format gives it (Expat for MIT).
licence=$(sed -n '1s/ License$//p' "$source_dir/LICENSE")
[[ -n $licence ]] || fail "LICENSE does not start with its licence's name"
said=$(grep -oP '<project_license>\K[^<]*' "$dir/$id.metainfo.xml")
[[ $said == "$licence" ]] || fail "the metainfo's licence is $said, LICENSE's $licence"
declare -A debian_name=([MIT]=Expat)
grep -qx "License: ${debian_name[$licence]:-$licence}" "$dir/copyright" ||
    fail "the package's copyright names another licence than LICENSE's $licence"

# Every line of the manual page fits 80 columns, as man lays it out for such a terminal.
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$dir/Quinbray.1.gz" 2>/dev/null)
[[ -n $page ]] || fail "man cannot read the manual page"
widest=$(LC_ALL=C.UTF-8 wc -L <<<"$page")
((widest <= 80)) || fail "the manual page is $widest columns wide at MANWIDTH=80: $(
    LC_ALL=C.UTF-8 awk 'length > 80' <<<"$page")"

# windres preprocesses with the host's cpp: the script needs no Windows headers.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
x86_64-w64-mingw32-windres --preprocessor=cpp -i "$dir/quinbray.rc" -o "$scratch/quinbray.res"
x86_64-w64-mingw32-windres -i "$scratch/quinbray.res" -O rc -o "$scratch/decompiled.rc"
copyright=$(grep -m 1 '^Copyright (c) ' "$source_dir/LICENSE")
for expected in "FILEVERSION 1, 0, 0, 0" "PRODUCTVERSION 1, 0, 0, 0" 'BLOCK "040904B0"' \
    'VALUE "FileVersion", "1.00"' 'VALUE "ProductVersion", "1.00"' \
    'VALUE "ProductName", "Quinbray"' 'VALUE "InternalName", "Quinbray"' \
    'VALUE "OriginalFilename", "Quinbray.exe"' 'VALUE "Translation", 0x409, 1200' \
    'VALUE "CompanyName", "Quinbray developers"' "VALUE \"LegalCopyright\", \"$copyright\"" \
    "RT_GROUP_ICON"; do
    grep -qF "$expected" "$scratch/decompiled.rc" || fail "compiled resource lacks: $expected"
done
[[ $(grep -c "RT_ICON " "$scratch/decompiled.rc") == 7 ]] || fail "expected seven icon images"
echo "PASS: desktop entry, metainfo, licence, manual page and Windows resource"
