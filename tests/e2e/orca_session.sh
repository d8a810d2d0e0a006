# Sourced first by the tests that listen to the screen reader Orca: gives the script a
# private session bus, a virtual X server (xvfb.sh), the accessibility bus and Orca, whose
# own log is $orca_log, with helpers to wait for what it says.
#
# Orca runs in a PID namespace of its own, where it sees no other Orca: started beside a
# user's own screen reader it would refuse to run, and with --replace it would end every
# Orca of the user. A stand-in that Orca would take for another Orca runs outside the
# namespace, and must still run when the test ends (orca_stop checks it).
# shellcheck shell=bash

if [[ -z ${QUINBRAY_PRIVATE_SESSION:-} ]]; then # a session bus of our own, gone when we are
    QUINBRAY_PRIVATE_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
for tool in orca unshare script; do
    command -v "$tool" >/dev/null || fail "missing $tool (./test installs it)"
done
launcher=$(ls /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher \
    2>/dev/null | head -n 1) || true
[[ -x $launcher ]] || fail "missing at-spi-bus-launcher (./test installs at-spi2-core)"
"$launcher" --launch-immediately &
orca_bus=$!


orca_log=$xvfb_dir/orca.log
# Orca's settings and speech stay in the throwaway directory; it speaks to no sound card.
export XDG_CONFIG_HOME=$xvfb_dir/config XDG_DATA_HOME=$xvfb_dir/data
# A user without root's rights makes the namespace inside a user namespace of their own,
# where they keep their own user id, which the session bus asks for.
orca_namespace=(--pid --fork --mount-proc --kill-child)
((EUID == 0)) || orca_namespace+=(--user --map-current-user)
orca_standin=
if unshare "${orca_namespace[@]}" true 2>/dev/null; then
    # What Orca's own check for other instances (pgrep -x orca, by user) would find outside.
    cp "$(command -v sleep)" "$xvfb_dir/orca"
    "$xvfb_dir/orca" infinity &
    orca_standin=$!
else
    # In a chroot, whose root is no mount point, the mounts cannot be made private, so no proc
    # of its own can be mounted. Orca then runs as it is, still never with --replace: beside
    # another Orca it refuses to start, and the test fails, but it ends none.
    echo "Orca runs without a namespace of its own: $(unshare "${orca_namespace[@]}" true 2>&1)"
    orca_namespace=()
fi
# Orca writes its log line by line only to a terminal: it runs on one that script(1) keeps,
# which writes each line to the log at once. A shell is the namespace's first process, which
# the speech server's own process falls to once it has started.
script --quiet --flush --log-out "$orca_log" --command "${orca_namespace[*]:+unshare ${orca_namespace[*]}} \
    sh -c 'orca --debug-file=/dev/tty & wait'" >/dev/null 2>&1 &
orca=$!

# Ends Orca and the buses, checks the stand-in outlived them, then ends the X server.
orca_stop() {
    local status=$?
    # Without a namespace to end with, Orca goes with the session that script(1) made for it.
    ((${#orca_namespace[@]})) || pkill -s "$(pgrep -P "$orca" | head -n 1)" 2>/dev/null || true
    kill "$orca" "$orca_bus" 2>/dev/null || true
    # Kept where asked, to see why a test failed.
    [[ -z ${QUINBRAY_ORCA_LOG:-} ]] || cp "$orca_log" "$QUINBRAY_ORCA_LOG"
    if [[ -n $orca_standin ]] && ! kill "$orca_standin" 2>/dev/null; then
        echo "FAIL: the test's Orca ended another Orca of the same user"
        status=1
    fi
    stop_xvfb
    exit "$status"
}
trap orca_stop EXIT

# Everything Orca has said since line $1 of its log (0: since it started), one utterance a line.
orca_speech() {
    tail -n +"$((${1:-0} + 1))" "$orca_log" 2>/dev/null | grep -o "SPEECH OUTPUT: '[^']*" | cut -c17- || true
}
# The log's length now, for orca_heard to look only at what comes after.
orca_mark() { wc -l <"$orca_log"; }
# Waits up to $4 seconds (30 unless told) for Orca to say something after line $2 of its log
# that holds $3 (orca_hears contains) or is $3 but for a final full stop (orca_hears is);
# returns 1 if it does not.
orca_hears() {
    local test=$1 mark=$2 text=$3
    for _ in $(seq "$((${4:-30} * 10))"); do
        orca_speech "$mark" | awk -v test="$test" -v text="$text" '
            { sub(/[ .]+$/, "") }
            test == "is" && $0 == text || test == "contains" && index($0, text) { found = 1 }
            END { exit !found }' && return 0
        sleep 0.1
    done
    return 1
}
# The same, failing the test with what Orca said instead.
orca_heard() {
    orca_hears "$@" ||
        fail "Orca did not say \"$3\"; it said: $(orca_speech "$2" | sed 's/$/ |/' | tr '\n' ' ')"
}
