#!/usr/bin/env bash
# check_pe.sh EXE: the hardening Windows reads from a program's PE headers, as objdump reads
# them: ASLR (DYNAMIC_BASE, with relocations to move by, and HIGH_ENTROPY_VA for 64 bits),
# DEP (NX_COMPAT) and TERMINAL_SERVICE_AWARE; the stack protector linked in; and only DLLs
# that are part of Windows itself.
set -euo pipefail
exe=$1
fail() { echo "FAIL: $exe: $*" >&2; exit 1; }
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
sections=$(x86_64-w64-mingw32-objdump -h "$exe")

flags=(DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE)
grep -qE '^Magic\s+020b\b' <<<"$headers" && flags+=(HIGH_ENTROPY_VA) # PE32+
for flag in "${flags[@]}"; do
    grep -qE "^\s+$flag$" <<<"$headers" || fail "no $flag"
done
grep -qE '^\s+[0-9]+ \.reloc ' <<<"$sections" || fail "no relocations, so ASLR cannot move it"
# The stack protector's runtime, linked in, seeds its canary from the system's random
# numbers: CryptGenRandom, in ADVAPI32, is what a stripped program shows of it.
grep -qE '^\s+[0-9a-f]+\s+[0-9]+\s+CryptGenRandom$' <<<"$headers" || fail "no stack protector"
dlls=$(grep -oP 'DLL Name: \K\S+' <<<"$headers" | tr '[:upper:]' '[:lower:]' | sort | tr '\n' ' ')
[[ $dlls == "advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll " ]] ||
    fail "imports $dlls"
echo "PASS: $(basename "$exe") ($(grep -oP 'file format \K\S+' <<<"$headers")) has ${flags[*]}, relocations and only system DLLs"
