#!/usr/bin/env bash
# use_the_exe.sh PROBE EXE: the Windows program under Wine, used through X input events as a
# person would, and read back by PROBE, a Windows program that looks at its windows.
set -euo pipefail
probe=$1 exe=$2
source "$(dirname "$0")/../e2e/xvfb.sh"
source "$(dirname "$0")/../designed.sh"
command -v xclip >/dev/null || fail "missing xclip (./test installs it)"

ask() { wine "$probe" "$@" | tr -d '\r'; }
text() { ask texts | sed -n "s/^$1=//p"; }
# Where a person clicks a control of the calculator window: its middle, as designed.
calculate=$(designed_centre mainfrm cmd1)
at() { designed_centre mainfrm "$1"; }
# click CONTROL [BUTTON]
click() { xdotool mousemove --sync --window "$main" $(at "$1") click "${2:-1}"; }
# A point of the window that holds no control.
corner="335 175"
# Types over a field's text: click it, select all with Ctrl+A, type.
type_over() {
    click "$1"
    xdotool key ctrl+a BackSpace
    [[ -z $2 ]] || xdotool type --delay 5 -- "$2"
}
# The five inputs in the order Calculate reads them.
inputs=(Combo1 Combo2 Text3 Combo4 Combo5)
type_all() {
    local i=0
    for value in "$@"; do type_over "${inputs[i]}" "$value"; i=$((i + 1)); done
}
calculate_is() { # waits for the result field to read $1
    for _ in $(seq 30); do [[ $(text Text1) == "$1" ]] && return 0; sleep 0.1; done
    fail "${2:-Calculate}: result is '$(text Text1)', expected '$1'"
}
# Typing comes after what went before it in the program's queue: once it shows in the
# division, all that went before has been handled.
handled() {
    type_over Text3 "$1"
    for _ in $(seq 30); do [[ $(text Text3) == "$1" ]] && return 0; sleep 0.1; done
    fail "typing after $2 never arrived"
}

wine "$exe" &
app=$!
main=$(visible "$main_title") || fail "no calculator window"
ask startup || fail "start-up texts and lists"
ask layout mainfrm || fail "calculator layout"

# Any mouse button computes, also when the pointer leaves Calculate before the release: the
# button itself keeps the left one, the program the others.
type_all 10 4 0.5 1000 3
click cmd1 3
calculate_is 3.75 "right button"
type_all 15 1 1 1 3
click cmd1 2
calculate_is 45000.00 "middle button"
type_all -5 4 1 "2500 lb" 2
xdotool mousemove --sync --window "$main" $calculate mousedown 3 mousemove --sync 400 400 mouseup 3
calculate_is -1.00 "right button released off the button"

# The keyboard and a press that began elsewhere compute nothing.
type_all 5 4 1 2500 2
xdotool key alt+c
xdotool mousemove --sync --window "$main" $corner click 1 mousedown 1 \
    mousemove --sync --window "$main" $calculate mouseup 1
click Combo4 && xdotool key Return Tab space Return KP_Enter # Tab from the capacity reaches Calculate
handled "1 handled" "the keyboard's Calculate"
[[ $(text Text1) == -1.00 ]] || fail "the keyboard or a press elsewhere computed $(text Text1)"

# Two buttons held on Calculate: each release computes, the later one also off the button,
# with what was typed in between.
type_all 5 4 1 2500 2
xdotool mousemove --sync --window "$main" $calculate mousedown 1 mousedown 3 mouseup 1
calculate_is 1.00 "the first of two buttons held"
xdotool key shift+Tab ctrl+a BackSpace && xdotool type --delay 5 -- 1000 # the capacity
xdotool mousemove --sync 400 400 mouseup 3
calculate_is 2.50 "the second of two buttons held, released off the button"

# The window menu takes the mouse from a button held on Calculate: its release, once the
# menu is closed, computes nothing, with the pointer still on the button.
type_all 5 4 1 2500 2
for button in 1 2 3; do
    xdotool mousemove --sync --window "$main" $calculate mousedown $button key alt+space
    ask closemenu || fail "the window menu over button $button held on Calculate"
    xdotool mouseup $button
    handled "1 $button" "button $button's release"
    [[ $(text Text1) == 2.50 ]] ||
        fail "button $button, released after the window menu took the mouse, computed $(text Text1)"
done

# A cell count of 0: no result, and a warning that says why.
type_all 5 0 1 2500 2
click cmd1
message=
for _ in $(seq 30); do message=$(ask message) && break; sleep 0.1; done
[[ $message == "$main_title"$'\nThe number of load cells and the load cell capacity must not be zero.' ]] ||
    fail "warning: '$message'"
xdotool key Return
for _ in $(seq 30); do ask message >/dev/null || break; sleep 0.1; done
[[ -z $(text Text1) ]] || fail "a result stands beside a cell count of 0"

# Help and back, by the mouse and the title bar's close, keep every value.
type_all 12.5 7 0.5 "2500 kg" 3
click cmd1
calculate_is 1.07 "before help"
before=$(ask texts)
click cmd2
help=$(visible "$help_title") || fail "Help showed no help window"
gone "$main_title"
ask layout helpfrm || fail "help window layout"
xdotool key alt+F4
visible "$main_title" >/dev/null || fail "closing help did not bring the calculator back"
gone "$help_title"
[[ $(ask texts) == "$before" ]] || fail "values changed on the way to help and back"

# And by the keyboard alone: Enter on Help, reached by Tab; then Enter, the keypad's Enter
# and Escape on Close, which has the keyboard as soon as the help window shows.
click Combo4 && xdotool key Tab Tab Return
for key in Return KP_Enter Escape; do
    [[ $key == Return ]] || xdotool key alt+h
    visible "$help_title" >/dev/null || fail "no help window before $key"
    gone "$main_title"
    xdotool key "$key"
    visible "$main_title" >/dev/null || fail "$key on Close did not bring the calculator back"
    gone "$help_title"
done
xdotool key Escape # closes nothing on the calculator
handled "1 handled" "Escape on the calculator"

# The longest texts a field holds, with letters from beyond ASCII after the numbers.
filler=$(printf ' µV日本€x%.0s' $(seq 5000))
i=0
for value in 5 4 1 2500 2; do
    printf '%s' "${value}${filler}" | head -c 200000 | python3 -c \
        'import sys; t=sys.stdin.read(); sys.stdout.write(t[:32767])' | xclip -selection clipboard 2>/dev/null
    # xclip takes the clipboard in the background after it returns: paste only once it has.
    for _ in $(seq 50); do
        [[ $(xclip -selection clipboard -o 2>/dev/null | head -c $((${#value} + 1))) == "$value " ]] && break
        sleep 0.1
    done
    click "${inputs[i]}"
    xdotool key ctrl+a ctrl+v
    i=$((i + 1))
done
click cmd1
calculate_is 1.00 "long texts"
[[ $(ask lengths | grep -v Text1 | cut -d= -f2 | sort -u) == 32767 ]] ||
    fail "long texts were not kept whole: $(ask lengths | tr '\n' ' ')"

xdotool key alt+F4
exits_cleanly "$app"
echo "PASS: lists, layout, every mouse button, no keyboard Calculate, the mouse taken away, the warning, help and back by mouse and keys, long texts"
