#!/bin/sh
# Runs the program as a user would from a shell or a file manager:
#   - "zu /pt FILE OUT.pdf" prints FILE to a PDF file and ends with success,
#     touching no settings;
#   - every start registers zu with the desktop, and "--unregister" takes the
#     registration back;
#   - while a zu runs, "zu FILE" hands FILE to it and ends; "zu -n FILE"
#     starts a zu of its own.
# The desktop folders and the runtime folder are scratch folders: the user's
# own are never touched.
set -eu
zu="$1"
work="$(mktemp -d)"
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$1"; exit 1; }

export ZU_CONFIG_DIR="$work/config"
export XDG_DATA_HOME="$work/data"
export XDG_CONFIG_HOME="$work/xdg-config"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY
entry="$XDG_DATA_HOME/applications/zu.desktop"
mimeapps="$XDG_CONFIG_HOME/mimeapps.list"

# Polls for a condition for up to ten seconds.
within() {
    tries=0
    until eval "$1"; do
        tries=$((tries + 1))
        [ "$tries" -lt 200 ] || return 1
        sleep 0.05
    done
}

# Japanese text in Shift_JIS: "<p>日本語</p>" and a line break.
printf '<p>\223\372\226\173\214\352</p>\r\n' > "$work/page.htm"
"$zu" /pt "$work/page.htm" "$work/page.pdf"
head -c 4 "$work/page.pdf" | grep -q '%PDF' || fail "no PDF written"
[ ! -e "$work/config/zu.set" ] || fail "printing from the command line wrote zu.set"

# That start registered zu: its entry starts this very program, the desktop
# accepts it, and zu became the default for web pages.
grep -qx "Exec=$zu %F" "$entry" || fail "no desktop entry for $zu"
desktop-file-validate "$entry" || fail "the registered entry is not valid"
grep -qx 'text/html=zu.desktop;' "$mimeapps" || fail "zu is not the default for text/html"

# A running zu takes the files of a second one, which ends at once. The
# second keeps its recent files elsewhere, so the first's list shows who
# opened the file.
printf 'second' > "$work/second.htm"
"$zu" & pids="$pids $!"; first=$!
within '[ -S "$XDG_RUNTIME_DIR/zu.socket" ]' || fail "the first zu never listened"
(cd "$work" && ZU_CONFIG_DIR="$work/other" timeout 10 "$zu" second.htm) ||
    fail "the second zu did not hand its file over and end"
within 'grep -q "second.htm" "$work/config/zu.conf" 2>/dev/null' ||
    fail "the first zu did not open the handed-over file"
grep -q "File1=$work/second.htm" "$work/config/zu.conf" ||
    fail "the relative name was not made absolute by the second zu"
[ ! -e "$work/other/zu.conf" ] || fail "the second zu opened the file itself"
kill -0 "$first" || fail "the first zu ended"

# "-n": a zu of its own, which opens the file itself and keeps running.
printf 'third' > "$work/third.htm"
ZU_CONFIG_DIR="$work/own" "$zu" -n "$work/third.htm" & pids="$pids $!"; own=$!
within 'grep -q "third.htm" "$work/own/zu.conf" 2>/dev/null' ||
    fail "zu -n did not open its file in a zu of its own"
kill -0 "$own" || fail "zu -n ended"
! grep -q "third.htm" "$work/config/zu.conf" || fail "zu -n handed its file over"

# Unregistering takes the entry and the default back, then ends.
timeout 10 "$zu" --unregister || fail "--unregister failed"
[ ! -e "$entry" ] || fail "--unregister left the desktop entry"
! grep -q 'zu.desktop' "$mimeapps" || fail "--unregister left zu as the default"
echo "ok"
