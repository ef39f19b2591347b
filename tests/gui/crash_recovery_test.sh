#!/usr/bin/env bash
# The program in a real X session (Xvfb), typed at with xdotool: an edit
# survives a kill -9 and is offered back at the next start; SIGTERM keeps an
# unsaved edit the same way. Exit 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail
zu="$1"
. "$(dirname "$0")/x_session.sh"

# Shift_JIS "日本" and a CR LF.
printf '\223\372\226\173\r\n' > "$work/page.htm"

# 1. Type, wait for the copy, then kill -9.
"$zu" "$work/page.htm" & first=$!; pids+=($first)
type_until_copy "$first" "abc"
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
