#!/usr/bin/env bash
# schemes.sh PROBE EXE: the Windows program's two designed colours on the user's colour
# scheme, read from the screen. The credit line's blue stays where it reads at 4.5:1, else
# it takes the scheme's hyperlink colour; the result keeps its black on yellow. (Wine keeps
# a program's system colours from its start, so each scheme is set before the program runs.)
set -euo pipefail
probe=$1 exe=$2
source "$(dirname "$0")/../e2e/xvfb.sh"
source "$(dirname "$0")/../designed.sh"

ask() { wine "$probe" "$@" | tr -d '\r'; }
# Waits for the control's box to show text of colour $3 on $2 (RRGGBB, or * for any); $4 says
# when.
shows() {
    local box colours=
    box=$(ask place "$1")
    for _ in $(seq 50); do
        # shellcheck disable=SC2086 # the box is four numbers
        colours=$(/usr/bin/python3 "$(dirname "$0")/../e2e/pixels.py" colours "$window" $box)
        # shellcheck disable=SC2053 # $3 may be the pattern *
        [[ $colours == "$2 "$3 ]] && return 0
        sleep 0.1
    done
    fail "$4: $1 shows text on background '$colours', not '$2 $3'"
}
# The scheme's button face, text, window and hyperlink colours, as R G B.
scheme() {
    local colours='HKCU\Control Panel\Colors' name value
    for name in ButtonFace ButtonText Window WindowText HotTrackingColor; do
        case $name in
        ButtonFace) value=$1 ;; ButtonText | WindowText) value=$2 ;; Window) value=$3 ;;
        HotTrackingColor) value=$4 ;;
        esac
        wine reg add "$colours" /v $name /t REG_SZ /d "$value" /f >/dev/null
    done
}
trap 'scheme "240 240 240" "0 0 0" "255 255 255" "0 102 204"; stop_xvfb' EXIT

# try NAME BACKGROUND CREDIT: the help window's background and the credit line's colour on
# the scheme set last, as RRGGBB.
try() {
    wine "$exe" &
    app=$!
    window=$(visible "$main_title") || fail "$1: no calculator window"
    shows Text1 "$(designed_colour mainfrm Text1 background)" "*" "$1"
    xdotool mousemove --sync --window "$window" 335 175 click 1 key alt+h # keys to the window
    window=$(visible "$help_title") || fail "$1: no help window"
    shows Label5 "$2" "$3" "$1"
    xdotool key alt+c
    visible "$main_title" >/dev/null || fail "$1: the calculator did not come back"
    xdotool key alt+x
    exits_cleanly "$app"
}

scheme "240 240 240" "0 0 0" "255 255 255" "0 102 204" # Windows' standard
try "standard scheme" f0f0f0 "$(designed_colour helpfrm Label5 text)"
scheme "32 32 32" "255 255 255" "0 0 0" "58 150 221" # dark, of the user's making
try "dark scheme" 202020 3a96dd
scheme "0 0 0" "255 255 255" "0 0 0" "255 255 0" # High Contrast Black's colours
try "black scheme" 000000 ffff00
echo "PASS: the credit line blue on the standard scheme, the hyperlink colour on dark and" \
    "black ones; the result black on yellow on all three"
