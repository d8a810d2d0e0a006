#!/usr/bin/env bash
# check_desktop_files.sh DIR: the desktop entry and metainfo validate cleanly, and the
# Windows resource script compiles and holds the version record, so that a broken one does
# not wait for a Windows build to show.
set -euo pipefail
dir=$1 id=io.github.quinbray.Quinbray
fail() { echo "FAIL: $*"; exit 1; }

desktop-file-validate "$dir/$id.desktop" || fail "desktop entry"
grep -qx "Categories=Utility;Calculator;" "$dir/$id.desktop" || fail "categories"
appstreamcli validate --no-net "$dir/$id.metainfo.xml" || fail "metainfo"

# windres preprocesses with the host's cpp: the script needs no Windows headers.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
x86_64-w64-mingw32-windres --preprocessor=cpp -i "$dir/quinbray.rc" -o "$scratch/quinbray.res"
x86_64-w64-mingw32-windres -i "$scratch/quinbray.res" -O rc -o "$scratch/decompiled.rc"
for expected in "FILEVERSION 1, 0, 0, 0" "PRODUCTVERSION 1, 0, 0, 0" 'BLOCK "040904B0"' \
    'VALUE "FileVersion", "1.00"' 'VALUE "ProductVersion", "1.00"' \
    'VALUE "ProductName", "Quinbray"' 'VALUE "InternalName", "Quinbray"' \
    'VALUE "OriginalFilename", "Quinbray.exe"' 'VALUE "Translation", 0x409, 1200' \
    "RT_GROUP_ICON"; do
    grep -qF "$expected" "$scratch/decompiled.rc" || fail "compiled resource lacks: $expected"
done
[[ $(grep -c "RT_ICON " "$scratch/decompiled.rc") == 7 ]] || fail "expected seven icon images"
echo "PASS: desktop entry, metainfo and Windows resource"
