#!/usr/bin/env bash
# End-to-end runs of the real demo binary as a user runs it: on a private X
# server, answering its boxes and pressing keys with xdotool.
# Usage: demo_e2e.sh CASE   (KV17DEMO, KV17_DATA and KV17_CLOSER set by CTest)
set -uo pipefail
source "$(dirname "$0")/x11_session.sh"

readonly title="Morvane KV17 Demo - l33t"

# lit_rows ID FIRST END: lit pixels of the window in those rows.
lit_rows() { "$KV17_PROBE" "$1" "$2" "$3" | awk '{print $2}'; }

expect_exit() {
    wait_exit "$2"
    [ "$exit_code" = "$1" ] || fail "exit code $exit_code, expected $1"
}

case "$1" in
windowed)
    # Answer No: a 640x480 client window; it keeps running; Esc ends it.
    start_display 1024x768x24 wm
    start_demo
    box=$(wait_window "Start FullScreen?") || exit 1
    press "$box" Escape
    win=$(wait_window "$title") || exit 1
    [[ $(geometry "$win") == 640x480+* ]] || fail "client area $(geometry "$win")"
    sleep 0.5
    kill -0 "$demo_pid" || fail "demo ended by itself"
    type_key "$win" Escape
    expect_exit 0 2
    ;;
camera-keys)
    # The cube (the rows above the greeting line) is on screen; PageUp held
    # moves the camera away and it shrinks.
    start_display 1024x768x24 wm
    start_demo
    press "$(wait_window "Start FullScreen?")" Escape
    win=$(wait_window "$title") || exit 1
    near=$(lit_rows "$win" 40 400)
    [ "$near" -gt 20000 ] || fail "only $near lit pixels: no cube"
    xdotool windowactivate --sync "$win" >/dev/null 2>&1
    xdotool keydown Prior 2>/dev/null
    for _ in $(seq 20); do  # held until the cube has clearly shrunk, 4 s at most
        sleep 0.2
        far=$(lit_rows "$win" 40 400)
        [ "$far" -lt $((near * 6 / 10)) ] && break
    done
    xdotool keyup Prior 2>/dev/null
    [ "$far" -lt $((near * 6 / 10)) ] || fail "cube not smaller: $near then $far lit pixels"
    type_key "$win" Escape
    expect_exit 0 2
    ;;
minimise)
    # Minimised, the demo keeps running without drawing; restored, it draws.
    start_display 1024x768x24 wm
    start_demo
    press "$(wait_window "Start FullScreen?")" Escape
    win=$(wait_window "$title") || exit 1
    xdotool windowminimize --sync "$win" 2>/dev/null
    sleep 0.5
    kill -0 "$demo_pid" || fail "demo ended while minimised"
    xdotool windowactivate --sync "$win" >/dev/null 2>&1
    sleep 0.3
    lit=$(lit_rows "$win" 0 480)
    [ "$lit" -gt 20000 ] || fail "nothing drawn after restoring ($lit lit pixels)"
    type_key "$win" Escape
    expect_exit 0 2
    ;;
refused-yes)
    # Answer Yes where the display has no 640x480 mode: the fallback question.
    start_display 1024x768x24 wm
    start_demo
    press "$(wait_window "Start FullScreen?")" Return
    press "$(wait_window "Orix GL")" Return
    win=$(wait_window "$title") || exit 1
    [[ $(geometry "$win") == 640x480+* ]] || fail "client area $(geometry "$win")"
    type_key "$win" Escape
    expect_exit 0 2
    ;;
refused-no)
    start_display 1024x768x24 wm
    start_demo
    press "$(wait_window "Start FullScreen?")" Return
    press "$(wait_window "Orix GL")" Escape
    press "$(wait_window "ERROR")" Return
    expect_exit 1 2
    grep -q . "$work/err" && fail "unexpected stderr"
    ;;
close-button)
    start_display 1024x768x24 wm
    start_demo
    press "$(wait_window "Start FullScreen?")" Escape
    win=$(wait_window "$title") || exit 1
    sleep 0.2
    "$KV17_CLOSER" "$win"
    expect_exit 0 2
    ;;
fullscreen-f1)
    # A display that offers 640x480x16: full screen, then F1 twice.
    start_display 640x480x16 wm
    start_demo
    press "$(wait_window "Start FullScreen?")" Return
    win=$(wait_window "$title") || exit 1
    sleep 0.3
    [ "$(geometry "$win")" = "640x480+0+0" ] || fail "full screen is $(geometry "$win")"
    type_key "$win" F1
    for _ in $(seq 200); do window_gone "$win" && break; sleep 0.05; done
    window_gone "$win" || fail "F1 did not rebuild the window"
    win=$(wait_window "$title") || exit 1
    sleep 0.3
    [[ $(geometry "$win") == 640x480+* && $(geometry "$win") != *+0+0 ]] ||
        fail "windowed is $(geometry "$win")"
    type_key "$win" F1
    for _ in $(seq 200); do window_gone "$win" && break; sleep 0.05; done
    win=$(wait_window "$title") || exit 1
    sleep 0.3
    [ "$(geometry "$win")" = "640x480+0+0" ] || fail "full screen again is $(geometry "$win")"
    type_key "$win" Escape
    expect_exit 0 2
    ;;
missing-bitmap)
    start_display 1024x768x24 wm
    mkdir -p "$work/empty"
    start_demo "$work/empty"
    press "$(wait_window "Start FullScreen?")" Escape
    press "$(wait_window "ERROR")" Return
    expect_exit 1 2
    ;;
no-display)
    # No display at all: the message on stderr and a failure exit, at once.
    unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
    start=$(date +%s%N)
    start_demo
    expect_exit 1 3
    elapsed=$((($(date +%s%N) - start) / 1000000))
    [ "$elapsed" -lt 2000 ] || fail "took $elapsed ms"
    grep -qx "Start FullScreen?: Would You Like To Run In Fullscreen Mode?" "$work/err" ||
        fail "no start question on stderr"
    grep -qx "ERROR: Window Creation Error." "$work/err" || fail "no error on stderr"
    ;;
*)
    echo "unknown case $1" >&2
    exit 2
    ;;
esac
echo "PASS: $1"
