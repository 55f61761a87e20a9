#!/usr/bin/env bash
# Starts the demo from the repository root, where it finds Data/texture.bmp.
# Without a display it cannot open a window: it then runs the same demo
# headless and saves a strip of key frames as PNG files instead.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/kv17demo"
fi

out="$build/frames"
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set), so no window can open."
if [ ! -x "$build/kv17-capture" ]; then
    echo "Without one the demo runs through kv17-capture, which is not built in $build:" \
        "make run installs its libraries (stb, FFmpeg, libpng) when started without a display." >&2
    exit 1
fi
echo "Running the demo headless instead and saving key frames to $out/ ..."
# The cube, a swell, the first flash, the last cube frame, the first
# pyramids, the yaw turning, the tilt's start and its end pose.
"$build/kv17-capture" --headless --frames 1,300,455,1000,1001,1200,1480,2100 --out "$out" >/dev/null
echo "Done: the frames are in $out/ (frame-NNNNN.png, NNNNN = frame number)."
ls "$out"
