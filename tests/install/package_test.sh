#!/usr/bin/env bash
# Builds the Debian package from BUILD_DIR into a temporary folder, checks
# its dependencies and lintian's verdict, unpacks it and runs the installed
# kv17-capture from / as a user of the package would.
# Usage: package_test.sh BUILD_DIR CPACK
set -uo pipefail
build="$1"
cpack="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(echo "$work"/kv17_*.deb)
[ -f "$deb" ] || fail "no package made"
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *fonts-dejavu-core* && $depends == *libsdl2* ]] || fail "Depends: $depends"
# The one warning left is for uploads to Debian, which close an ITP bug.
lintian --tag-display-limit 0 --fail-on error,warning \
    --suppress-tags initial-upload-closes-no-bugs "$deb" 2>/dev/null || fail "lintian"

root="$work/root"
dpkg -x "$deb" "$root" || fail "dpkg -x"
desktop-file-validate "$root/usr/share/applications/kv17.desktop" || fail "desktop entry"
cd /  # no Data/ here: the installed data must be found
unset DISPLAY WAYLAND_DISPLAY
"$root/usr/bin/kv17-capture" --headless --frames 1 --out "$work/shots" >/dev/null ||
    fail "the installed kv17-capture, run from /"
[ "$(head -c 4 "$work/shots/frame-00001.png" | tail -c 3)" = PNG ] || fail "no PNG frame"
echo "PASS: package"
