#!/usr/bin/env bash
# display_lost.sh COMMAND...: the real program on a virtual X server that then ends, as a
# display does when its server dies or a remote session drops. The program must end on its
# own with a short message and a failing status, not crash on its way out.
set -euo pipefail
source "$(dirname "$0")/xvfb.sh"
source "$(dirname "$0")/../designed.sh"

"$@" 2>"$xvfb_dir/said" &
app=$!
main=$(visible "$main_title") || fail "no calculator window"
# Both windows made, so that there is more to tear down than one.
xdotool mousemove --sync --window "$main" $(designed_centre mainfrm cmd2) click 1
visible "$help_title" >/dev/null || fail "Help showed no help window"

kill "$xvfb"
wait "$xvfb" || true
status=0
wait "$app" || status=$?
app=
said=$(cat "$xvfb_dir/said")
((status > 0 && status < 128)) || fail "the program ended with status $status: $said"
grep -q "^Quinbray: the connection to the display is lost" <<<"$said" ||
    fail "the program did not say why it ended: $said"
echo "PASS: without its display the program ends with status $status and says why"
