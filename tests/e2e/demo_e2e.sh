#!/usr/bin/env bash
# End-to-end runs of the real demo binary as a user runs it, one per path a
# user can take: on a private X server, answering its boxes and pressing keys
# with xdotool. Usage: demo_e2e.sh CASE (the environment set by CTest).
set -uo pipefail
source "$(dirname "$0")/x11_session.sh"

readonly title="Morvane KV17 Demo - l33t"

lit_rows() { "$KV17_X11" lit "$1" "$2" "$3"; }

expect_exit() {
    wait_exit "$2"
    [ "$exit_code" = "$1" ] || fail "exit code $exit_code, expected $1"
}

# wait_rebuild ID: F1 closed that window; prints the new one's id.
wait_rebuild() {
    for _ in $(seq 200); do window_gone "$1" && break; sleep 0.05; done
    window_gone "$1" || fail "F1 did not rebuild the window"
    wait_window "$title"
}

case "$1" in
windowed)
    # Answer No: a 640x480 client area showing the cube (the rows above the
    # greeting line); minimised the demo runs on, restored it draws again;
    # Esc typed on the keyboard ends it.
    start_display 1024x768x24 wm
    start_demo
    press "$(wait_window "Start FullScreen?")" Escape
    win=$(wait_window "$title") || exit 1
    [[ $(geometry "$win") == 640x480+* ]] || fail "client area $(geometry "$win")"
    [ "$(lit_rows "$win" 40 400)" -gt 20000 ] || fail "no cube"
    xdotool windowminimize --sync "$win" 2>/dev/null
    sleep 0.5
    kill -0 "$demo_pid" || fail "demo ended while minimised"
    xdotool windowactivate --sync "$win" >/dev/null 2>&1
    sleep 0.3
    [ "$(lit_rows "$win" 0 480)" -gt 20000 ] || fail "nothing drawn after restoring"
    type_key "$win" Escape
    expect_exit 0 2
    ;;
refused-yes)
    # Yes where the display has no 640x480 mode: the fallback question.
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
    "$KV17_X11" close "$win"
    expect_exit 0 2
    ;;
fullscreen-f1)
    # A display that offers 640x480x16: full screen, then F1 twice.
    start_display 640x480x16 wm
    start_demo
    press "$(wait_window "Start FullScreen?")" Return
    win=$(wait_window "$title") || exit 1
    [ "$(geometry "$win")" = "640x480+0+0" ] || fail "full screen is $(geometry "$win")"
    type_key "$win" F1
    win=$(wait_rebuild "$win") || exit 1
    [[ $(geometry "$win") == 640x480+* && $(geometry "$win") != *+0+0 ]] ||
        fail "windowed is $(geometry "$win")"
    type_key "$win" F1
    win=$(wait_rebuild "$win") || exit 1
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
    start_display 1024x768x24 wm
    start_demo
    wait_window "Start FullScreen?" >/dev/null || exit 1
    group=$demo_pid
    kill -TERM "$demo_pid"
    expect_exit 143 2
    sleep 0.3
    pgrep -g "$group" >/dev/null && fail "a process of the demo outlived it"
    [ "$(window_count "Start FullScreen?")" = 0 ] || fail "the box outlived the demo"
    # SIGHUP while running (its terminal closed): the normal teardown, exit 0.
    start_demo
    press "$(wait_window "Start FullScreen?")" Escape
    win=$(wait_window "$title") || exit 1
    kill -HUP "$demo_pid"
    expect_exit 0 2
    window_gone "$win" || fail "window left"
    ;;
*)
    echo "unknown case $1" >&2
    exit 2
    ;;
esac
echo "PASS: $1"
