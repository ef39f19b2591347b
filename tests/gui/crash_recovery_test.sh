#!/usr/bin/env bash
# The program in a real X session (Xvfb), typed at with xdotool: an edit
# survives a kill -9 and is offered back at the next start; SIGTERM keeps an
# unsaved edit the same way. Exit 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail
zu="$1"
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "needs Xvfb and xdotool"; exit 77; }

work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export ZU_CONFIG_DIR="$work/config" XDG_CONFIG_HOME="$work/xdg" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/run" ZU_RECOVERY_DELAY_MS=100 QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# A display of our own.
for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
# Under load Xvfb can take many seconds to answer; zu started before that
# would only say it cannot reach the display.
answered=""
for _ in $(seq 300); do
    if xdotool getmouselocation >/dev/null 2>&1; then answered=yes; break; fi
    sleep 0.1
done
[ -n "$answered" ] || { echo "FAIL: Xvfb did not answer on $display within 30 s"; exit 1; }

fail() {
    echo "FAIL: $*"
    ls -la "$ZU_CONFIG_DIR/recovery" 2>&1
    for p in "${pids[@]}"; do xdotool search --pid "$p" getwindowname %@ 2>/dev/null; done
    exit 1
}
# Waits up to 10 s for a condition.
waitfor() { for _ in $(seq 200); do eval "$1" && return 0; sleep 0.05; done; return 1; }
# The first visible window of process $1, focused.
focus() {
    local win="" target="$1"
    waitfor 'win=$(xdotool search --onlyvisible --pid "$target" 2>/dev/null | tail -n 1); [ -n "$win" ]' ||
        fail "no window"
    sleep 0.3
    xdotool windowfocus --sync "$win"
}
copies() { ls "$ZU_CONFIG_DIR"/recovery/*.zurecover 2>/dev/null | wc -l; }

# Shift_JIS "日本" and a CR LF.
printf '\223\372\226\173\r\n' > "$work/page.htm"

# 1. Type, wait for the copy, then kill -9.
"$zu" "$work/page.htm" & first=$!; pids+=($first)
# A window shown is not yet a window that takes keys: the typing is tried
# again (at most twice more) until the copy shows it arrived.
typed=""
for attempt in 1 2 3; do
    focus "$first"
    xdotool type --delay 30 "abc"
    if waitfor '[ "$(copies)" -ge 1 ]'; then typed=yes; break; fi
done
[ -n "$typed" ] || fail "no recovery copy after typing"
kill -9 "$first"; wait "$first" 2>/dev/null || true

# 2. Start again: the offer comes up over the main window (Return says yes),
#    the document is back and Ctrl+S saves it to its own file.
"$zu" & second=$!; pids+=($second)
waitfor '[ "$(xdotool search --onlyvisible --pid "$second" 2>/dev/null | wc -l)" -ge 2 ]' ||
    fail "no recovery question"
focus "$second"
xdotool key Return
sleep 0.5
expected="$(printf 'abc\223\372\226\173\r\n' | od -An -tx1)"
saved=""
for attempt in 1 2 3; do
    focus "$second"
    xdotool key ctrl+s
    if waitfor '[ "$(od -An -tx1 < "$work/page.htm")" = "$expected" ]'; then saved=yes; break; fi
done
[ -n "$saved" ] || fail "restored text not saved: $(od -An -c < "$work/page.htm")"
waitfor '[ "$(copies)" -eq 0 ]' || fail "the copy stayed after saving"

# 3. An unsaved edit, then SIGTERM: zu ends and the edit is kept.
xdotool type --delay 30 "x"
sleep 0.2
kill -TERM "$second"
waitfor '! kill -0 "$second" 2>/dev/null' || fail "SIGTERM did not end zu"
[ "$(copies)" -eq 1 ] || fail "SIGTERM kept no recovery copy"
grep -q 'zu recovery' "$ZU_CONFIG_DIR"/recovery/*.zurecover || fail "not a recovery copy"
echo "ok"
