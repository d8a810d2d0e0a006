#!/usr/bin/env bash
# check_packages.sh DIR: the Windows packages that ./package wrote to DIR. Each zip holds the
# program for its architecture, hardened, with the readme and the licence. Each MSI installs
# silently into a throwaway Wine prefix, with the licence, its shortcut and its entry in
# Apps & features in the registry view it writes to; the installed program starts; and a
# silent uninstall leaves nothing behind. The 32-bit MSI is checked in a 64-bit prefix and,
# where the machine has 32-bit Wine, in a 32-bit prefix too. Then check_msi_upgrades.sh
# installs them over themselves and each other.
set -euo pipefail
dir=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
source "$here/../e2e/xvfb.sh"
source "$here/../designed.sh"

for arch in x64 x86; do
    zip=$dir/quinbray-1.00-windows-$arch.zip
    unpacked=$xvfb_dir/$arch
    mkdir -p "$unpacked"
    (cd "$unpacked" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
    [[ $(ls "$unpacked") == $'License.txt\nQuinbray.exe\nReadme.txt' ]] ||
        fail "$zip holds $(ls "$unpacked")"
    expected=$([[ $arch == x64 ]] && echo "PE32+ executable (GUI) x86-64" ||
        echo "PE32 executable (GUI) Intel 80386")
    [[ $(file "$unpacked/Quinbray.exe") == *"$expected"* ]] || fail "$zip: not $expected"
    "$here/check_pe.sh" "$unpacked/Quinbray.exe" >/dev/null
    grep -q "needs no installation" "$unpacked/Readme.txt" || fail "$zip: readme"
    grep -q "^MIT License" "$unpacked/License.txt" || fail "$zip: licence"
done

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# 32-bit Wine: a 32-bit Linux program, there where the machine runs those and ./test could
# install it.
runs_32_bit=false
if "$here/../../scripts/runs-32-bit" &&
    [[ $(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null) == *"ok installed"* ]]; then
    runs_32_bit=true
fi
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# check_msi ARCH PREFIX_ARCH: installs, starts and uninstalls one MSI in a new prefix.
check_msi() {
    local arch=$1 prefix_arch=$2 view files native
    export WINEPREFIX=$xvfb_dir/prefix-$arch-$prefix_arch WINEARCH=$prefix_arch
    "$here/make_prefix.sh" "$WINEPREFIX" >/dev/null
    local msi=$dir/quinbray-1.00-windows-$arch.msi drive=$WINEPREFIX/drive_c
    # Where the package writes: a 32-bit package on 64-bit Windows goes to Program Files
    # (x86) and to the 32-bit view of the registry; everything else to the native ones.
    # Windows Installer keeps its own records (the product's icon) in the native view.
    native=/reg:$([[ $prefix_arch == win64 ]] && echo 64 || echo 32)
    if [[ $arch == x86 && $prefix_arch == win64 ]]; then
        files="Program Files (x86)" view=/reg:32
    else
        files="Program Files" view=$native
    fi
    local where="$arch MSI in a $prefix_arch prefix"
    # Read whole, then searched: under pipefail, a grep -q that stops early fails the writer.
    entry() { wine reg query "$uninstall" /s "$view" 2>/dev/null | tr -d '\r'; }
    ours() { find "$drive" -iname 'quinbray*' -not -path '*/windows/Fonts/*'; }

    wine msiexec /i "$msi" /qn || fail "$where: silent install"
    [[ -s "$drive/$files/Quinbray/Quinbray.exe" ]] || fail "$where: no $files\\Quinbray\\Quinbray.exe"
    grep -q "^MIT License" "$drive/$files/Quinbray/License.txt" || fail "$where: no licence"
    [[ -n $(find "$drive" -path '*Start Menu/Programs/Quinbray.lnk') ]] || fail "$where: no shortcut"
    local installed products
    installed=$(entry)
    grep -qE 'DisplayName +REG_SZ +Quinbray$' <<<"$installed" || fail "$where: no entry in Apps & features ($view)"
    grep -qE 'DisplayVersion +REG_SZ +1.00$' <<<"$installed" || fail "$where: the entry's version is not 1.00"
    products=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s "$native" | tr -d '\r')
    grep -q 'ProductIcon.*quinbray.ico' <<<"$products" || fail "$where: the entry has no icon"

    local starts=false
    [[ $arch == x64 ]] || $runs_32_bit && starts=true
    if $starts; then
        wine "C:\\$files\\Quinbray\\Quinbray.exe" &
        app=$!
        visible "$main_title" >/dev/null || fail "$where: the installed program shows no window"
        kill "$app"
    fi
    wineserver -w

    wine msiexec /x "$msi" /qn || fail "$where: silent uninstall"
    [[ -z $(ours) ]] || fail "$where: left behind: $(ours)"
    local remaining
    remaining=$(entry)
    ! grep -q Quinbray <<<"$remaining" || fail "$where: the entry in Apps & features is still there"
    echo "PASS: $where installs, $($starts && echo "starts, ")and uninstalls cleanly"
}

check_msi x64 win64
check_msi x86 win64
$runs_32_bit && check_msi x86 win32
"$here/check_msi_upgrades.sh" "$dir"
echo "PASS: two zips with the right programs and the licence; the MSIs install and uninstall cleanly"
