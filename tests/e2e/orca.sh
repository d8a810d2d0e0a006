#!/usr/bin/env bash
# orca.sh QUINBRAY: the real program with the screen reader Orca running, on a virtual X
# server with a private session's accessibility bus. Calculate is pressed twice with the
# mouse, and Orca's own log must show it saying each result, while the focus stays on the
# button.
set -euo pipefail
if [[ -z ${QUINBRAY_PRIVATE_SESSION:-} ]]; then # a session bus of our own, gone when we are
    QUINBRAY_PRIVATE_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
source "$(dirname "$0")/xvfb.sh"
source "$(dirname "$0")/../designed.sh"
command -v orca >/dev/null || fail "missing orca (./test installs it)"
launcher=$(ls /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher \
    2>/dev/null | head -n 1) || true
[[ -x $launcher ]] || fail "missing at-spi-bus-launcher (./test installs at-spi2-core)"
"$launcher" --launch-immediately &
bus=$!
log=$xvfb_dir/orca.log
# Orca's settings and speech stay in the throwaway directory; it speaks to no sound card.
export XDG_CONFIG_HOME=$xvfb_dir/config XDG_DATA_HOME=$xvfb_dir/data
# Orca writes its log line by line only to a terminal: it runs on one that script(1) keeps,
# which writes each line to the log at once.
script --quiet --flush --command 'orca --replace --debug-file=/dev/tty' "$log" >/dev/null 2>&1 &
orca=$!
trap 'kill $orca $bus 2>/dev/null; stop_xvfb' EXIT

# How many times Orca has said $1 (the start of an utterance).
count() { grep -c "SPEECH OUTPUT: '$1" "$log" 2>/dev/null || true; }
# Waits up to $3 tenths of a second for Orca to have said $2 at least $1 times.
said() {
    for _ in $(seq "$3"); do
        (($(count "$2") >= $1)) && return 0
        sleep 0.1
    done
    return 1
}
said 1 "Screen reader on" 300 || fail "Orca did not start"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" &
app=$!
main=$(visible "Quinbray Build Calculator") || fail "no calculator window"
said 1 "Quinbray Build Calculator" 300 || fail "Orca did not find the calculator window"
# Calculate is pressed until Orca has said two results: on a busy machine it may not have
# taken the program's events yet.
result="notification Quinbray per Increment 1.00"
xdotool mousemove --sync --window "$main" $(designed_centre mainfrm cmd1)
for _ in $(seq 10); do
    xdotool click 1
    said $(($(count "$result") + 1)) "$result" 50 || true
    (($(count "$result") >= 2)) && break
done
(($(count "$result") >= 2)) ||
    fail "Orca did not say \"$result\" twice; it said: $(grep -o "SPEECH OUTPUT: '[^']*" "$log" | cut -c16- | tr '\n' ' ')"
focus=$(grep "locusOfFocus: \[" "$log" | tail -n 1)
[[ $focus == *"[push button | Calculate]"* ]] || fail "the focus moved: $focus"
echo "PASS: Orca said \"$result\" for two Calculates, with the focus on Calculate"
