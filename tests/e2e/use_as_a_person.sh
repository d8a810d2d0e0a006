#!/usr/bin/env bash
# use_as_a_person.sh COMMAND...: starts the real program on a virtual X server and uses it
# through X input events only: mouse, keyboard and the clipboard, as a person would. The
# command is the program itself, or a launcher and the program (wine Quinbray.exe).
set -euo pipefail
source "$(dirname "$0")/xvfb.sh"
source "$(dirname "$0")/../designed.sh"
command -v xclip >/dev/null || fail "missing xclip (./test installs it)"

"$@" &
app=$!

# Click the middle of a control, where the design puts it.
click() { xdotool mousemove --sync --window "$1" $(designed_centre "$2" "$3") click 1; }

main=$(visible "$main_title") || fail "no calculator window"
# Outputs are read whole before they are searched: under pipefail, grep -q leaving early
# would fail the writer with SIGPIPE.
geometry=$(xdotool getwindowgeometry "$main")
size=$(designed_size mainfrm)
grep -q "Geometry: $size" <<<"$geometry" || fail "client area is not $size: $geometry"
icons=$(xprop -id "$main" _NET_WM_ICON)
grep -q "Icon (16 x 16)" <<<"$icons" || fail "the window has no icon"

# Type 10 over the excitation voltage, then Calculate with the mouse.
click "$main" mainfrm Combo1
xdotool key ctrl+a && xdotool type --delay 20 "10"
click "$main" mainfrm cmd1

# Read the result the way a person would take it elsewhere: select it and copy it.
click "$main" mainfrm Text1
xdotool key ctrl+a ctrl+c
result=
for _ in $(seq 30); do # the copy lands when the program has handled the keys
    result=$(xclip -selection clipboard -o 2>/dev/null) && [[ -n $result ]] && break
    sleep 0.1
done
[[ $result == "2.00" ]] || fail "result is '$result', expected 2.00"

xdotool key alt+h
visible "$help_title" >/dev/null || fail "Alt+H did not open the help window"
gone "$main_title"
xdotool key alt+c
visible "$main_title" >/dev/null || fail "Alt+C did not bring the calculator back"
gone "$help_title"

xdotool key alt+x
exits_cleanly "$app"
echo "PASS: typed, calculated $result, copied it, went to help and back, and exited"
