#!/usr/bin/env bash
# check_release.sh DEB: the Debian package as a user's system and Debian's tools see it:
# lintian finds nothing to say; it carries the licence as a machine-readable copyright file,
# a changelog and a manual page; its program is hardened as Debian hardens its packages,
# read back from the binary with hardening-check.
set -euo pipefail
deb=$(readlink -f "$1")
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Lintian refuses nothing as root, but says so on every run; its findings are what count.
said=$(lintian --fail-on error,warning,info "$deb" 2>&1 | grep -v 'root privileges' || true)
[[ -z $said ]] || fail "lintian: $said"

dpkg-deb -x "$deb" "$work"
doc=$work/usr/share/doc/quinbray
grep -q '^License: Expat$' "$doc/copyright" || fail "copyright: no Expat licence"
grep -q '^Copyright: 2026 the Quinbray developers$' "$doc/copyright" || fail "copyright line"
[[ $(zcat "$doc/changelog.gz" | head -n 1) == 'quinbray (1.00) unstable; urgency=medium' ]] ||
    fail "changelog"
page=$(man -l "$work/usr/share/man/man1/Quinbray.1.gz" 2>/dev/null)
for section in NAME SYNOPSIS DESCRIPTION FILES 'SEE ALSO'; do
    grep -q "^$section" <<<"$page" || fail "the manual page has no $section"
done

# Every line "yes", except where the checker cannot see what was built in:
# - stack clash: "unknown" when no function has a frame large enough to need probing;
# - fortify: "only unprotected functions" when those are memcpy and memmove alone, which
#   the C++ library's inline code calls through compiler builtins that are never checked;
# - control flow: "no" when the C library's own start files carry no IBT and SHSTK note (as
#   on Debian 12), which the linker then drops for the whole program; the program's own
#   code must still be built for it: the start files have no endbr64, so any is its own.
program=$work/usr/bin/Quinbray
report=$(hardening-check --verbose "$program" 2>&1 || true)
while IFS= read -r line; do
    case $line in
    *": yes"* | *"Stack clash protection: unknown"*) ;;
    *"Fortify Source functions: no, only unprotected functions found!"*)
        unprotected=$(grep -oP '^\tunprotected: \K\S+' <<<"$report" | sort | tr '\n' ' ')
        [[ $unprotected == "memcpy memmove " ]] || fail "unfortified: $unprotected" ;;
    *"Control flow integrity: no"*)
        crti=$(gcc -print-file-name=crti.o)
        ! readelf -n "$crti" | grep -q 'IBT, SHSTK' || fail "control flow: $line"
        marks=$(objdump -d "$program" | grep -c endbr64 || true)
        ((marks > 0)) || fail "the program's code is not built for control-flow protection" ;;
    *": "*) fail "hardening-check:$line" ;;
    esac
done < <(grep -E '^ [A-Z].*: ' <<<"$report")
echo "PASS: $(basename "$deb") is lintian-clean, licensed, documented and hardened"
