# Sourced by the scripts that use a real program: the windows as designed (designed.txt),
# for the titles a script finds windows by, the points a person clicks and the colours a
# check expects.
# shellcheck shell=bash

designed_file="$(dirname "${BASH_SOURCE[0]}")/designed.txt"

# The middle of a control, in its window's client area at 96 DPI, as "X Y": where a person
# clicks it. designed_centre WINDOW CONTROL
designed_centre() {
    awk -F'|' -v window="$1" -v control="$2" '
        $1 == "control" && $2 == window && $3 == control {
            print int($4 + $6 / 2), int($5 + $7 / 2); found = 1 }
        END { exit !found }' "$designed_file" || fail "no control $1 $2 in designed.txt"
}

# A window's title, which finds it on the screen. designed_title WINDOW
designed_title() {
    awk -F'|' -v window="$1" '$1 == "window" && $2 == window { print $3; found = 1 }
        END { exit !found }' "$designed_file" || fail "no window $1 in designed.txt"
}

# A window's client area, as "WIDTHxHEIGHT". designed_size WINDOW
designed_size() {
    awk -F'|' -v window="$1" '$1 == "window" && $2 == window { print $4 "x" $5; found = 1 }
        END { exit !found }' "$designed_file" || fail "no window $1 in designed.txt"
}

# A control's designed colour as RRGGBB. designed_colour WINDOW CONTROL text|background
designed_colour() {
    awk -F'|' -v window="$1" -v control="$2" -v field=$([[ $3 == text ]] && echo 4 || echo 5) '
        $1 == "colour" && $2 == window && $3 == control && split($field, c, ",") == 3 {
            printf "%02x%02x%02x\n", c[1], c[2], c[3]; found = 1 }
        END { exit !found }' "$designed_file" || fail "no $3 colour of $1 $2 in designed.txt"
}

# The two windows' titles, which find them on the screen.
# shellcheck disable=SC2034 # for the scripts that source this
main_title=$(designed_title mainfrm) help_title=$(designed_title helpfrm)
