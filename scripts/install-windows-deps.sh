#!/usr/bin/env bash
# Installs the Debian packages that the Windows build and its checks need:
# the MinGW-w64 cross compilers (the -posix ones: GoogleTest needs std::mutex),
# GoogleTest's sources, and Wine with an X server to run the results on.
# No recommended packages: wine64's would pull in 77 more, and fonts that
# change fc-match.
exec "$(dirname "$0")/install-deps.sh" \
    cmake ninja-build \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix googletest \
    wine64 wine xvfb
