#!/usr/bin/env bash
# screen_reader.sh QUINBRAY: starts the real program on a virtual X server with the
# accessibility bus of a private session, and reads its tree over that bus the way a screen
# reader does: every caption must label its input, each Calculate's result must reach it
# without the focus moving, and every text question at every offset of every field must be
# answered.
set -euo pipefail
if [[ -z ${QUINBRAY_PRIVATE_SESSION:-} ]]; then # a session bus of our own, gone when we are
    QUINBRAY_PRIVATE_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
source "$(dirname "$0")/xvfb.sh"
source "$(dirname "$0")/../designed.sh"
launcher=$(ls /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher \
    2>/dev/null | head -n 1) || true
[[ -x $launcher ]] || fail "missing at-spi-bus-launcher (./test installs at-spi2-core)"
"$launcher" --launch-immediately &
bus=$!
trap 'kill $bus 2>/dev/null; stop_xvfb' EXIT

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" &
app=$!
main=$(visible "$main_title") || fail "no calculator window"
/usr/bin/python3 "$(dirname "$0")/screen_reader.py"
/usr/bin/python3 "$(dirname "$0")/hears_result.py" "$main"
/usr/bin/python3 "$(dirname "$0")/text_at_offset.py" "$app"
