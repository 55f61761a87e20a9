#!/usr/bin/env bash
# Installs into a temporary prefix and runs the installed programs from
# elsewhere: the launcher must find the bitmap, the capture tool must draw.
# Usage: install_test.sh BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/../support/wait_for.sh"
build="$1"
prefix=$(mktemp -d)
trap 'kill -KILL ${demo:-} 2>/dev/null; rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "install failed"
for file in bin/kv17demo bin/kv17 bin/kv17-capture bin/kv17-bmp2ppm bin/kv17-make-texture \
    share/kv17/Data/texture.bmp; do
    [ -e "$prefix/$file" ] || fail "$file not installed"
done

cd /  # anywhere but the data folder
unset DISPLAY WAYLAND_DISPLAY

# The launcher, started through a symlink elsewhere, starts the demo in the
# data folder: headless it answers the start question No on stderr, then runs
# until a hang-up ends it the normal way (exit 0), as it would not without it.
mkdir "$prefix/links" && ln -s "$prefix/bin/kv17" "$prefix/links/kv17"
SDL_VIDEODRIVER=offscreen "$prefix/links/kv17" 2>"$prefix/err" &
demo=$!
wait_for 10 grep -q "Fullscreen Mode?" "$prefix/err" || fail "no start question"
kill -HUP "$demo"
wait_for 10 eval '! kill -0 "$demo" 2>/dev/null' || fail "the demo did not end on a hang-up"
wait "$demo"; rc=$?
[ "$rc" = 0 ] || { cat "$prefix/err" >&2; fail "launcher ended with $rc"; }

# Started where there is no Data/, the capture tool runs from the installed
# data, and a relative --out still means the folder it was started in.
(cd "$prefix" && "$prefix/bin/kv17-capture" --headless --frames 1,150 --out shots >/dev/null) ||
    fail "capture away from the data failed"
for frame in 00001 00150; do
    [ -s "$prefix/shots/frame-$frame.png" ] || fail "no frame $frame"
done
# Asked for a window with no display, it says why.
said=$("$prefix/bin/kv17-capture" --on-display --frames 1 --out "$prefix/none" 2>&1)
grep -qx "kv17-capture: no display to show a window on: DISPLAY is not set" <<<"$said" ||
    fail "no cause in: $said"
# The launcher answers --help and --version itself, before any window.
"$prefix/bin/kv17" --version | grep -qx 'kv17 [0-9.]*' || fail "kv17 --version"
"$prefix/bin/kv17" --help | grep -q '^usage: kv17 ' || fail "kv17 --help"
"$prefix/bin/kv17" --bogus 2>/dev/null; [ $? = 2 ] || fail "kv17 took an unknown argument"
# Every option a program's --help names is in its manual page.
for program in kv17 kv17-capture kv17-bmp2ppm kv17-make-texture; do
    page=$(zcat "$prefix/share/man/man1/$program.1.gz" | sed 's/\\-/-/g')
    for option in $("$prefix/bin/$program" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u); do
        grep -qF -- "$option" <<<"$page" || fail "$program(1) lacks $option"
    done
done
"$prefix/bin/kv17-bmp2ppm" "$prefix/share/kv17/Data/texture.bmp" "$prefix/texture.ppm" ||
    fail "bmp2ppm could not read the installed bitmap"
head -c 2 "$prefix/texture.ppm" | grep -q P6 || fail "not a PPM"
echo "PASS: install"
