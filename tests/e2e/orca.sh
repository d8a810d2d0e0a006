#!/usr/bin/env bash
# orca.sh QUINBRAY: the real program with the screen reader Orca running (orca_session.sh),
# used by keyboard and mouse as its users do, and what Orca says read from its own log:
# each Calculate's result while the focus stays on the button; every field's words as
# Ctrl+Left and Ctrl+Right move by them, the program answering all along; the result read
# whole; the help window's text as it opens and line by line with the review keys; the
# warning's text as it appears.
set -euo pipefail
source "$(dirname "$0")/orca_session.sh"
source "$(dirname "$0")/../designed.sh"
orca_heard contains 0 "Screen reader on"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" &
app=$!
main=$(visible "$main_title") || fail "no calculator window"
orca_heard contains 0 "$main_title"

# Calculate is pressed until Orca has said two results: on a busy machine it may not have
# taken the program's events yet.
result="notification Quinbray per Increment 1.00"
xdotool mousemove --sync --window "$main" $(designed_centre mainfrm cmd1)
for _ in $(seq 10); do
    xdotool click 1
    (($(orca_speech | grep -c "^$result") >= 2)) && break
    orca_hears contains "$(orca_mark)" "$result" 5 || true
done
(($(orca_speech | grep -c "^$result") >= 2)) ||
    fail "Orca did not say \"$result\" twice; it said: $(orca_speech | tr '\n' ' ')"
focus=$(grep "locusOfFocus: \[" "$orca_log" | tail -n 1)
[[ $focus == *"[push button | Calculate]"* ]] || fail "the focus moved: $focus"
echo "PASS: Orca said \"$result\" for two Calculates, with the focus on Calculate"

# Each field, reached by Tab (from Calculate: Help, Exit, then the first input) or, for the
# result, which Tab skips, by a click; then moved in by word from its end. Which piece of
# the text Orca says for a move is its own choice (what the caret passed over, the word it
# is in, or a character where it took the key for a move by character); what counts is that
# it was answered: Orca says a piece of the field's text, not only the key.
for button in Help Exit; do
    mark=$(orca_mark)
    xdotool key Tab
    orca_heard contains "$mark" "$button push button"
done
while read -r field caption text moves; do
    mark=$(orca_mark)
    if [[ $field == Text1 ]]; then
        # Orca reads what a click focuses only where it learns of the focus after the click
        # itself: the result is read whole as its window comes back, below.
        xdotool mousemove --sync --window "$main" $(designed_centre mainfrm "$field") click 1
        for _ in $(seq 300); do
            tail -n +"$mark" "$orca_log" | grep -qF "locusOfFocus: [text | $caption" && break
            sleep 0.1
        done
    else
        xdotool key Tab
        orca_heard contains "$mark" "$caption"
        orca_heard is "$mark" "$text"
    fi
    if [[ $field == Text3 ]]; then # a field of two words, as a person types a unit after
        mark=$(orca_mark)
        xdotool key ctrl+a type "2500 lb"
        orca_heard is "$mark" "b"
        text="2500 lb"
    fi
    xdotool key End
    words=()
    # Control is held until Orca has spoken: let go at once, Orca, slowed by a busy machine,
    # may take the arrow that moved the caret for one without it, and read a character.
    for move in $moves; do
        xdotool keydown "${move%%+*}"
        mark=$(orca_mark)
        xdotool key "${move#*+}"
        for _ in $(seq 300); do
            found=$(orca_speech "$mark" | sed 's/[ .]*$//' |
                awk -v text="$text" 'length($0) && index(text, $0) { print; exit }') || true
            [[ -n $found ]] && break
            sleep 0.1
        done
        xdotool keyup "${move%%+*}"
        [[ -n $found && $text == *"$found"* ]] ||
            fail "in $field Orca said no piece of \"$text\" for $move: $(orca_speech "$mark" | tr '\n' ' ')"
        words+=("$found")
    done
    kill -0 "$app" || fail "the program ended"
    echo "PASS: in $field (\"$text\") Orca said by word: ${words[*]}"
done <<'EOF'
Combo1 Excitation 5 ctrl+Left ctrl+Right
Text3 Division 1 ctrl+Left ctrl+Left ctrl+Right ctrl+Right
Combo5 Cell 2 ctrl+Left ctrl+Right
Combo2 Number 4 ctrl+Left ctrl+Right
Combo4 Capacity 2500 ctrl+Left ctrl+Right
Text1 Quinbray 1.00 ctrl+Left ctrl+Right
EOF

# The help window's text as it opens, and its lines with the review keys (desktop layout:
# 8 on the keypad the current line, 7 the one above).
mark=$(orca_mark)
xdotool key alt+h
orca_heard contains "$mark" "$help_title dialog Select the desired values for each parameter"
orca_heard contains "$mark" "Close push button"
mark=$(orca_mark)
xdotool key KP_Up
orca_heard contains "$mark" "Quinbray Ver 1.01"
mark=$(orca_mark)
xdotool key KP_Home
orca_heard is "$mark" "Holding down the ALT key and pressing the underlined letter on the buttons also works"
echo "PASS: Orca read the help as it opened, and its lines with the review keys"
# Back in the calculator, Orca reads its window and the result that has the focus, whole.
mark=$(orca_mark)
xdotool key alt+c
orca_heard contains "$mark" "$main_title frame"
orca_heard contains "$mark" "Quinbray per Increment read only text"
orca_heard is "$mark" "1.00"
echo "PASS: Orca read the result \"1.00\" whole"

# The warning's text as the box appears.
mark=$(orca_mark)
xdotool mousemove --sync --window "$main" $(designed_centre mainfrm Combo2) click 1
orca_heard contains "$mark" "Number of Load Cells"
mark=$(orca_mark)
xdotool key ctrl+a type 0
orca_heard is "$mark" "0"
# The warning's text is said once whichever Orca takes first, the press on Calculate or the
# box that its release opens. Let go once Orca has logged the press, Orca says the box as it
# appears; clicked at once, Orca, slowed by the machine, often takes the press only when the
# box is already active, makes the box its own silently and says only the button that has the
# focus, so the button carries the text. Each order three times; the box is closed with Enter.
warning="The number of load cells and the load cell capacity must not be zero"
for order in held clicked held clicked held clicked; do
    mark=$(orca_mark)
    xdotool mousemove --sync --window "$main" $(designed_centre mainfrm cmd1)
    if [[ $order == held ]]; then
        xdotool mousedown 1
        for _ in $(seq 300); do
            tail -n +"$mark" "$orca_log" | grep -q "OBJECT EVENT: mouse:button:1p" && break
            sleep 0.1
        done
        xdotool mouseup 1
    else
        xdotool click 1
    fi
    orca_heard contains "$mark" "OK push button"
    orca_heard is "$mark" "$warning"
    # Whether Orca said the box as it appeared, or only the focus within it.
    appeared=no
    orca_speech "$mark" | grep -q "^alert $main_title" && appeared=yes
    xdotool key Return
    for _ in $(seq 300); do
        tail -n +"$mark" "$orca_log" | grep -q "window:deactivate for \[alert" && break
        sleep 0.1
    done
    times=$(orca_speech "$mark" | grep -c "^$warning") || true
    ((times == 1)) || fail "Orca said the warning $times times: $(orca_speech "$mark" | tr '\n' ' ')"
    kill -0 "$app" || fail "the program ended"
    echo "PASS: Calculate $order, Orca said the warning once (the box said as it appeared: $appeared)"
done
