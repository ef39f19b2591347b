#!/usr/bin/env bash
# Recovery copies when things go wrong, on the real program in a real X
# session (Xvfb, typed at with xdotool), with real files, permissions and
# signals:
#   - another program rewrites the file after a kill -9: the offer says so,
#     and Save after restoring asks before writing over that program's work;
#   - a recovery folder that is full or read-only (a file system of the
#     test's own, in a mount namespace): said once with the folder and the
#     reason, written as soon as there is room; a signal to end then keeps
#     the edits in the second place, which the next start offers, and the
#     exit status is 0 only when every edit was kept;
#   - under umask 000 the folder is 0700 and the copies 0600;
#   - a copy made by hand with an impossible length: the start goes on, the
#     copy is put aside under another name, with one message;
#   - SIGINT and SIGQUIT keep the edits as SIGTERM does;
#   - a writer killed in the middle of a copy leaves nothing the next start
#     does not remove, and the start removes nothing that is not its own.
# The parts that need a mount namespace are skipped (with a note) when not
# run as root.
set -euo pipefail
zu="$1"
. "$(dirname "$0")/x_session.sh"

log="$work/messages"
# Messages go to the log and are answered as Escape would; no window needed.
# Run in the background only: zu takes the place of the background shell, so
# that $! is zu's own id.
unattended() { ZU_MESSAGE_LOG="$log" QT_QPA_PLATFORM=offscreen exec "$@"; }
# The id of a process that has ended.
dead="$(sh -c 'echo $$')"
hex() { od -An -tx1 | tr -d ' \n'; }
# Whether a copy holds the ASCII text $2 (UTF-16 inside it).
holds() { hex < "$1" | grep -q "$(printf '%s' "$2" | sed 's/./&\x00/g' | hex)"; }

printf 'old text\r\n' > "$work/page.htm"

# A copy made by hand whose text length is past any text: not offered, put
# aside (not removed), one message, and the start goes on.
mkdir -p "$ZU_CONFIG_DIR/recovery"
bad="$ZU_CONFIG_DIR/recovery/$dead-1.zurecover"
printf 'zu recovery 1\ntitle \npath \nencoding \nbom 0\nlinebreak 0\nbreaks \nvariants\ntext 9223372036854775809\nab' > "$bad"
unattended "$zu" "$work/page.htm" & run=$!; pids+=($run)
waitfor 'grep -q "壊れていて" "$log" 2>/dev/null' || fail "a damaged copy was not reported (zu said: $(cat "$log" 2>&1))"
sleep 0.5
kill -0 "$run" 2>/dev/null || fail "zu ended after meeting a damaged copy"
[ "$(wc -l < "$log")" = 1 ] || fail "more than one message: $(cat "$log")"
[ ! -e "$bad" ] && [ -f "$bad.damaged" ] || fail "the damaged copy was not put aside"
kill -9 "$run"; wait "$run" 2>/dev/null || true
rm -f "$log" "$bad.damaged"

# Starts zu, says yes to the offer and saves: the file must then be $1
# (printf's format).
restore_and_save() {
    local r expected
    "$zu" & r=$!; pids+=($r)
    waitfor '[ "$(windows "$r")" -ge 2 ]' || fail "no recovery question"
    focus "$r"
    xdotool key Return
    sleep 0.5
    expected="$(printf "$1" | od -An -tx1)"
    for _ in 1 2 3; do
        focus "$r"
        xdotool key ctrl+s
        if waitfor '[ "$(od -An -tx1 < "$work/page.htm")" = "$expected" ]'; then
            kill -9 "$r"; wait "$r" 2>/dev/null || true
            return 0
        fi
    done
    fail "restored text not saved: $(od -An -c < "$work/page.htm")"
}

# Under umask 000 the recovery folder is 0700 and its copies 0600. SIGINT
# and SIGQUIT keep what was typed after the last copy (copies follow the
# edits only after 3 s here, so only the signal can have written it) and
# end with status 0.
for signal in INT QUIT; do
    rm -rf "$ZU_CONFIG_DIR"
    printf 'old text\r\n' > "$work/page.htm"
    (umask 000 && ZU_RECOVERY_DELAY_MS=3000 exec "$zu" "$work/page.htm") & run=$!; pids+=($run)
    type_until_copy "$run" "abc"
    copy="$(ls "$ZU_CONFIG_DIR"/recovery/*.zurecover)"
    [ "$(stat -c %a "$ZU_CONFIG_DIR/recovery")" = 700 ] || fail "recovery folder $(stat -c %a "$ZU_CONFIG_DIR/recovery")"
    [ "$(stat -c %a "$copy")" = 600 ] || fail "recovery copy $(stat -c %a "$copy")"
    xdotool type --delay 30 "xyz"
    sleep 0.3
    kill -"$signal" "$run"
    status=0; wait "$run" || status=$?
    [ "$status" = 0 ] || fail "SIG$signal: zu ended with status $status"
    restore_and_save 'abcxyzold text\r\n'
done
rm -rf "$ZU_CONFIG_DIR"
printf 'old text\r\n' > "$work/page.htm"

# Another program rewrites the file after a kill -9. The offer says so...
"$zu" "$work/page.htm" & run=$!; pids+=($run)
type_until_copy "$run" "mine "
kill -9 "$run"; wait "$run" 2>/dev/null || true
printf 'their text\r\n' > "$work/page.htm"
cp -a "$ZU_CONFIG_DIR/recovery" "$work/kept"
unattended "$zu" & run=$!; pids+=($run)
waitfor 'grep -q "の保存されていない変更" "$log" 2>/dev/null' || fail "no offer"
grep "の保存されていない変更" "$log" | grep -q "他のﾌﾟﾛｸﾞﾗﾑで変更されています" ||
    fail "the offer does not say the file changed: $(cat "$log")"
kill -9 "$run"; wait "$run" 2>/dev/null || true
rm -rf "$ZU_CONFIG_DIR/recovery" && mv "$work/kept" "$ZU_CONFIG_DIR/recovery"
# ...and Save after restoring asks first; "No" leaves that program's text.
"$zu" & run=$!; pids+=($run)
waitfor '[ "$(windows "$run")" -ge 2 ]' || fail "no recovery question"
focus "$run"
xdotool key Return
sleep 0.5
asked=""
for attempt in 1 2 3; do
    focus "$run"
    xdotool key ctrl+s
    if waitfor '[ "$(windows "$run")" -ge 2 ]'; then asked=yes; break; fi
    [ "$(cat "$work/page.htm")" = "$(printf 'their text\r\n')" ] || break
done
[ "$(od -An -c < "$work/page.htm")" = "$(printf 'their text\r\n' | od -An -c)" ] ||
    fail "Save wrote over the other program's text: $(od -An -c < "$work/page.htm")"
[ -n "$asked" ] || fail "Save did not ask about the changed file"
xdotool key Escape
sleep 0.3
[ "$(od -An -c < "$work/page.htm")" = "$(printf 'their text\r\n' | od -An -c)" ] ||
    fail "\"No\" wrote the file"
kill -9 "$run"; wait "$run" 2>/dev/null || true
rm -rf "$ZU_CONFIG_DIR"

# A writer killed in the middle of a copy: its temporary file is removed at
# the next start; a temporary file of another machine and a file that is no
# copy's are left alone.
head -c 60000000 /dev/zero | tr '\0' 'x' > "$work/large.htm"
"$zu" "$work/large.htm" & run=$!; pids+=($run)
# A file this large is read in the background: its text takes keys once
# it is in, when the main window's caption names it.
for _ in $(seq 1200); do
    xdotool search --onlyvisible --name 'zu - \[large.htm\]' >/dev/null 2>&1 && break
    sleep 0.1
done
focus "$run"
xdotool type --delay 30 "a"
# Looked for without starting a process, so that a copy written in a tenth
# of a second is still caught in the middle.
caught=""
for _ in $(seq 3000); do
    set -- "$ZU_CONFIG_DIR"/recovery/.[0-9]*
    if [ -e "$1" ]; then caught=yes; break; fi
    sleep 0.005
done
kill -9 "$run"; wait "$run" 2>/dev/null || true
[ -n "$caught" ] || fail "no copy was being written"
left="$(ls -A "$ZU_CONFIG_DIR/recovery" | grep '^\.' || true)"
[ -n "$left" ] || echo "note: the copy was whole before the kill; nothing was left over"
foreign=".$dead-7.zurecover.0123456789abcdef.zutmp"
touch "$ZU_CONFIG_DIR/recovery/$foreign" "$ZU_CONFIG_DIR/recovery/.notes"
unattended "$zu" "$work/page.htm" & run=$!; pids+=($run)
waitfor 'grep -q page.htm "$ZU_CONFIG_DIR/zu.conf" 2>/dev/null' || fail "zu did not start"
for name in $left; do
    waitfor '[ ! -e "$ZU_CONFIG_DIR/recovery/$name" ]' || fail "the leftover $name stayed"
done
[ -e "$ZU_CONFIG_DIR/recovery/$foreign" ] && [ -e "$ZU_CONFIG_DIR/recovery/.notes" ] ||
    fail "a file that is not zu's own was removed"
kill -9 "$run"; wait "$run" 2>/dev/null || true
rm -rf "$ZU_CONFIG_DIR" "$work/large.htm" "$log"

if [ "$(id -u)" != 0 ] || ! unshare -m true 2>/dev/null; then
    echo "skipped: a full or read-only recovery folder needs root and a mount namespace"
    echo "ok"
    exit 0
fi

# zu in a mount namespace of its own, where $1 is mounted over the recovery
# folder (and $2, when given, over the runtime folder).
in_namespace() {
    local folder="$ZU_CONFIG_DIR/recovery"
    mkdir -p "$folder"
    ZU_MESSAGE_LOG="$log" unshare -m bash -c "mount --make-rprivate / && mount -t tmpfs -o $1 tmpfs '$folder' &&
        { [ -z '${2:-}' ] || mount -t tmpfs -o '${2:-ro}' tmpfs '$XDG_RUNTIME_DIR'; } &&
        { [ '$1' = ro ] || dd if=/dev/zero of='$folder/filler' bs=4k count=256 2>/dev/null || true; } &&
        exec '$zu' '$work/page.htm'" 2>"$work/stderr" &
    run=$!; pids+=($run)
}
second="$XDG_RUNTIME_DIR/zu-recovery"
inside() { echo "/proc/$run/root$ZU_CONFIG_DIR/recovery"; }

# Full: said once, with the folder and the reason; SIGTERM then keeps the
# edits in the second place and ends with status 0.
in_namespace size=1m
focus "$run"
xdotool type --delay 30 "abc"
waitfor 'grep -q "回復用ｺﾋﾟｰを書き込めません" "$log" 2>/dev/null' || fail "a full folder was not reported"
grep -q "$ZU_CONFIG_DIR/recovery.*ﾃﾞｨｽｸの空き容量が不足しました" "$log" ||
    fail "the message does not name the folder and the reason: $(cat "$log")"
xdotool type --delay 30 "def"
sleep 1.5
[ "$(wc -l < "$log")" = 1 ] || fail "said more than once: $(cat "$log")"
kill -TERM "$run"
status=0; wait "$run" || status=$?
[ "$status" = 0 ] || fail "SIGTERM with a full folder: status $status ($(cat "$work/stderr"))"
[ "$(copies "$second")" = 1 ] || fail "nothing in the second place"
holds "$second"/*.zurecover "abcdef" || fail "the second place lacks the last edits"
[ "$(stat -c %a "$second")" = 700 ] || fail "second place $(stat -c %a "$second")"
# The next start offers it.
: > "$log"
unattended "$zu" & next=$!; pids+=($next)
waitfor 'grep -q "の保存されていない変更" "$log" 2>/dev/null' || fail "the second place was not offered"
kill -9 "$next"; wait "$next" 2>/dev/null || true
rm -rf "$second" "$ZU_CONFIG_DIR" "$log"

# Full, then room again: the copy is written with no new edit.
in_namespace size=1m
focus "$run"
xdotool type --delay 30 "abc"
waitfor 'grep -q "回復用ｺﾋﾟｰを書き込めません" "$log" 2>/dev/null' || fail "a full folder was not reported"
rm "$(inside)/filler"
waitfor '[ "$(copies "$(inside)")" = 1 ]' || fail "the copy was not written once there was room"
kill -9 "$run"; wait "$run" 2>/dev/null || true
rm -rf "$ZU_CONFIG_DIR" "$log"

# Read-only: the same message with its reason, and SIGTERM keeps the edits
# in the second place.
in_namespace ro
focus "$run"
xdotool type --delay 30 "abc"
waitfor 'grep -q "ｱｸｾｽは拒否されました" "$log" 2>/dev/null' || fail "a read-only folder was not reported: $(cat "$log" 2>&1)"
kill -TERM "$run"
status=0; wait "$run" || status=$?
[ "$status" = 0 ] && [ "$(copies "$second")" = 1 ] || fail "read-only: status $status, no copy in the second place"
rm -rf "$second" "$ZU_CONFIG_DIR" "$log"

# Neither place takes the copy: the edits are lost, and the exit status
# says so.
in_namespace ro ro
focus "$run"
xdotool type --delay 30 "abc"
waitfor 'grep -q "回復用ｺﾋﾟｰを書き込めません" "$log" 2>/dev/null' || fail "not reported"
kill -TERM "$run"
status=0; wait "$run" || status=$?
[ "$status" != 0 ] || fail "zu ended with status 0 having kept no copy"
grep -q "zu-recovery" "$work/stderr" || fail "nothing said on the terminal: $(cat "$work/stderr")"
echo "ok"
