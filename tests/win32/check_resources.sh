#!/usr/bin/env bash
# check_resources.sh EXE: reads the built Windows program's resources back with wrestool:
# the version record, the icon group and the manifest, as Windows itself will read them.
set -euo pipefail
exe=$1
fail() { echo "FAIL: $*"; exit 1; }
command -v wrestool >/dev/null || fail "missing wrestool (./test installs icoutils)"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Every resource is US English (1033).
listing=$(wrestool -l "$exe")
[[ -z $(grep -v -- "--language=1033 " <<<"$listing") ]] || fail "a resource is not US English"

# The version record: the numbers of its fixed part, and its strings.
wrestool -x --raw --type=16 "$exe" >"$scratch/version"
licence=$(dirname "$(readlink -f "$0")")/../../LICENSE
python3 - "$scratch/version" "$licence" <<'PYTHON' || fail "version record"
import re, struct, sys
data = open(sys.argv[1], "rb").read()
fixed = data.index(b"\xbd\x04\xef\xfe")  # VS_FIXEDFILEINFO's signature
file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", data, fixed + 8)
assert (file_ms, file_ls, product_ms, product_ls) == (1 << 16, 0, 1 << 16, 0), "not 1.0.0.0"
text = data.decode("utf-16-le", "ignore")
copyright = next(line.strip() for line in open(sys.argv[2]) if line.startswith("Copyright (c) "))
for key, value in [("FileVersion", "1.00"), ("ProductVersion", "1.00"),
                   ("ProductName", "Quinbray"), ("InternalName", "Quinbray"),
                   ("OriginalFilename", "Quinbray.exe"), ("CompanyName", "Quinbray developers"),
                   ("LegalCopyright", copyright)]:
    assert re.search(key + "\0+" + re.escape(value) + "\0", text), key
assert "040904B0" in text, "string table not US English, Unicode"
assert re.search("Translation\0+\u0409\u04b0", text), "translation not 0x0409, 1200"
PYTHON

# The icon group: the three classic images, then larger ones for high DPI.
wrestool -x --type=14 "$exe" >"$scratch/icon.ico"
[[ $(icotool -l "$scratch/icon.ico" | sed 's/--index=[0-9]* //') == \
"--icon --width=32 --height=32 --bit-depth=1 --palette-size=2
--icon --width=32 --height=32 --bit-depth=4 --palette-size=16
--icon --width=16 --height=16 --bit-depth=4 --palette-size=16
--icon --width=48 --height=48 --bit-depth=32 --palette-size=0
--icon --width=64 --height=64 --bit-depth=32 --palette-size=0
--icon --width=128 --height=128 --bit-depth=32 --palette-size=0
--icon --width=256 --height=256 --bit-depth=32 --palette-size=0" ]] || fail "icon images"

# The manifest: sharp at every DPI, common controls 6.
manifest=$(wrestool -x --raw --type=24 "$exe")
grep -q '<dpiAwareness[^>]*>PerMonitorV2' <<<"$manifest" || fail "manifest: DPI awareness"
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest" ||
    fail "manifest: common controls 6"
echo "PASS: version 1.0.0.0 / 1.00 in US English with the copyright, the three icon images and four larger, the manifest"
