#!/usr/bin/env bash
# Installs Debian/Ubuntu packages: each argument names one of the sets below
# or a single package. Only missing packages are installed, without
# recommended ones; running it again does nothing.
#   scripts/install-deps.sh demo tools test
# A set per target that needs packages of its own; the Makefile's targets
# name the sets they install, and README.md lists each set in one line.
set -euo pipefail

declare -A sets=(
    # make run: building and running the demo
    [demo]="cmake ninja-build g++ pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev
            libgl1-mesa-dri libfreetype-dev libfontconfig-dev fonts-dejavu-core"
    # kv17-capture, kv17-bmp2ppm, kv17-make-texture (KV17_TOOLS): stb, FFmpeg, libpng
    [tools]="libstb-dev libavcodec-dev libavformat-dev libavfilter-dev libswscale-dev libavutil-dev
             libpng-dev"
    # make test: GoogleTest, private X servers driven from outside, libwebp
    # to read animated WebP back
    [test]="libgtest-dev xvfb openbox xdotool x11-utils libx11-dev procps libwebp-dev"
    # make package: building and checking the Debian package
    [package]="dpkg-dev lintian desktop-file-utils"
    # make benchmarks (KV17_BENCHMARKS) and the scripts that plot and time them
    [bench]="libbenchmark-dev libstb-dev python3-matplotlib bc"
    # make windows and scripts/windows-ci.sh: the MinGW-w64 cross compilers
    # (the -posix ones: GoogleTest needs std::mutex), GoogleTest's sources,
    # Wine and an X server for it. (Without recommended packages: wine64's
    # would pull in 77 more, and fonts that change fc-match.)
    [windows]="cmake ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix googletest
               wine64 wine xvfb"
    # scripts/fuzz-bitmap.sh: clang's libFuzzer and the seed corpus maker
    [fuzz]="cmake ninja-build clang libclang-rt-dev python3"
    # make web: Emscripten, and what the page's font and sources need
    [web]="cmake ninja-build emscripten fontconfig fonts-dejavu-core xz-utils"
    # make web-test: headless Chromium driven from Python
    [web-test]="chromium chromium-driver python3 python3-selenium python3-pil"
    # make mutation: the script that runs it
    [mutation]="python3"
)

if [ $# -eq 0 ]; then
    echo "usage: $0 SET|PACKAGE... (sets: ${!sets[*]})" >&2
    exit 2
fi
packages=()
for name in "$@"; do
    if [ -n "${sets[$name]+set}" ]; then
        # shellcheck disable=SC2206  # a set is split on blanks and newlines
        packages+=(${sets[$name]})
    else
        packages+=("$name")
    fi
done

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
