#!/bin/sh
# Builds the Debian package from the build folder as ./scripts/package does,
# unpacks it and checks what a distribution checks: every file in its place
# with its mode and owner, the program stripped and running, the control
# fields (dependencies from the shared libraries), the AppStream metadata
# (appstreamcli), the desktop entry, the manual page and lintian.
set -eu
cpack="$1"
build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

(cd "$build" && "$cpack" -G DEB -B "$work/out" > "$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack could not build the package"; }
set -- "$work"/out/zu_*_*.deb
[ $# = 1 ] && [ -f "$1" ] || fail "no single zu_VERSION_ARCH.deb: $*"
deb="$1"

# Every file, with its mode and owner, and nothing else.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort > "$work/files"
cat > "$work/expected" << 'LIST'
-rw-r--r-- root/root ./usr/share/applications/zu.desktop
-rw-r--r-- root/root ./usr/share/doc/zu/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/zu/copyright
-rw-r--r-- root/root ./usr/share/icons/hicolor/128x128/apps/zu.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/16x16/apps/zu.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/22x22/apps/zu.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/24x24/apps/zu.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/256x256/apps/zu.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/32x32/apps/zu.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/zu.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/64x64/apps/zu.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/zu.svg
-rw-r--r-- root/root ./usr/share/man/man1/zu.1.gz
-rw-r--r-- root/root ./usr/share/metainfo/org.example.zu.metainfo.xml
-rw-r--r-- root/root ./usr/share/zu/zu.html
-rwxr-xr-x root/root ./usr/bin/zu
LIST
sort -o "$work/expected" "$work/expected"
diff "$work/expected" "$work/files" || fail "the package's files differ (- expected, + found)"

dpkg-deb -x "$deb" "$work/root"
dpkg-deb -e "$deb" "$work/control"
root="$work/root/usr"

# Stripped, and it runs: --version needs no display.
! readelf -S "$root/bin/zu" | grep -q '\.debug_info' || fail "the program is not stripped"
version="$("$root/bin/zu" --version)" || fail "the packaged program did not run"
field() { sed -n "s/^$1: //p" "$work/control/control"; }
[ "$version" = "zu $(field Version)" ] || fail "zu --version says '$version'"
[ "$(field Package)" = zu ] || fail "Package: $(field Package)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    libqt6svg6 libqt6network6 libx11-6 qt6-qpa-plugins; do
    field Depends | tr ',' '\n' | grep -q "^ *$dependency\( \|$\)" ||
        fail "Depends lacks $dependency: $(field Depends)"
done
[ -s "$work/control/md5sums" ] || fail "no md5sums"

# The metadata, the entry and the manual page, each by its own validator.
appstreamcli validate --no-net "$root/share/metainfo/org.example.zu.metainfo.xml" ||
    fail "appstreamcli refused the metadata"
grep -q '<launchable type="desktop-id">zu.desktop</launchable>' \
    "$root/share/metainfo/org.example.zu.metainfo.xml" || fail "the metadata names no entry"
desktop-file-validate "$root/share/applications/zu.desktop" || fail "the desktop entry is not valid"
warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/share/man/man1/zu.1.gz" 2>&1 > /dev/null)"
[ -z "$warnings" ] || fail "the manual page: $warnings"
zcat "$root/share/man/man1/zu.1.gz" | grep -q 'unregister' || fail "the manual page lacks a switch"

lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian found errors"
echo ok
