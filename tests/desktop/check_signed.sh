#!/usr/bin/env bash
# check_signed.sh: ./package given a code-signing certificate, here a throwaway one made for
# the run, signs both Windows programs, in their zips and installers, and both installers
# with Authenticode, as osslsigncode verifies them; given none, it leaves them unsigned; and
# either way SHA256SUMS holds the sums of the packages it leaves. It builds on what an
# earlier ./package left, and leaves unsigned packages.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
packages=("build/release/quinbray_1.00_$(dpkg --print-architecture).deb"
    build/quinbray-1.00-windows-{x64,x86}.{zip,msi} build/quinbray-1.00-web.zip)

# The Windows programs and installers that ./package left, taken out of what ships.
shipped() {
    rm -rf "$work/shipped"
    mkdir -p "$work/shipped"
    local arch
    for arch in x64 x86; do
        cp "build/quinbray-1.00-windows-$arch.msi" "$work/shipped/"
        unzip -q -j "build/quinbray-1.00-windows-$arch.zip" Quinbray.exe -d "$work/shipped/zip-$arch"
        msiextract --directory "$work/shipped/msi-$arch" "build/quinbray-1.00-windows-$arch.msi" >/dev/null
    done
    find "$work/shipped" -iname '*.msi' -o -iname 'Quinbray.exe' | sort
}

# SHA256SUMS checks out in a folder holding the downloaded packages.
sums_check() {
    rm -rf "$work/download"
    mkdir "$work/download"
    cp build/SHA256SUMS "${packages[@]}" "$work/download/"
    (cd "$work/download" && sha256sum --check --strict --quiet SHA256SUMS) || fail "SHA256SUMS"
    [[ $(wc -l <build/SHA256SUMS) == "${#packages[@]}" ]] || fail "SHA256SUMS: $(cat build/SHA256SUMS)"
}

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quinbray test signer" \
    -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
QUINBRAY_SIGN_CERT=$work/cert.pem QUINBRAY_SIGN_KEY=$work/key.pem ./package >"$work/log" 2>&1 ||
    fail "./package with a certificate: $(tail -n 5 "$work/log")"
mapfile -t files < <(shipped)
((${#files[@]} == 6)) || fail "expected 2 MSIs and 4 programs, found: ${files[*]}"
for file in "${files[@]}"; do
    said=$(osslsigncode verify -CAfile "$work/cert.pem" -in "$file" 2>&1) ||
        fail "osslsigncode verify ${file#"$work"/}: $said"
    grep -q 'Subject: /CN=Quinbray test signer' <<<"$said" || fail "${file#"$work"/}: signer"
done
sums_check

./package >"$work/log" 2>&1 || fail "./package: $(tail -n 5 "$work/log")"
mapfile -t files < <(shipped)
for file in "${files[@]}"; do
    ! osslsigncode verify -in "$file" >/dev/null 2>&1 || fail "${file#"$work"/} is signed"
done
sums_check
echo "PASS: with a certificate ./package signs the 2 MSIs and the 4 programs in the zips and"
echo "MSIs, as osslsigncode verifies; without, they are unsigned; SHA256SUMS checks out"
