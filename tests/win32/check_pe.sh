#!/usr/bin/env bash
# check_pe.sh EXE: the hardening Windows reads from a program's PE headers, as objdump reads
# them: ASLR (DYNAMIC_BASE, with relocations to move by, and HIGH_ENTROPY_VA for 64 bits),
# DEP (NX_COMPAT), TERMINAL_SERVICE_AWARE and, for 32 bits, NO_SEH; the stack protector
# linked in; and only DLLs that are part of Windows itself, those the loader resolves before
# the program runs all Known DLLs, with the common controls loaded on first use.
set -euo pipefail
exe=$1
fail() { echo "FAIL: $exe: $*" >&2; exit 1; }
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
sections=$(x86_64-w64-mingw32-objdump -h "$exe")

flags=(DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE)
if grep -qE '^Magic\s+020b\b' <<<"$headers"; then # PE32+
    flags+=(HIGH_ENTROPY_VA)
else
    flags+=(NO_SEH)
fi
for flag in "${flags[@]}"; do
    grep -qE "^\s+$flag$" <<<"$headers" || fail "no $flag"
done
grep -qE '^\s+[0-9]+ \.reloc ' <<<"$sections" || fail "no relocations, so ASLR cannot move it"
# The stack protector's runtime, linked in, seeds its canary from the system's random
# numbers: CryptGenRandom, in ADVAPI32, is what a stripped program shows of it.
grep -qE '^\s+[0-9a-f]+\s+[0-9]+\s+CryptGenRandom$' <<<"$headers" || fail "no stack protector"
dlls=$(grep -oP 'DLL Name: \K\S+' <<<"$headers" | tr '[:upper:]' '[:lower:]' | sort | tr '\n' ' ')
[[ $dlls == "advapi32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll " ]] ||
    fail "imports $dlls"
# The delay-load descriptor names the DLL that its helper loads.
grep -qa 'comctl32\.dll' "$exe" || fail "does not load the common controls"
characteristics=$(grep -oP '^DllCharacteristics\s+\K\S+' <<<"$headers")
echo "PASS: $(basename "$exe") ($(grep -oP 'file format \K\S+' <<<"$headers")) has ${flags[*]} (0x$characteristics), relocations and only system DLLs"
