#!/usr/bin/env bash
# CI for the Windows build: cross-builds kv17demo.exe, its zip and the unit
# tests with MinGW-w64, runs the tests under Wine, then unpacks the zip into
# a fresh folder and smoke-runs the demo from there on a private X server:
# answers its start question, looks at the drawn window, presses Esc and
# expects exit code 0. Everything runs in a fresh Wine prefix that is
# removed afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${WINDOWS_BUILD:-build-windows}

phase_start=$SECONDS
phase() {
    echo "== $1 (previous step: $((SECONDS - phase_start)) s)"
    phase_start=$SECONDS
}

work=$(mktemp -d)
xvfb_pid=""
demo_pid=""
cleanup() {
    [ -n "$demo_pid" ] && kill -KILL "$demo_pid" 2>/dev/null
    # Wine's server and services outlive a killed program.
    [ -d "$work/prefix" ] && WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill -KILL "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/*.log; do
        [ -s "$log" ] && sed "s|^|$(basename "$log"): |" "$log" >&2
    done
    exit 1
}

phase "packages"
scripts/install-deps.sh windows

phase "kv17demo.exe and the tests, while Wine sets up a prefix"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
disown
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 120 wine wineboot --init >"$work/wineboot.log" 2>&1 &
prefix_pid=$!
make windows WINDOWS_BUILD="$build" CMAKE_FLAGS="-DKV17_WERROR=ON"
cmake --build "$build"
wait "$prefix_pid" || fail "wineboot --init"

phase "Wine settings"
# Unmanaged windows: with no window manager a managed window waits 2 s for
# one on every destroy.
timeout 30 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    >"$work/reg.log" 2>&1 || fail "setting Managed=N"
# A server and services started now, before CTest, do not hold on to the
# output pipe of the first test that would otherwise start them.
timeout 30 wineserver -k || true
wineserver -p
timeout 60 wine wineboot >>"$work/wineboot.log" 2>&1 || fail "wineboot"

phase "unit tests under Wine"
ctest --test-dir "$build" -j2 --output-on-failure --timeout 60 >"$work/ctest.log" 2>&1 ||
    fail "unit tests"
tail -n 3 "$work/ctest.log"

phase "smoke run of kv17demo.exe from its unpacked zip"
zip=$(echo "$root/$build"/kv17-*-win64.zip)
[ -f "$zip" ] || fail "no zip in $build"
mkdir "$work/run"
(cd "$work/run" && cmake -E tar xf "$zip") || fail "unpacking $zip"
[ "$(cd "$work/run" && find . -type f | LC_ALL=C sort | tr '\n' ' ')" = \
    "./Data/texture.bmp ./README.txt ./kv17demo.exe " ] || fail "unexpected files in the zip"
grep -q $'\r$' "$work/run/README.txt" || fail "README.txt without CRLF line ends"
driver="$root/$build/kv17_demo_driver.exe"
(cd "$work/run" && exec timeout 60 wine ./kv17demo.exe) >"$work/demo.log" 2>&1 &
demo_pid=$!
timeout 20 wine "$driver" answer "Start FullScreen?" no || fail "no start question to answer"
timeout 20 wine "$driver" look OpenGL || fail "the demo window"
timeout 20 wine "$driver" key OpenGL 27 || fail "could not press Esc"
exit_code=0
wait "$demo_pid" || exit_code=$?
demo_pid=""
[ "$exit_code" -eq 0 ] || fail "kv17demo.exe ended with $exit_code"

phase "done"
echo "Windows build: all passed"
