# The Debian packages each command needs; sourced by the commands at the top level.
# shellcheck shell=bash
build_packages=(cmake ninja-build g++ qt6-base-dev)
package_packages=("${build_packages[@]}" dpkg-dev file)
test_packages=("${package_packages[@]}" clang libclang-rt-dev libbenchmark-dev
    valgrind xvfb xdotool xclip x11-utils desktop-file-utils appstream
    binutils-mingw-w64-x86-64)
bench_packages=("${build_packages[@]}" libbenchmark-dev libxcb1-dev xvfb xdotool)
