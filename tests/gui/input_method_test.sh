#!/usr/bin/env bash
# Typing Japanese through a real input method: ibus with the Mozc engine, on
# a session bus and an X display (Xvfb) of the test's own, zu typed at with
# xdotool as a user types romaji, converts with Space and commits with
# Return. A cancelled composition never reaches the page nor a field of the
# Options (whatever takes the focus next), typing over a selection is one
# undo step (also across the join of a long line), and the candidates open
# at the composition's start. Exit 77 (skipped) where ibus, Mozc, Xvfb or
# xdotool is missing.
#
# Mozc's server refuses to run as root: run as root, the test runs itself
# again as the user nobody, in a home folder of its own.
set -euo pipefail
zu="$(realpath "$1")"
for tool in Xvfb xdotool dbus-daemon ibus-daemon ibus setpriv; do
    command -v "$tool" >/dev/null || { echo "needs $tool"; exit 77; }
done
[ -x /usr/lib/ibus-mozc/ibus-engine-mozc ] || { echo "needs ibus-mozc"; exit 77; }

if [ "$(id -u)" -eq 0 ]; then
    home="$(mktemp -d /tmp/zu-im.XXXXXX)"
    trap 'rm -rf "$home"' EXIT
    chown nobody: "$home"
    setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$zu" ||
        { echo "nobody cannot run $zu"; exit 77; }
    status=0
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i HOME="$home" PATH="$PATH" LANG=C.UTF-8 TMPDIR="$home" \
        bash "$(realpath "$0")" "$zu" || status=$?
    exit "$status"
fi

work="$(mktemp -d)"
pids=()
cleanup() {
    # Each started process by its id; ibus-daemon leads a group of its own,
    # with the engine and Mozc's server in it.
    for p in "${pids[@]}"; do kill -- "-$p" 2>/dev/null || kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export ZU_CONFIG_DIR="$work/config" XDG_CONFIG_HOME="$work/xdg" XDG_DATA_HOME="$work/data"
export XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/run" GSETTINGS_BACKEND=memory
export QT_QPA_PLATFORM=xcb QT_IM_MODULE=ibus XMODIFIERS=@im=ibus
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/mozc" && chmod 700 "$XDG_RUNTIME_DIR"

fail() {
    echo "FAIL: $*"
    tail -n 40 "$work/zu.log" 2>/dev/null
    exit 1
}
# Waits up to 10 s for a condition.
waitfor() { for _ in $(seq 200); do eval "$1" && return 0; sleep 0.05; done; return 1; }

# A display and a session bus of our own.
. "$(dirname "$0")/x_display.sh"
{ read -r DBUS_SESSION_BUS_ADDRESS; read -r bus; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
pids+=("$bus")
export DBUS_SESSION_BUS_ADDRESS

# Mozc starts in Hiragana, as a user has it after switching it on.
cat > "$XDG_CONFIG_HOME/mozc/ibus_config.textproto" <<'EOF'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
EOF
ibus-daemon --panel=disable --emoji-extension=disable --config=disable >"$work/ibus.log" 2>&1 &
pids+=($!)
waitfor 'ibus engine mozc-jp >/dev/null 2>&1; [ "$(ibus engine 2>/dev/null)" = mozc-jp ]' ||
    fail "ibus did not take the Mozc engine: $(cat "$work/ibus.log")"

hex() { od -An -tx1 -v | tr -s ' \n' ' ' | sed 's/ $//'; }
# Shift_JIS bytes of the texts typed.
KESU=" 82 af 82 b7"     # けす
SENTAKU=" 91 49 91 f0"  # 選択
TESUTO=" 83 65 83 58 83 67" # テスト

zupid=""
# Starts zu on `file` and waits until its window takes keys through Mozc:
# "a" and Return commit あ, which Ctrl+S saves; Ctrl+Z takes it back.
start() {
    local file="$1" before
    before="$(hex < "$file")"
    "$zu" "$file" 2>>"$work/zu.log" &
    zupid=$!
    pids+=("$zupid")
    for _ in 1 2 3; do
        focusMain
        xdotool key ctrl+Home a Return ctrl+s
        if waitfor '[ "$(hex < "$file")" = " 82 a0$before" ]'; then
            xdotool key ctrl+z ctrl+s
            waitfor '[ "$(hex < "$file")" = "$before" ]' || fail "the probe stayed in $file"
            return 0
        fi
        # Whatever the attempt left, taken back unsaved.
        xdotool key Escape ctrl+z ctrl+z ctrl+z
    done
    fail "zu never typed through Mozc: $(hex < "$file")"
}
focusMain() {
    local win=""
    waitfor 'win=$(mainWindow); [ -n "$win" ]' ||
        fail "no main window"
    xdotool windowfocus --sync "$win"
    sleep 0.2
}
windows() { xdotool search --onlyvisible --pid "$zupid" 2>/dev/null | wc -l; }
mainWindow() { xdotool search --all --onlyvisible --pid "$zupid" --name "^zu" 2>/dev/null | head -n 1; }
# Waits for a window besides the main one (the dialog $1) and focuses it.
focusDialog() {
    local win=""
    waitfor 'win=$(xdotool search --onlyvisible --pid "$zupid" 2>/dev/null | grep -vx "$(mainWindow)" | head -n 1); [ -n "$win" ]' ||
        fail "the $1 did not come up"
    xdotool windowfocus --sync "$win"
    sleep 0.2
}
saved() { # file expected-bytes what
    local file="$1" want="$2"
    xdotool key ctrl+s
    waitfor '[ "$(hex < "$file")" = "$want" ]' || fail "$3: saved$(hex < "$file"), expected$want"
}
# Alt and the menu's letter, then the item's letter once the menu is up
# (before, the letter would go to Mozc and start a composition).
menu() {
    local before
    before="$(windows)"
    xdotool key "alt+$1"
    waitfor '[ "$(windows)" -gt "$before" ]' || fail "the menu $1 did not open"
    xdotool key "$2"
}
quit() {
    focusMain
    menu f x
    waitfor '! kill -0 "$zupid" 2>/dev/null' || fail "zu did not end"
    wait "$zupid" || true
}

page="$work/page.htm"
printf '\x83\x65\x83\x58\x83\x67\r\n' > "$page" # テスト
start "$page"
original="$(hex < "$page")"

# 1. A composition cancelled with Escape, then the focus goes elsewhere:
#    to a menu, to the Find window, to the Options (cancelled). Each time,
#    what is typed next (あ) is all the page gets.
typedNext() {
    focusMain
    xdotool key ctrl+End a Return
    saved "$page" "$original 82 a0" "$1"
    xdotool key ctrl+z
}
focusMain
xdotool key ctrl+End && xdotool type --delay 40 kesu && xdotool key Escape
menu v Escape
waitfor '[ "$(windows)" -eq 1 ]' || fail "the menu did not close"
xdotool key Escape
typedNext "cancelled, then a menu"
xdotool type --delay 40 kesu && xdotool key Escape ctrl+f
focusDialog "Find window"
xdotool key Escape
typedNext "cancelled, then the Find window"
xdotool type --delay 40 kesu && xdotool key Escape
menu v o
focusDialog Options
xdotool key Escape
typedNext "cancelled, then the Options"

# 2. Typing over a selection: 選択 in place of テスト, and one Undo.
xdotool key ctrl+Home shift+End && xdotool type --delay 40 sentaku && xdotool key space Return
saved "$page" "$SENTAKU 0d 0a" "typed over a selection"
xdotool key ctrl+z
saved "$page" "$original" "one Undo after typing over a selection"

# 3. In the page title field of the Options: cancelled, then Tab and OK.
menu v o
focusDialog Options
xdotool key ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab End && xdotool type --delay 40 kesu
xdotool key Escape Tab Return
waitfor '[ "$(windows)" -eq 1 ]' || fail "the Options stayed open"
quit
title="$(tr -d '\r' < "$ZU_CONFIG_DIR/zu.set" | grep -a '^title' || true)"
[ "$title" = "title" ] || fail "zu.set holds the page title$(printf %s "$title" | hex)"

# 4. Over a selection across the join of a long line (cut after 4096
#    characters) that a long word goes on after: the candidates open at the
#    composition's start, where they open once it is converted; 選択 in
#    place of the selection; one Undo.
long="$work/long.htm"
{ head -c 4100 /dev/zero | tr '\0' a; head -c 300 /dev/zero | tr '\0' c; } > "$long"
start "$long"
longOriginal="$(hex < "$long")"
focusMain
{ echo "key ctrl+End"; for _ in $(seq 300); do echo "key Left"; done
  for _ in $(seq 10); do echo "key shift+Left"; done; } | xdotool -
xdotool type --delay 40 sentaku
# Mozc's window: its left edge and its height.
candidates() {
    local win=""
    win=$(xdotool search --onlyvisible --classname mozc_renderer 2>/dev/null | head -n 1)
    [ -n "$win" ] && xdotool getwindowgeometry --shell "$win" | sed -n 's/^[XH][A-Z]*=//p' | tr '\n' ' '
}
waitfor '[ -n "$(candidates)" ]' || fail "no suggestions shown"
read -r composing height <<<"$(candidates)"
xdotool key space space
waitfor '[ "$(candidates)" != "$composing $height " ]' || fail "no candidates shown"
read -r converting _ <<<"$(candidates)"
[ $((composing - converting)) -lt 60 ] && [ $((converting - composing)) -lt 60 ] ||
    fail "candidates at x=$composing while composing, at x=$converting once converted"
xdotool key Up Return # the first candidate, 選択
expected="$({ head -c 4090 /dev/zero | tr '\0' a; printf '\x91\x49\x91\xf0'
              head -c 300 /dev/zero | tr '\0' c; } | hex)"
saved "$long" "$expected" "typed over a selection across a join"
xdotool key ctrl+z
saved "$long" "$longOriginal" "one Undo after typing across a join"
quit
echo "ok"
