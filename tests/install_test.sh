#!/bin/sh
# Installs the build into a scratch prefix, as a packager would, and checks
# that everything a desktop needs is in its standard place: the program, its
# help page, the desktop entry (which the desktop's own validator accepts),
# the icon, scalable and in each PNG size, the AppStream metadata and the
# manual page.
set -eu
cmake="$1"
build="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
fail() { echo "$1"; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

[ -x "$prefix/bin/zu" ] || fail "no program in bin"
[ -s "$prefix/share/zu/zu.html" ] || fail "no help page"
entry="$prefix/share/applications/zu.desktop"
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "the desktop entry is not valid"
grep -qx 'Exec=zu %F' "$entry" || fail "the entry does not start zu with its files"
grep -qx 'Icon=zu' "$entry" || fail "the entry does not name the icon"
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/zu.svg" || fail "no scalable icon"
ls "$prefix"/share/metainfo/*.metainfo.xml > /dev/null || fail "no AppStream metadata"
[ -s "$prefix/share/man/man1/zu.1.gz" ] || fail "no manual page"

# Each PNG is a picture of its folder's size: the PNG signature, then the
# width and height in the header chunk.
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/zu.png"
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    header="$(od -An -tx1 -N24 "$png" | tr -d ' \n')"
    expected="$(printf '89504e470d0a1a0a0000000d49484452%08x%08x' "$size" "$size")"
    [ "$header" = "$expected" ] || fail "the ${size}x${size} icon is not a ${size}x${size} PNG"
done
echo "ok"
