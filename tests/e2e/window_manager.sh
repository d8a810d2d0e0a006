#!/usr/bin/env bash
# window_manager.sh COMMAND...: the real program under a window manager (openbox) on a
# virtual X server, moved by its title bar with the mouse as a person moves it. Each window
# comes back where the user left it after the other has taken its turn, and neither
# becomes maximised or fullscreen, whoever asks: both have one size.
set -euo pipefail
source "$(dirname "$0")/xvfb.sh"
source "$(dirname "$0")/../designed.sh"
for tool in openbox wmctrl xwininfo; do
    command -v "$tool" >/dev/null || fail "missing $tool (./test installs it)"
done

openbox --sm-disable --config-file /dev/null >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null; stop_xvfb' EXIT
for _ in $(seq 200); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
wmctrl -m >/dev/null 2>&1 || fail "openbox did not start"

"$@" &
app=$!

# The client area's place on the screen, X,Y.
place() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    END {print x "," y}'; }
size() { xwininfo -id "$1" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'; }
# Waits for window $1 to be at $2; a window the program puts back can take a while on a
# busy machine.
placed_at() {
    for _ in $(seq 200); do [[ $(place "$1") == "$2" ]] && return 0; sleep 0.1; done
    fail "${3:-window} is at $(place "$1"), not $2"
}
# Waits until the window manager has framed window $1 and put it in its place.
managed() {
    local before=
    for _ in $(seq 50); do
        if [[ $(xprop -id "$1" _NET_FRAME_EXTENTS) == *=* ]]; then
            [[ $(place "$1") == "$before" ]] && return 0
            before=$(place "$1")
        fi
        sleep 0.1
    done
    fail "the window manager did not frame the window"
}
# Drags window $1 by its title bar, 10 pixels above the client area, by $2,$3 pixels.
drag() {
    local x y
    managed "$1"
    IFS=, read -r x y <<<"$(place "$1")"
    ((y >= 10)) || fail "the window's title bar is off the screen: the client area is at $x,$y"
    # At a person's pace: the window manager takes the pointer on the press, and starts
    # moving the window once it has gone a few pixels.
    local steps=(mousemove --sync $((x + 60)) $((y - 10)) mousedown 1)
    for i in 1 2 3 4 5; do
        steps+=(sleep 0.05 mousemove --sync $((x + 60 + $2 * i / 5)) $((y - 10 + $3 * i / 5)))
    done
    xdotool "${steps[@]}" mouseup 1
    placed_at "$1" "$((x + $2)),$((y + $3))" "the dragged window"
}

# Clicks an empty corner of window $1, presses $2 once the window manager has made it the
# active window, and waits for window $3 to show. The window manager holds the keyboard
# until it has handled the end of a drag, which on a busy machine can come after the
# window has arrived: then the key is pressed again.
switch() {
    for _ in 1 2 3 4 5; do
        xdotool mousemove --sync --window "$1" 335 175 click 1
        for _ in $(seq 50); do
            [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]] && break
            sleep 0.1
        done
        xdotool key "$2"
        timeout 5 xdotool search --sync --onlyvisible --name "^$3\$" >/dev/null && return 0
    done
    fail "$2 did not bring $3"
}

main=$(visible "$main_title") || fail "no calculator window"
drag "$main" 150 90
moved=$(place "$main")
switch "$main" alt+h "$help_title"
help=$(visible "$help_title")
drag "$help" 80 160
helpMoved=$(place "$help")
for round in 1 2; do
    switch "$help" alt+c "$main_title"
    placed_at "$main" "$moved" "the calculator, round $round,"
    switch "$main" alt+h "$help_title"
    placed_at "$help" "$helpMoved" "the help window, round $round,"
done
switch "$help" alt+c "$main_title"

# Asks the window manager for one desktop more and waits until it has it: it handles
# requests in turn, so by then it has acted on each one sent before.
handled() {
    local desktops
    desktops=$(xprop -root _NET_NUMBER_OF_DESKTOPS | awk '{print $3 + 1}')
    wmctrl -n "$desktops"
    for _ in $(seq 50); do
        [[ $(xprop -root _NET_NUMBER_OF_DESKTOPS | awk '{print $3}') == "$desktops" ]] && return 0
        sleep 0.1
    done
    fail "the window manager did not answer $1"
}

# Fullscreen and maximised, as a window menu or a pager asks for them: the window stays.
for state in fullscreen maximized_vert,maximized_horz; do
    wmctrl -i -r "$main" -b add,$state
    handled "the request for $state"
    for _ in $(seq 200); do
        states=$(xprop -id "$main" _NET_WM_STATE)
        [[ $states != *FULLSCREEN* && $states != *MAXIMIZED* ]] && break
        sleep 0.1
    done
    [[ $states != *FULLSCREEN* && $states != *MAXIMIZED* ]] || fail "asked for $state: $states"
    [[ $(size "$main") == 345x186 ]] || fail "asked for $state, the client area is $(size "$main")"
    placed_at "$main" "$moved" "asked for $state, the calculator"
done

xdotool mousemove --sync --window "$main" 335 175 click 1 key alt+x
exits_cleanly "$app"
echo "PASS: both windows came back where they were dragged to, twice; fullscreen and" \
    "maximised were refused"
