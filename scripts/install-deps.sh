#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that kv17's build, demo and tests need,
# or the packages named on the command line. Only missing packages are
# installed, without recommended ones; running it again does nothing.
set -euo pipefail

packages=("$@")
[ ${#packages[@]} -gt 0 ] || packages=(
    # build
    cmake ninja-build g++ pkg-config
    # the demo: window, GL, fonts
    libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri
    libfreetype-dev libfontconfig-dev fonts-dejavu-core
    # tests, tools and benchmarks
    googletest libgtest-dev libbenchmark-dev libstb-dev
    xvfb openbox xdotool x11-utils libx11-dev procps bc
    # the Debian package and its checks
    dpkg-dev lintian desktop-file-utils
    # kv17-capture's videos (FFmpeg; libwebp reads animated WebP back in its
    # tests), and the frame-time plot
    libavcodec-dev libavformat-dev libavfilter-dev libswscale-dev libavutil-dev libwebp-dev
    python3-matplotlib
    # the sanitizer build and the fuzzer
    clang libclang-rt-dev python3
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
