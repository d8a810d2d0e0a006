#!/usr/bin/env bash
# make_prefix.sh DIR: a throwaway Wine prefix for the Windows program's tests, made anew,
# with Wine's own fonts in its Windows folder, where a Windows program looks for them.
set -euo pipefail
dir=$1
rm -rf "$dir"
export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
wineboot --init >/dev/null 2>&1
cp /usr/share/wine/fonts/* "$dir/drive_c/windows/Fonts/"
wineserver --wait
echo "PASS: Wine prefix in $dir"
