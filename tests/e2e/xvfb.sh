# Sourced by the scripts that use the real program on a virtual X server: starts one on a
# free display, and gives small helpers to wait for windows by their title.
# shellcheck shell=bash

# A failure goes to standard error and ends the whole script, also from inside $(…), where
# an exit alone would end only the subshell and leave its message as the captured text.
fail() {
    echo "FAIL: $*" >&2
    [[ $BASHPID == "$$" ]] || kill -TERM "$$"
    exit 1
}

for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "missing $tool (./test installs it)"
done

xvfb_dir=$(mktemp -d)
stop_xvfb() {
    kill "${app:-}" 2>/dev/null || true
    if [[ -n ${WINEPREFIX:-} ]]; then # a Windows program's server too
        wineserver -k 2>/dev/null || true
    fi
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$xvfb_dir"
}
trap stop_xvfb EXIT
# Started again, once, if it does not answer: once, in a chroot, the first client could not
# open the display the server had just named, and the test failed for want of a screen.
# The server's own words stay in its log, for the failure's message.
start_xvfb() {
    : >"$xvfb_dir/display"
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$xvfb_dir/display" \
        2>"$xvfb_dir/xvfb.log" &
    xvfb=$!
    for _ in $(seq 50); do [[ -s $xvfb_dir/display ]] && break; sleep 0.1; done
    DISPLAY=:$(cat "$xvfb_dir/display")
    export DISPLAY
    for _ in $(seq 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.1
    done
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    return 1
}
start_xvfb || start_xvfb || fail "no virtual X server answered: $(tail -n 5 "$xvfb_dir/xvfb.log")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# The id of the visible window with exactly this title, waiting up to thirty seconds: a
# program started on a busy machine, under Wine above all, can take that long to show.
visible() { timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }

# Waits until no window with this title is visible.
gone() {
    for _ in $(seq 50); do
        [[ -z $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null) ]] && return 0
        sleep 0.1
    done
    fail "$1 is still visible"
}

# Waits up to five seconds for process $1 to end and fails unless it exits with status 0.
exits_cleanly() {
    for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$1" 2>/dev/null && fail "the program did not end"
    local status=0
    wait "$1" || status=$?
    [[ $status == 0 ]] || fail "the program exited with status $status"
}
