#!/usr/bin/env bash
# use_as_a_person.sh QUINBRAY: starts the real program on a virtual X server and uses it
# through X input events only: mouse, keyboard and the clipboard, as a person would.
set -euo pipefail
program=$1
for tool in Xvfb xdotool xclip; do
    command -v "$tool" >/dev/null || { echo "missing $tool (./test installs it)"; exit 1; }
done

work=$(mktemp -d)
cleanup() {
    kill "${app:-}" "${xvfb:-}" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

"$program" &
app=$!

visible() { timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
gone() {
    for _ in $(seq 50); do
        [[ -z $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null) ]] && return 0
        sleep 0.1
    done
    fail "$1 is still visible"
}
# Click at a point of a window's client area, as the designed pixel positions give it.
click() { xdotool mousemove --sync --window "$1" "$2" "$3" click 1; }

main=$(visible "Quinbray Build Calculator") || fail "no calculator window"
xdotool getwindowgeometry "$main" | grep -q "Geometry: 345x186" ||
    fail "client area is not 345x186: $(xdotool getwindowgeometry "$main")"

# Type 10 over the excitation voltage, then Calculate with the mouse.
click "$main" 40 50
xdotool key ctrl+a && xdotool type --delay 20 "10"
click "$main" 56 156

# Read the result the way a person would take it elsewhere: select it and copy it.
click "$main" 280 118
xdotool key ctrl+a ctrl+c
sleep 0.3
result=$(xclip -selection clipboard -o)
[[ $result == "2.00" ]] || fail "result is '$result', expected 2.00"

xdotool key alt+h
help=$(visible "Operation") || fail "Alt+H did not open the help window"
gone "Quinbray Build Calculator"
xdotool key alt+c
main=$(visible "Quinbray Build Calculator") || fail "Alt+C did not bring the calculator back"
gone "Operation"

xdotool key alt+x
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "Alt+X did not end the program"
wait "$app" && status=0 || status=$?
[[ $status == 0 ]] || fail "the program exited with status $status"
echo "PASS: typed, calculated $result, copied it, went to help and back, and exited"
