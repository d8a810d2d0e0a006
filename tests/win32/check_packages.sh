#!/usr/bin/env bash
# check_packages.sh DIR: the Windows packages that ./package wrote to DIR. Each zip holds the
# program for its architecture and the readme; the MSI installs silently into a throwaway
# Wine prefix with its shortcut and its entry in Apps & features, the installed program
# starts, and a silent uninstall leaves nothing of it behind.
set -euo pipefail
dir=$(readlink -f "$1")
source "$(dirname "$0")/../e2e/xvfb.sh"

for arch in x64 x86; do
    zip=$dir/quinbray-1.00-windows-$arch.zip
    unpacked=$xvfb_dir/$arch
    mkdir -p "$unpacked"
    (cd "$unpacked" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
    [[ $(ls "$unpacked") == $'Quinbray.exe\nReadme.txt' ]] || fail "$zip holds $(ls "$unpacked")"
    expected=$([[ $arch == x64 ]] && echo "PE32+ executable (GUI) x86-64" ||
        echo "PE32 executable (GUI) Intel 80386")
    [[ $(file "$unpacked/Quinbray.exe") == *"$expected"* ]] || fail "$zip: not $expected"
    grep -q "needs no installation" "$unpacked/Readme.txt" || fail "$zip: readme"
done

export WINEPREFIX=$xvfb_dir/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$(dirname "$0")/make_prefix.sh" "$WINEPREFIX" >/dev/null
msi=$dir/quinbray-1.00-windows-x64.msi
drive=$WINEPREFIX/drive_c
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# Read whole, then searched: under pipefail, a grep -q that stops early would fail the writer.
entry() { wine reg query "$uninstall" /s 2>/dev/null | tr -d '\r'; }
ours() { find "$drive" -iname 'quinbray*' -not -path '*/windows/Fonts/*'; }

wine msiexec /i "$msi" /qn || fail "silent install"
[[ -s "$drive/Program Files/Quinbray/Quinbray.exe" ]] || fail "no Program Files\\Quinbray\\Quinbray.exe"
[[ -n $(find "$drive" -path '*Start Menu/Programs/Quinbray.lnk') ]] || fail "no Start menu shortcut"
installed=$(entry)
grep -qE 'DisplayName +REG_SZ +Quinbray$' <<<"$installed" || fail "no entry in Apps & features"
grep -qE 'DisplayVersion +REG_SZ +1.00$' <<<"$installed" || fail "the entry's version is not 1.00"
products=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s)
grep -q 'ProductIcon.*quinbray.ico' <<<"$products" || fail "the entry has no icon"

wine "C:\\Program Files\\Quinbray\\Quinbray.exe" &
app=$!
visible "Quinbray Build Calculator" >/dev/null || fail "the installed program shows no window"
kill "$app"
wineserver -w

wine msiexec /x "$msi" /qn || fail "silent uninstall"
[[ -z $(ours) ]] || fail "left behind: $(ours)"
remaining=$(entry)
! grep -q Quinbray <<<"$remaining" || fail "the entry in Apps & features is still there"
echo "PASS: two zips with the right programs; the MSI installs, starts and uninstalls cleanly"
