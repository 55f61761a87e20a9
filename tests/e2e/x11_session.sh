# Helpers for driving the real demo binary on a private X server.
# Source it; needs KV17DEMO (the binary), KV17_DATA (a folder holding Data/)
# and KV17_X11 (tests/e2e/x11_tool.c).

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

# start_display SCREEN [wm]: a private Xvfb (e.g. 1024x768x24), optionally
# with openbox managing its windows.
start_display() {
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$work/display" 2>/dev/null &
    x_pids+=($!)
    disown
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
    [ "${2:-}" = wm ] || return 0
    for _ in 1 2; do  # a second try if the first one never comes up
        openbox --sm-disable >/dev/null 2>&1 &
        x_pids+=($!)
        disown
        # Ready once its theme is loaded; a window mapped earlier can be lost.
        for _ in $(seq 200); do
            xprop -root _OB_THEME 2>/dev/null | grep -q '"' && { sleep 0.2; return 0; }
            sleep 0.05
        done
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

# window_count NAME: how many X windows have that name.
window_count() { xwininfo -root -tree 2>/dev/null | grep -cF "\"$1\""; }

# wait_window NAME [SECONDS]: prints the id of the X window with that name,
# once it is on screen.
wait_window() {
    local id
    for _ in $(seq $((${2:-10} * 20))); do
        id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}' | head -n1)
        if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then
            sleep 0.2  # mapped is not yet listening: let the program take it in
            echo "$id"
            return 0
        fi
        kill -0 "$demo_pid" 2>/dev/null || fail "demo ended while waiting for \"$1\""
        sleep 0.05
    done
    fail "no window \"$1\""
}

window_gone() { ! xwininfo -id "$1" >/dev/null 2>&1; }

# geometry ID: "WIDTHxHEIGHT+X+Y" of the window, X and Y absolute.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /^  Width/ {w=$NF} /^  Height/ {h=$NF} END {print w "x" h "+" x "+" y}'
}

# press ID KEY: a key sent to that window (XSendEvent).
press() { xdotool key --window "$1" "$2" 2>/dev/null; }
# type_key ID KEY: typed on the keyboard (XTEST) into the focused window and
# held a moment, as a person does: a press released within one drain of the
# demo's message queue is never seen.
type_key() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    xdotool keydown "$2" 2>/dev/null
    sleep 0.15
    xdotool keyup "$2" 2>/dev/null
}

# wait_exit SECONDS: waits for the demo to end; its exit code is left in
# exit_code. (Not in a subshell: only this shell can wait for the demo.)
wait_exit() {
    for _ in $(seq $(($1 * 20))); do
        if ! kill -0 "$demo_pid" 2>/dev/null; then
            exit_code=0
            wait "$demo_pid" || exit_code=$?
            demo_pid=""
            return 0
        fi
        sleep 0.05
    done
    fail "demo still running after $1 s"
}
