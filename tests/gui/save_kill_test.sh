#!/usr/bin/env bash
# Saves killed at a chosen moment, with real processes, files and signals:
# zu runs in a real X session (Xvfb), is typed at with xdotool, and strace
# kills it with SIGKILL as it enters a chosen system call of the save.
#   - a file with two names is written in place: killed half-way, the next
#     start says what the file holds and puts the old bytes back when asked;
#     killed once the new bytes are in, it says so and keeps them;
#   - a file renamed over: killed before the rename, the file is the old one
#     and the next start removes the temporary file left beside it;
#   - a second zu started while the first asks "save changes?" at exit
#     opens its file itself.
# Exit 77 (skipped) when Xvfb, xdotool or strace is missing or may not trace.
set -euo pipefail
zu="$1"
for tool in Xvfb xdotool strace; do
    command -v "$tool" >/dev/null || { echo "needs $tool"; exit 77; }
done
strace -o /dev/null true 2>/dev/null || { echo "strace may not trace here"; exit 77; }

# The X session of the program's tests: scratch folders, a display that
# answers, and the helpers.
. "$(dirname "$0")/x_session.sh"
# No recovery copy is written while the test types: its writes must not
# take the place of the save's in the count of system calls.
export ZU_RECOVERY_DELAY_MS=600000

fail() {
    echo "FAIL: $*"
    ls -la "$work" "$ZU_CONFIG_DIR/saving" 2>&1 || true
    exit 1
}

# The first visible window of process $1, focused.
focus() {
    local win="" target="$1"
    waitfor 'win=$(xdotool search --onlyvisible --pid "$target" 2>/dev/null | tail -n 1); [ -n "$win" ]' ||
        fail "no window"
    sleep 0.3
    xdotool windowfocus --sync "$win"
}
windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l; }
leftovers() { find "$work" -maxdepth 1 -name '.*.zu-*' | wc -l; }
notes() { find "$ZU_CONFIG_DIR/saving" -type f 2>/dev/null | wc -l; }

# Opens FILE, presses KEY (an edit), then saves with Ctrl+S while strace
# kills zu as it enters the WHEN-th call of SYSCALL.
save_killed_at() { # FILE KEY SYSCALL WHEN
    "$zu" "$1" & local pid=$!
    pids+=($pid)
    focus "$pid"
    xdotool key --delay 50 "$2"
    sleep 0.3
    strace -o /dev/null -p "$pid" -e trace="$3" -e inject="$3":signal=KILL:when="$4" &
    pids+=($!)
    waitfor 'grep -q "^TracerPid:[[:space:]]*[1-9]" /proc/$pid/status' || fail "strace did not attach"
    xdotool key ctrl+s
    waitfor '! kill -0 $pid 2>/dev/null' || fail "zu was not killed at $3 number $4"
    wait "$pid" 2>/dev/null || true
}

# Shift_JIS lines, about 2 MB; the old bytes kept aside to compare with.
page() {
    for i in $(seq 40000); do printf '<p>%05d \223\372\226\173</p>\r\n' "$i"; done
}
page > "$work/old"

# 1. Two names, killed half-way: the new bytes (one shorter: the first
#    character deleted) are over the old ones, the old file's last byte
#    still after them. The next start asks; Return puts the old bytes back.
cp "$work/old" "$work/page.htm"
ln "$work/page.htm" "$work/other.htm"
save_killed_at "$work/page.htm" Delete ftruncate 2 # the first is the copy's own
cmp -s "$work/page.htm" "$work/old" && fail "the write in place had not begun"
[ "$(notes)" = 1 ] || fail "no note of the write in place"
"$zu" & restart=$!
pids+=($restart)
waitfor '[ "$(windows $restart)" -ge 2 ]' || fail "no question about the unfinished save"
focus "$restart"
xdotool key Return
waitfor 'cmp -s "$work/page.htm" "$work/old"' || fail "the old bytes were not put back"
[ "$work/page.htm" -ef "$work/other.htm" ] || fail "the file lost its other name"
waitfor '[ "$(leftovers)" = 0 ] && [ "$(notes)" = 0 ]' || fail "the copy or the note was left"
kill "$restart"

# 2. Two names, killed once the new bytes are all in (entering the flush
#    that follows them): the next start says the new content is whole, and
#    the user keeps it (the message log answers as Escape does).
save_killed_at "$work/page.htm" x fsync 3 # the copy's and the note's come first
{ printf 'x'; cat "$work/old"; } > "$work/new"
cmp -s "$work/page.htm" "$work/new" || fail "the new bytes were not all written"
log="$work/messages"
ZU_MESSAGE_LOG="$log" QT_QPA_PLATFORM=offscreen "$zu" & restart=$!
pids+=($restart)
waitfor '[ -s "$log" ]' || fail "nothing said about the unfinished save"
grep -qF "page.htm の保存中に zu が終了しました。 新しい内容は最後まで書き込まれています。" "$log" ||
    fail "the start said: $(cat "$log")"
waitfor '[ "$(leftovers)" = 0 ] && [ "$(notes)" = 0 ]' || fail "the copy or the note was left"
cmp -s "$work/page.htm" "$work/new" || fail "the new bytes were not kept"
kill "$restart"

# 3. One name, killed as the new file is to be renamed over the old one
#    (the first rename is the note's): the file is the old one, whole, and
#    the next start removes the temporary file beside it, asking nothing.
cp "$work/old" "$work/single.htm"
save_killed_at "$work/single.htm" y rename 2
cmp -s "$work/single.htm" "$work/old" || fail "the renamed-over file is not the old one"
[ "$(leftovers)" = 1 ] || fail "no temporary file beside it after the kill"
: > "$log"
ZU_MESSAGE_LOG="$log" QT_QPA_PLATFORM=offscreen "$zu" & restart=$!
pids+=($restart)
waitfor '[ "$(leftovers)" = 0 ] && [ "$(notes)" = 0 ]' || fail "the temporary file was left"
[ ! -s "$log" ] || fail "the start asked: $(cat "$log")"
kill "$restart"

# 4. A second zu hands its file over while the first asks "save changes?"
#    at exit; the user answers No. The second opens the file itself.
printf 'first\r\n' > "$work/first.htm"
printf 'second\r\n' > "$work/second.htm"
"$zu" "$work/first.htm" & first=$!
pids+=($first)
focus "$first"
xdotool type --delay 30 "z"
xdotool key alt+f
sleep 0.3
xdotool key x
waitfor '[ "$(windows $first)" -ge 2 ]' || fail "no question at exit"
ZU_CONFIG_DIR="$work/second" "$zu" "$work/second.htm" & second=$!
pids+=($second)
waitfor 'grep -q "second.htm" "$work/second/zu.conf" 2>/dev/null' ||
    fail "the second zu did not open its file itself"
focus "$first"
xdotool key alt+n
waitfor '! kill -0 $first 2>/dev/null' || fail "the first zu did not end"
kill -0 "$second" || fail "the second zu ended"
echo "ok"
