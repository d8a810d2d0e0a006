#!/usr/bin/env bash
# check_reproducible.sh: builds every package twice with ./package, each time from clean
# build folders and with the commit's time, and compares the two byte for byte: the Debian
# package, the Windows programs and zips, and the site's zip. The MSIs are left out: each
# build of one gets new product and package codes, as Windows Installer asks. The second
# build's packages stay for the checks that follow.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."
artifacts=("build/release/quinbray_1.00_$(dpkg --print-architecture).deb" build/windows-mingw/shell/Quinbray.exe
    build/windows-mingw32/shell/Quinbray.exe build/quinbray-1.00-windows-x64.zip
    build/quinbray-1.00-windows-x86.zip build/quinbray-1.00-web.zip)
build() {
    rm -rf build/release build/windows-mingw build/windows-mingw32 build/web
    ./package >/dev/null 2>&1 || { echo "FAIL: ./package" >&2; exit 1; }
    sha256sum "${artifacts[@]}"
}
first=$(build)
second=$(build)
if [[ $first != "$second" ]]; then
    echo "FAIL: two builds of one commit differ:" >&2
    diff <(echo "$first") <(echo "$second") >&2
    exit 1
fi
echo "PASS: two clean builds give byte-identical packages and programs (${#artifacts[@]} files)"
