#!/usr/bin/env bash
# End-to-end runs of the real demo binary as a user runs it, one per path a
# user can take: on a private X server, answering its boxes and pressing keys
# with xdotool. Usage: demo_e2e.sh CASE, with KV17DEMO (the binary), KV17_DATA
# (a folder holding Data/) and KV17_X11 (x11_tool.c) set by CTest.
set -uo pipefail
source "$(dirname "$0")/../support/wait_for.sh"
work=$(mktemp -d)
demo_pid=""
x_pids=()

cleanup() {
    [ -n "$demo_pid" ] && kill -KILL -- "-$demo_pid" 2>/dev/null
    for pid in "${x_pids[@]}"; do kill -KILL "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/err" ] && sed 's/^/demo stderr: /' "$work/err" >&2
    exit 1
}

# start_display SCREEN: a private Xvfb (e.g. 1024x768x24) managed by openbox,
# which runs its start-up command once it manages windows.
start_display() {
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$work/display" 2>/dev/null &
    x_pids+=($!)
    disown
    wait_for 5 test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
    for _ in 1 2; do  # openbox, a second try if the first never comes up
        openbox --sm-disable --startup "touch $work/managing" >/dev/null 2>&1 &
        x_pids+=($!)
        disown
        wait_for 10 test -e "$work/managing" && return 0
        kill -KILL "${x_pids[-1]}" 2>/dev/null
    done
    fail "openbox did not start"
}

# start_demo [DIR]: run the demo in its own process group from DIR
# (default: a copy of the data folder). Leaks are the in-process suites'
# to find: D-Bus, SDL's X11 back end and GLX leave one-time allocations.
start_demo() {
    local dir="${1:-$work/run}"
    if [ -z "${1:-}" ]; then mkdir -p "$dir" && cp -r "$KV17_DATA/Data" "$dir/"; fi
    (cd "$dir" && ASAN_OPTIONS=detect_leaks=0 exec setsid "$KV17DEMO") >"$work/out" 2>"$work/err" &
    demo_pid=$!
}

demo_ended() { ! kill -0 "$demo_pid" 2>/dev/null; }

# begin SCREEN KEY: the demo on a private display, its start question answered with KEY.
begin() {
    start_display "$1"
    start_demo
    press "$(wait_window "Start FullScreen?")" "$2"
}

on_screen_or_ended() {
    local id
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}' | head -n1)
    [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && echo "$id" >"$work/id" ||
        demo_ended
}
# wait_window NAME [SECONDS]: prints the id of the X window with that name,
# once it is on screen.
wait_window() {
    rm -f "$work/id"
    wait_for "${2:-10}" on_screen_or_ended "$1" || fail "no window \"$1\""
    [ -s "$work/id" ] || fail "demo ended while waiting for \"$1\""
    cat "$work/id"
}

window_gone() { ! xwininfo -id "$1" >/dev/null 2>&1; }

# geometry ID: "WIDTHxHEIGHT+X+Y" of the window, X and Y absolute.
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")" && echo "${WIDTH}x$HEIGHT+$X+$Y"; }

# press ID KEY: a key sent to that window (XSendEvent).
press() { xdotool key --window "$1" "$2" 2>/dev/null; }
# type_key ID KEY UNTIL...: typed (XTEST) into that window and held until UNTIL
# succeeds: a press released within one drain of the demo's queue is unseen.
type_key() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    xdotool keydown "$2" 2>/dev/null
    wait_for 5 "${@:3}"
    local seen=$?
    xdotool keyup "$2" 2>/dev/null
    return $seen
}

# expect_exit CODE SECONDS: the demo ends within SECONDS with exit code CODE.
# (Not in a subshell: only this shell can wait for the demo.)
expect_exit() {
    wait_for "$2" demo_ended || fail "demo still running after $2 s"
    wait "$demo_pid"; local code=$?
    demo_pid=""
    [ "$code" = "$1" ] || fail "exit code $code, expected $1"
}

readonly title="Morvane KV17 Demo - l33t"

# wait_lit ID FIRST END: the window's rows [FIRST, END) have a good part lit
# within 5 s (a slow build may still be making its first frames).
lit() { [ "$("$KV17_X11" lit "$1" "$2" "$3")" -gt 20000 ]; }
wait_lit() { wait_for 5 lit "$@" || fail "rows $2 to $3 of the window stay dark"; }

case "$1" in
windowed)
    # Answer No: a 640x480 client area showing the cube (the rows above the
    # greeting line); minimised the demo runs on, restored it draws again;
    # Esc typed on the keyboard ends it.
    begin 1024x768x24 Escape
    win=$(wait_window "$title") || exit 1
    [[ $(geometry "$win") == 640x480+* ]] || fail "client area $(geometry "$win")"
    wait_lit "$win" 40 400  # the cube
    xdotool windowminimize --sync "$win" 2>/dev/null
    demo_ended && fail "demo ended when minimised"
    xdotool windowactivate --sync "$win" >/dev/null 2>&1
    wait_lit "$win" 0 480
    type_key "$win" Escape demo_ended
    expect_exit 0 2
    ;;
refused)
    # Yes where the display has no 640x480 mode: the fallback question, which
    # Yes answers with a window and No with "Program Will Now Close.".
    begin 1024x768x24 Return
    press "$(wait_window "Orix GL")" Return
    win=$(wait_window "$title") || exit 1
    [[ $(geometry "$win") == 640x480+* ]] || fail "client area $(geometry "$win")"
    type_key "$win" Escape demo_ended
    expect_exit 0 2
    start_demo
    press "$(wait_window "Start FullScreen?")" Return
    press "$(wait_window "Orix GL")" Escape
    press "$(wait_window "ERROR")" Return
    expect_exit 1 2
    grep -q . "$work/err" && fail "unexpected stderr"
    ;;
close-button)
    begin 1024x768x24 Escape
    win=$(wait_window "$title") || exit 1
    "$KV17_X11" close "$win"
    expect_exit 0 2
    ;;
fullscreen-f1)
    # A display that offers 640x480x16: full screen, then F1 twice.
    begin 640x480x16 Return
    win=$(wait_window "$title") || exit 1
    [ "$(geometry "$win")" = "640x480+0+0" ] || fail "full screen is $(geometry "$win")"
    type_key "$win" F1 window_gone "$win" || fail "F1 did not rebuild the window"
    win=$(wait_window "$title") || exit 1
    [[ $(geometry "$win") == 640x480+* && $(geometry "$win") != *+0+0 ]] ||
        fail "windowed is $(geometry "$win")"
    type_key "$win" F1 window_gone "$win" || fail "F1 did not rebuild the window"
    win=$(wait_window "$title") || exit 1
    [ "$(geometry "$win")" = "640x480+0+0" ] || fail "full screen again is $(geometry "$win")"
    type_key "$win" Escape demo_ended
    expect_exit 0 2
    ;;
no-display)
    # The messages and their cause on stderr, and a failure exit, at once.
    unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
    start_demo
    expect_exit 1 2
    diff - "$work/err" <<'END' || fail "stderr differs"
Start FullScreen?: Would You Like To Run In Fullscreen Mode?
ERROR: Window Creation Error.
kv17demo: no display to show a window on: DISPLAY is not set
END
    ;;
signals)
    # A signal while a box is up ends the demo and takes the box with it:
    # nothing of its process group is left, and no window.
    start_display 1024x768x24
    start_demo
    wait_window "Start FullScreen?" >/dev/null || exit 1
    group=$demo_pid
    kill -TERM "$demo_pid"
    expect_exit 143 2
    wait_for 2 eval '! pgrep -g "$group" >/dev/null' || fail "a process of the demo outlived it"
    wait_for 2 eval '! xwininfo -root -tree | grep -qF "\"Start FullScreen?\""' ||
        fail "the box outlived the demo"
    ;;
*)
    echo "unknown case $1" >&2
    exit 2
    ;;
esac
echo "PASS: $1"
