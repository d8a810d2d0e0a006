#!/usr/bin/env bash
# live_result.sh PROBE EXE: each Calculate's result is told to screen readers as a live
# region's change of the Windows program, wherever the focus is: PROBE listens for the
# change as a screen reader does, out of the program's process, while Calculate is pressed
# with the mouse; the focus stays on Calculate. A double click is two presses, and two
# results.
set -euo pipefail
probe=$1 exe=$2
source "$(dirname "$0")/../e2e/xvfb.sh"
source "$(dirname "$0")/../designed.sh"

wine "$exe" &
app=$!
main=$(visible "$main_title") || fail "no calculator window"
heard=$xvfb_dir/heard
round=0
# How many results a screen reader hears from a click where on Calculate: the same result
# each time, and each Calculate is told. Each round clicks elsewhere on the button, so that
# no two rounds make a double click.
while read -r -u 3 times x clicks; do
    round=$((round + 1))
    wine "$probe" live "$times" >"$heard" &
    listener=$!
    for _ in $(seq 100); do grep -q listening "$heard" && break; sleep 0.1; done
    grep -q listening "$heard" || fail "the listener did not start"
    # shellcheck disable=SC2086 # the click is xdotool's words
    xdotool mousemove --sync --window "$main" "$x" 156 $clicks
    wait "$listener" || fail "round $round, $clicks: $(tr -d '\r' <"$heard" | grep FAIL)"
    told=$(tr -d '\r' <"$heard" | tail -n 1)
    [[ $told == Text1=1.00 ]] || fail "round $round: a screen reader was told '$told'"
    focus=$(tr -d '\r' <"$heard" | grep focus=)
    [[ $focus == focus=cmd1 ]] || fail "round $round: the focus moved, $focus"
done 3<<'EOF'
1 40 click 1
1 72 click 1
2 56 click --repeat 2 1
EOF
xdotool key alt+x
exits_cleanly "$app"
echo "PASS: each Calculate told screen readers the live result, $told, twice for a double click, the focus on Calculate"
