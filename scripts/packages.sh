# The Debian packages each command needs; sourced by the commands at the top level.
# shellcheck shell=bash
build_packages=(cmake ninja-build g++ qt6-base-dev fonts-liberation)
test_packages=("${build_packages[@]}" clang libclang-rt-dev libbenchmark-dev
    xvfb xdotool xclip)
