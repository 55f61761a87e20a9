#!/usr/bin/env bash
# Starts the demo from the repository root, where it finds Data/texture.bmp.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): the demo needs a desktop." >&2
    exit 1
fi
exec "$build/kv17demo"
