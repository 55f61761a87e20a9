#!/usr/bin/env bash
# Installs the Debian packages that the Windows build and its checks need:
# the MinGW-w64 cross compilers (the -posix ones: GoogleTest needs std::mutex),
# GoogleTest's sources, and Wine with an X server to run the results on.
# Only missing packages are installed, without recommended ones (wine64's
# recommends would pull in 77 packages, and fonts that change fc-match).
set -euo pipefail

packages=(
    cmake ninja-build
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix googletest
    wine64 wine xvfb
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
