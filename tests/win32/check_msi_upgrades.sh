#!/usr/bin/env bash
# check_msi_upgrades.sh DIR: one Quinbray is installed at a time. In a throwaway 64-bit Wine
# prefix, the MSIs that ./package wrote to DIR go in over each other: the 64-bit one over
# itself, a rebuild of it (the same installer with the new product and package codes that
# every build gets) over it, the 32-bit one over the 64-bit one, and back. Each time Apps &
# features holds one entry, the installed one's, and the Start menu one shortcut, to the
# installed program; an uninstall after each leaves neither, nor any file. A newer version
# stays: this one refuses to go in over it.
set -euo pipefail
dir=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$here/make_prefix.sh" "$WINEPREFIX" >/dev/null
drive=$WINEPREFIX/drive_c
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

x64=$dir/quinbray-1.00-windows-x64.msi x86=$dir/quinbray-1.00-windows-x86.msi
uuid() { tr a-z A-Z </proc/sys/kernel/random/uuid; }
summary=$(msiinfo suminfo "$x64")
field() { sed -n "s/^$1: //p" <<<"$summary"; }
# rebuild MSI [VERSION]: a copy as another build of it makes it, and of another version.
rebuild() {
    cp "$x64" "$1"
    msibuild "$1" -q "UPDATE Property SET Value='{$(uuid)}' WHERE Property='ProductCode'"
    [[ -z ${2:-} ]] || msibuild "$1" -q "UPDATE Property SET Value='$2' WHERE Property='ProductVersion'"
    msibuild "$1" -s "$(field Subject)" "$(field Author)" "$(field Template)" "{$(uuid)}"
}
rebuilt=$work/rebuilt-x64.msi newer=$work/newer-x64.msi
rebuild "$rebuilt"
rebuild "$newer" 1.01
code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
[[ $(code "$rebuilt") != "$(code "$x64")" ]] || fail "the rebuild has the same product code"

# The entries in Apps & features, in both registry views: VIEW:PRODUCTCODE, a line each.
entries() {
    for view in 64 32; do
        wine reg query "$uninstall" /s /reg:$view 2>/dev/null | tr -d '\r' |
            awk -v view=$view '/^HKEY/ { key = $0; sub(/.*\\/, "", key) }
                /DisplayName +REG_SZ +Quinbray$/ { print view ":" key }'
    done
}
shortcuts() { find "$drive" -ipath '*Start Menu*' -iname 'quinbray*.lnk'; }
ours() { find "$drive" -iname 'quinbray*' -not -path '*/windows/Fonts/*'; }
folder() { [[ $1 == x64 ]] && echo "Program Files" || echo "Program Files (x86)"; }

install() { wine msiexec /i "$1" /qn || fail "$2: msiexec /i $(basename "$1")"; }

# installed ARCH MSI WHAT: the one Quinbray there is the one MSI installed.
installed() {
    local arch=$1 msi=$2 what=$3 view other
    view=$([[ $arch == x64 ]] && echo 64 || echo 32)
    other=$([[ $arch == x64 ]] && echo x86 || echo x64)
    [[ $(entries) == "$view:$(code "$msi")" ]] ||
        fail "$what: Apps & features holds $(entries | wc -l) entries, not just $arch's: $(entries | tr '\n' ' ')"
    [[ $(shortcuts | wc -l) == 1 ]] || fail "$what: $(shortcuts | wc -l) shortcuts"
    # A shortcut keeps its target's whole path as text, in the system's code page.
    strings "$(shortcuts)" | grep -qixF "C:\\$(folder "$arch")\\Quinbray\\Quinbray.exe" ||
        fail "$what: the shortcut does not start the installed program"
    [[ -s "$drive/$(folder "$arch")/Quinbray/Quinbray.exe" ]] || fail "$what: no program"
    [[ ! -e "$drive/$(folder "$other")/Quinbray" ]] || fail "$what: $other's program stayed"
    echo "PASS: $what: one entry in Apps & features, one shortcut, $arch's"
}

# removed MSI WHAT: an uninstall leaves nothing.
removed() {
    wine msiexec /x "$1" /qn || fail "$2: msiexec /x $(basename "$1")"
    [[ -z $(entries) ]] || fail "$2, uninstalled: entries stayed: $(entries | tr '\n' ' ')"
    [[ -z $(ours) ]] || fail "$2, uninstalled: left behind: $(ours)"
}

install "$x64" "x64 over itself"
install "$x64" "x64 over itself"
installed x64 "$x64" "x64 over itself"
removed "$x64" "x64 over itself"

install "$x64" "a rebuild over an install"
install "$rebuilt" "a rebuild over an install"
installed x64 "$rebuilt" "a rebuild over an install"
removed "$rebuilt" "a rebuild over an install"

install "$x64" "x86 over x64"
install "$x86" "x86 over x64"
installed x86 "$x86" "x86 over x64"
removed "$x86" "x86 over x64"

install "$x86" "x64 over x86"
install "$x64" "x64 over x86"
installed x64 "$x64" "x64 over x86"
removed "$x64" "x64 over x86"

install "$newer" "1.00 over 1.01"
! wine msiexec /i "$x64" /qn || fail "1.00 went in over 1.01"
installed x64 "$newer" "1.00 over 1.01"
removed "$newer" "1.00 over 1.01"
echo "PASS: one Quinbray at a time: over itself, a rebuild, the other architecture; each uninstall leaves nothing; a newer one stays"
