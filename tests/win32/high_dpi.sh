#!/usr/bin/env bash
# high_dpi.sh PROBE EXE: at 144 DPI the Windows program is one and a half times as large:
# a client area of 518x279 (5175x2790 twips), and every control in proportion.
set -euo pipefail
probe=$1 exe=$2
source "$(dirname "$0")/../e2e/xvfb.sh"

desktop='HKCU\Control Panel\Desktop'
wine reg add "$desktop" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
trap 'wine reg add "$desktop" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null; stop_xvfb' EXIT
wineserver -w

wine "$exe" &
app=$!
main=$(visible "Quinbray Build Calculator") || fail "no calculator window"
client=$(wine "$probe" client | tr -d '\r')
[[ $client == 518x279 ]] || fail "client area at 144 DPI is $client, not 518x279"
# Calculate, 240 twips from the left and 2160 from the top, is there at 144 DPI.
xdotool mousemove --sync --window "$main" 84 234 click 1
for _ in $(seq 30); do
    [[ $(wine "$probe" texts | tr -d '\r' | grep Text1=) == Text1=1.00 ]] && break
    sleep 0.1
done
[[ $(wine "$probe" texts | tr -d '\r' | grep Text1=) == Text1=1.00 ]] || fail "no Calculate at 144 DPI"
echo "PASS: at 144 DPI the client area is $client and Calculate is where the design puts it"
