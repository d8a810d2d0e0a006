# Sourced, after xvfb.sh and inside a private session bus, by the tests that listen to the
# screen reader Orca: starts the session's accessibility bus and Orca, which writes what it
# says to $orca_log, and gives helpers to wait for what it said.
#
# Orca, started without --replace, refuses to run beside another Orca of the same user, and
# with it ends every one: it runs in a process namespace of its own, where it sees no other
# (a user's own screen reader, another test's) and can end none. It goes with the namespace.
# shellcheck shell=bash

command -v orca >/dev/null || fail "missing orca (./test installs it)"
command -v unshare >/dev/null || fail "missing unshare (./test installs util-linux)"
orca_launcher=$(ls /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher \
    2>/dev/null | head -n 1) || true
[[ -x $orca_launcher ]] || fail "missing at-spi-bus-launcher (./test installs at-spi2-core)"

orca_log=$xvfb_dir/orca.log
stop_orca() {
    kill "${orca:-}" "${orca_bus:-}" 2>/dev/null || true
}

# Starts the bus and Orca, and waits until Orca has said it is on.
start_orca() {
    "$orca_launcher" --launch-immediately &
    orca_bus=$!
    # Orca's settings stay in the throwaway directory. It speaks to no speech server: what it
    # says is in its log, and starting one with no sound card can hold Orca's start for good.
    export XDG_CONFIG_HOME=$xvfb_dir/config XDG_DATA_HOME=$xvfb_dir/data
    export SPEECHD_ADDRESS=unix_socket:$xvfb_dir/no-speech SPEECHD_CMD=/bin/false
    # Orca writes its log line by line only to a terminal: it runs on one that script(1) keeps,
    # which writes each line to the log at once.
    unshare --pid --mount-proc --kill-child \
        script --quiet --flush --command 'orca --debug-file=/dev/tty' "$orca_log" >/dev/null 2>&1 &
    orca=$!
    said 1 "Screen reader on" 300 || fail "Orca did not start: $(tail -n 5 "$orca_log" 2>/dev/null)"
}

# How many times Orca has said $1 (the start of an utterance).
count() {
    local n
    n=$(grep -c "SPEECH OUTPUT: '$1" "$orca_log" 2>/dev/null) || true
    echo "${n:-0}"
}
# Waits up to $3 tenths of a second for Orca to have said $2 at least $1 times.
said() {
    for _ in $(seq "$3"); do
        (($(count "$2") >= $1)) && return 0
        sleep 0.1
    done
    return 1
}
# Everything Orca has said, one utterance a line.
utterances() { grep -o "SPEECH OUTPUT: '[^']*" "$orca_log" | cut -c16-; }
