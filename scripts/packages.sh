# The Debian packages each command needs; sourced by the commands at the top level.
# shellcheck shell=bash
# Every build draws the icon with a small tool of its own, which writes its PNGs with zlib.
build_packages=(cmake ninja-build g++ zlib1g-dev qt6-base-dev)
# The Windows program: cross-compilers for 64 and 32 bits, and Wine to run it here.
windows_packages=(cmake ninja-build g++ zlib1g-dev g++-mingw-w64-x86-64-posix
    g++-mingw-w64-i686-posix wine wine64 fonts-wine)
# The browser: C++ to WebAssembly with clang, its linker and the WASI C and C++ libraries.
web_packages=(cmake ninja-build g++ zlib1g-dev clang-19 lld-19 wasi-libc libc++-19-dev-wasm32
    libc++abi-19-dev-wasm32 libclang-rt-19-dev-wasm32 node-jsdom)
# ./package dates what it builds by the commit, which git reads, and signs the Windows
# packages with osslsigncode when given a certificate.
package_packages=("${build_packages[@]}" git dpkg-dev file "${windows_packages[@]}" wixl
    osslsigncode "${web_packages[@]}")
# The tests: the calculation's with GoogleTest, and the rest with what each one drives.
test_packages=("${package_packages[@]}" libgtest-dev clang libclang-rt-dev libbenchmark-dev
    valgrind xvfb xdotool xclip x11-utils openbox wmctrl python3-xlib desktop-file-utils appstream
    at-spi2-core dbus python3-pyatspi orca icoutils libqt6svg6
    binutils-mingw-w64-x86-64 chromium firefox-esr webkit2gtk-driver libwebkit2gtk-4.1-0
    lintian devscripts man-db msitools openssl)
bench_packages=("${build_packages[@]}" libbenchmark-dev libxcb1-dev libxcb-damage0-dev xvfb
    xdotool)
