#!/usr/bin/env bash
# check_reproducible.sh: builds every package twice with ./package, each time from clean
# build folders and with the commit's time, and compares the two byte for byte: the Debian
# package, the Windows programs and zips, and the site's zip. Each build of an MSI gets new
# product and package codes, as Windows Installer asks, and wixl writes the time it was made
# into its summary and each file's time into its cabinet: the MSIs are compared table by
# table, stream by stream and file by file with those masked. A signature holds the time it
# was made, so both builds are unsigned. The second build's packages stay for the checks
# that follow.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."
artifacts=("build/release/quinbray_1.00_$(dpkg --print-architecture).deb" build/windows-mingw/shell/Quinbray.exe
    build/windows-mingw32/shell/Quinbray.exe build/quinbray-1.00-windows-x64.zip
    build/quinbray-1.00-windows-x86.zip build/quinbray-1.00-web.zip)
msis=(build/quinbray-1.00-windows-x64.msi build/quinbray-1.00-windows-x86.msi)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# An MSI's tables, streams and the files it installs, in folder $2, with what differs by
# design masked: the product code, the summary's package code and times (its binary stream
# holds the same again), and the cabinet, which holds the files with their times and is
# compared as the files it unpacks to.
msi_contents() {
    mkdir -p "$2"
    # msidump writes a table's binary fields (the Icon table's icon) below the current
    # folder whatever --directory says, so it runs in the folder it writes to.
    local msi
    msi=$(readlink -f "$1")
    (cd "$2" && msidump --tables --streams --directory . "$msi" >/dev/null)
    sed -i 's/^ProductCode\t.*/ProductCode\t(new each build)/' "$2/Property.idt"
    sed -i -E 's/^(9|12|13)\t.*/\1\t(new each build)/' "$2/_SummaryInformation.idt"
    rm "$2"/_Streams/*SummaryInformation "$2"/_Streams/*.cab
    msiextract --directory "$2/installs" "$1" >/dev/null
}

build() {
    rm -rf build/release build/windows-mingw build/windows-mingw32 build/web
    env -u QUINBRAY_SIGN_CERT -u QUINBRAY_SIGN_KEY -u QUINBRAY_SIGN_TIMESTAMP ./package \
        >/dev/null 2>&1 || { echo "FAIL: ./package" >&2; exit 1; }
    sha256sum "${artifacts[@]}"
    for msi in "${msis[@]}"; do
        msi_contents "$msi" "$work/$1/$(basename "$msi")"
    done
}
first=$(build first)
second=$(build second)
if [[ $first != "$second" ]]; then
    echo "FAIL: two builds of one commit differ:" >&2
    diff <(echo "$first") <(echo "$second") >&2
    exit 1
fi
diff -r "$work/first" "$work/second" >&2 || { echo "FAIL: the two builds' MSIs differ" >&2; exit 1; }
echo "PASS: two clean builds give byte-identical packages and programs (${#artifacts[@]} files)"
echo "and MSIs that differ only in their product and package codes and their times (${#msis[@]})"
