#!/usr/bin/env bash
# orca.sh: the site in Firefox ESR and in Chromium with the screen reader Orca running
# (orca_session.sh: a private session, a virtual X server, Orca in a namespace of its own);
# orca.test.mjs uses it with X input and reads what Orca said from Orca's own log.
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../e2e/orca_session.sh"
orca_heard contains 0 "Screen reader on"
ORCA_LOG=$orca_log node --test "$here/orca.test.mjs"
