#!/usr/bin/env bash
# Fetches the C libraries the browser build compiles with emcc (SDL2,
# FreeType, the GLU tessellator) as Debian's own source packages, and unpacks
# them into DEST/sdl2, DEST/freetype and DEST/glu. Apt checks each tarball
# against the signed index. The machine's apt configuration is only read:
# the source index goes to DEST/apt. Does nothing when all three are there.
set -euo pipefail

dest=$(realpath -m "${1:?usage: fetch-sources.sh DEST}")
packages=(libsdl2 freetype libglu)
declare -A unpacked=([libsdl2]=sdl2 [freetype]=freetype [libglu]=glu)

have_all=true
for package in "${packages[@]}"; do
    [ -d "$dest/${unpacked[$package]}" ] || have_all=false
done
$have_all && exit 0

apt_dir="$dest/apt"
mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache" "$dest/download"
# The machine's Debian entries, turned into source entries.
for list in /etc/apt/sources.list.d/*.sources; do
    [ -e "$list" ] && sed 's/^Types: deb$/Types: deb-src/' "$list" >"$apt_dir/sources/$(basename "$list")"
done
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$list" ] && sed -n 's/^deb /deb-src /p' "$list" >"$apt_dir/sources/$(basename "$list")"
done
apt_options=(
    -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
    -o APT::Sandbox::User=root
)
apt-get -qq "${apt_options[@]}" update
(cd "$dest/download" && apt-get -qq "${apt_options[@]}" source --tar-only --download-only "${packages[@]}")

for package in "${packages[@]}"; do
    target="$dest/${unpacked[$package]}"
    [ -d "$target" ] && continue  # unpacked by an earlier, interrupted run
    # The upstream tarball; FreeType's extra ones hold its demos and docs.
    tarball=$(ls "$dest/download/${package}_"*.orig.tar.* | head -n 1)
    rm -rf "$target.partial"
    mkdir -p "$target.partial"
    tar -xf "$tarball" -C "$target.partial" --strip-components=1
    mv "$target.partial" "$target"
done
echo "fetch-sources.sh: ${packages[*]} unpacked in $dest"
