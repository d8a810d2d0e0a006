#!/usr/bin/env bash
# high_dpi.sh PROBE EXE: at 96, 120, 144 and 192 DPI the Windows program is as large as its
# design: the client area, Calculate where the design puts it,
# and the result's and the buttons' text at their designed point sizes, measured on the
# screen against the 96 DPI ones: as tall in proportion, and without gaps between the
# letters (as wide in proportion).
set -euo pipefail
probe=$1 exe=$2
source "$(dirname "$0")/../e2e/xvfb.sh"
source "$(dirname "$0")/../designed.sh"
IFS=x read -r width height <<<"$(designed_size mainfrm)"
read -r calculateX calculateY <<<"$(designed_centre mainfrm cmd1)"

desktop='HKCU\Control Panel\Desktop'
trap 'wine reg add "$desktop" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null; stop_xvfb' EXIT
ask() { wine "$probe" "$@" | tr -d '\r'; }
# The size of what is drawn inside a control, its borders left out, as WIDTH HEIGHT.
ink() {
    local x y w h inset=$(($2 * 3 / 96 + 1))
    read -r x y w h <<<"$(ask place "$1")"
    /usr/bin/python3 "$(dirname "$0")/../e2e/pixels.py" ink "$main" $((x + inset)) \
        $((y + inset)) $((w - 2 * inset)) $((h - 2 * inset)) | tr x ' '
}
# Fails unless $1 is within $3 of $2, as integers; $4 says what.
near() { (($1 - $2 <= $3 && $2 - $1 <= $3)) || fail "$4: $1, expected $2 (within $3)"; }

summary=
for dpi in 96 120 144 192; do
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null
    wineserver -w
    wine "$exe" &
    app=$!
    main=$(visible "$main_title") || fail "no calculator window at $dpi DPI"
    client=$(ask client)
    expected=$(((width * dpi + 48) / 96))x$(((height * dpi + 48) / 96))
    [[ $client == "$expected" ]] || fail "client area at $dpi DPI is $client, not $expected"
    xdotool mousemove --sync --window "$main" $((calculateX * dpi / 96)) $((calculateY * dpi / 96)) \
        click 1
    for _ in $(seq 30); do
        [[ $(ask texts | grep Text1=) == Text1=1.00 ]] && break
        sleep 0.1
    done
    [[ $(ask texts | grep Text1=) == Text1=1.00 ]] || fail "no Calculate at $dpi DPI"
    read -r digitsWide digitsTall <<<"$(ink Text1 $dpi)"
    read -r captionWide captionTall <<<"$(ink cmd1 $dpi)"
    if ((dpi == 96)); then
        read -r digits96Wide digits96Tall captionTall96 <<<"$digitsWide $digitsTall $captionTall"
    fi
    near "$digitsTall" $((digits96Tall * dpi / 96)) 1 "height of 1.00 at $dpi DPI"
    near "$digitsWide" $((digits96Wide * dpi / 96)) $((digits96Wide * dpi / 960)) \
        "width of 1.00 at $dpi DPI"
    near "$captionTall" $((captionTall96 * dpi / 96)) 2 "height of Calculate's caption at $dpi DPI"
    summary+=" $dpi DPI: ${client}, 1.00 ${digitsWide}x${digitsTall}, Calculate ${captionWide}x${captionTall};"
    xdotool key alt+x
    exits_cleanly "$app"
done
echo "PASS:${summary%;}"
