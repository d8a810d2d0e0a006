#!/usr/bin/env bash
# planted_dlls.sh PROBE EXE PLANTED: the program, copied into a folder that holds a DLL of
# each system name it imports or loads, and of the DLLs those load on its behalf, runs none
# of them. Wine is told to prefer such a DLL in the program's folder over its own, as
# Windows does for every DLL that is not a Known DLL. PLANTED leaves a file when it runs.
# PROBE listens for a Calculate's live result, so that the DLLs behind the live region
# (COM and the accessibility annotations) are loaded too.
set -euo pipefail
probe=$1 exe=$2 planted=$3
source "$(dirname "$0")/../e2e/xvfb.sh"
source "$(dirname "$0")/../designed.sh"

# The names, and where Windows looks for each. The Known DLLs (the loader resolves them
# before the program's first instruction) always come from System32, which Wine's own order
# (builtin first) stands for; every other name is searched for, and Wine is told to take the
# program's folder first. Two names are left out: version.dll, which Wine's user32 imports
# (Windows' does not), so Wine loads it before the program runs; and msimg32.dll, which
# Wine's uxtheme loads on first use along the search path the process started with, not the
# one the program has set.
declare -A order=(
    [comctl32]="n,b" # the common controls, loaded on first use
    [uxtheme]="n,b"  # themes, which the common controls import
    [ole32]="n,b"    # COM, loaded for the live region
    [oleacc]="n,b"   # the accessibility annotations, which COM loads
    [kernel32]="b,n" [user32]="b,n" [gdi32]="b,n" [advapi32]="b,n" [msvcrt]="b,n" # Known DLLs
)
folder=$xvfb_dir/Downloads
mkdir "$folder"
cp "$exe" "$folder/Quinbray.exe"
overrides=$WINEDLLOVERRIDES
for name in "${!order[@]}"; do
    cp "$planted" "$folder/$name.dll"
    overrides+=";$name=${order[$name]}"
done

# The planted DLL does run where it is loaded.
cp "$planted" "$folder/control.dll"
wine rundll32.exe "$(winepath -w "$folder/control.dll")",none 2>/dev/null || true
[[ -e $folder/control.dll.ran ]] || fail "the planted DLL leaves no mark when it is loaded"
rm "$folder"/control.dll*

(cd "$folder" && WINEDLLOVERRIDES=$overrides exec wine Quinbray.exe) &
app=$!
main=$(visible "$main_title") || fail "no calculator window"
heard=$xvfb_dir/heard
wine "$probe" live 1 >"$heard" &
listener=$!
for _ in $(seq 100); do grep -q listening "$heard" && break; sleep 0.1; done
grep -q listening "$heard" || fail "the listener did not start"
xdotool mousemove --sync --window "$main" 40 156 click 1
told=0
wait "$listener" || told=$?
shopt -s nullglob
ran=("$folder"/*.ran)
[[ ${#ran[@]} == 0 ]] || fail "the program ran the planted $(basename -a "${ran[@]%.ran}" | xargs)"
[[ $told == 0 ]] || fail "no live result: $(tr -d '\r' <"$heard" | grep FAIL)"
xdotool key alt+x
exits_cleanly "$app"
echo "PASS: none of the ${#order[@]} DLLs planted beside the program ran, the live result told"
