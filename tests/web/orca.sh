#!/usr/bin/env bash
# orca.sh: the site in Firefox ESR and in Chromium with the screen reader Orca running, on a
# virtual X server with a private session's accessibility bus; orca.test.mjs uses it with X
# input and reads what Orca said from Orca's own log.
set -euo pipefail
if [[ -z ${QUINBRAY_PRIVATE_SESSION:-} ]]; then # a session bus of our own, gone when we are
    QUINBRAY_PRIVATE_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
here=$(dirname "$(readlink -f "$0")")
source "$here/../e2e/xvfb.sh"
source "$here/../e2e/orca_session.sh"
trap 'stop_orca; stop_xvfb' EXIT
start_orca
ORCA_LOG=$orca_log node --test "$here/orca.test.mjs"
