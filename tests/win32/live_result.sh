#!/usr/bin/env bash
# live_result.sh PROBE EXE: each Calculate's result is told to screen readers as a live
# region's change of the Windows program, wherever the focus is: PROBE listens for the
# change as a screen reader does, out of the program's process, while Calculate is pressed
# with the mouse; the focus stays on Calculate.
set -euo pipefail
probe=$1 exe=$2
source "$(dirname "$0")/../e2e/xvfb.sh"

wine "$exe" &
app=$!
main=$(visible "Quinbray Build Calculator") || fail "no calculator window"
heard=$xvfb_dir/heard
for round in 1 2; do # the same result twice: each Calculate is told
    wine "$probe" live >"$heard" &
    listener=$!
    for _ in $(seq 100); do grep -q listening "$heard" && break; sleep 0.1; done
    grep -q listening "$heard" || fail "the listener did not start"
    xdotool mousemove --sync --window "$main" 56 156 click 1
    wait "$listener" || fail "round $round: no live region changed"
    told=$(tr -d '\r' <"$heard" | tail -n 1)
    [[ $told == Text1=1.00 ]] || fail "round $round: a screen reader was told '$told'"
    focus=$(tr -d '\r' <"$heard" | grep focus=)
    [[ $focus == focus=cmd1 ]] || fail "round $round: the focus moved, $focus"
done
xdotool key alt+x
exits_cleanly "$app"
echo "PASS: each Calculate told screen readers the live result, $told, the focus on Calculate"
