#!/usr/bin/env bash
# check_package.sh BUILDDIR: makes the Debian package, unpacks it, checks that every file is
# where a desktop looks for it and that its program, as cmake --install installs it too,
# has no RPATH or RUNPATH, and starts the unpacked program.
set -euo pipefail
build=$1 id=io.github.quinbray.Quinbray
source "$(dirname "$0")/../e2e/xvfb.sh"
source "$(dirname "$0")/../designed.sh"

out=$xvfb_dir/package
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null || fail "cpack"
deb=$(ls "$out"/quinbray_1.00_*.deb) || fail "no quinbray_1.00 package"
[[ $(dpkg-deb -f "$deb" Package) == quinbray ]] || fail "package name"
[[ $(dpkg-deb -f "$deb" Version) == 1.00 ]] || fail "package version"
[[ $(dpkg-deb -f "$deb" Depends) == *libqt6widgets6* ]] || fail "Qt not among the dependencies"

root=$xvfb_dir/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/Quinbray usr/share/applications/$id.desktop \
    usr/share/metainfo/$id.metainfo.xml usr/share/icons/hicolor/scalable/apps/$id.svg \
    usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
    [[ -s $root/$file ]] || fail "the package lacks /$file"
done

# Neither the package's program nor one installed by cmake --install carries a search path
# of its own for libraries: the system's are found by the dynamic loader, and one relative to
# the program would load a library planted beside a copy of it.
cmake --install "$build" --prefix "$xvfb_dir/installed" >/dev/null || fail "cmake --install"
for program in "$root/usr/bin/Quinbray" "$xvfb_dir/installed/bin/Quinbray"; do
    paths=$(readelf -d "$program" | grep -E '\((RPATH|RUNPATH)\)' || true)
    [[ -z $paths ]] || fail "${program#"$xvfb_dir"/} has $paths"
done

"$root/usr/bin/Quinbray" &
app=$!
visible "$main_title" >/dev/null || fail "the unpacked program shows no window"
echo "PASS: $(basename "$deb") installs its files where a desktop expects them, with no RUNPATH, and starts"
