#!/usr/bin/env bash
# Two figures of the recovery copies, measured on the real program in an X
# session of its own (Xvfb, typed at with xdotool), five trials each:
#
#  - how much typing a kill -9 at a random moment loses: zu is typed at
#    without a pause (numbered words, 25 ms a key), killed at a random moment
#    4 to 12 s in, and the copy it left is read back (zu_recovery_text). The
#    loss is the time from the end of the last word the copy holds to the
#    kill: an upper bound, a word typed in part counts as lost.
#  - what one keystroke in a 200 MB page costs: for the first keystroke
#    (which writes the copy's base) and for the next one, how many bytes the
#    copy grows by, how long until it is on disk, and the peak memory the
#    program reaches above what it held before the keystroke.
#
#   bench/recovery_trials.sh [BUILD_DIR [ZU]]
#
# BUILD_DIR defaults to build; ZU (the program measured) to BUILD_DIR/src/zu.
# The program's own settings apply (copies within a second of an edit).
set -euo pipefail
build="${1:-build}"
zu="$(realpath "${2:-$build/src/zu}")"
reader="$(realpath "$build/bench/zu_recovery_text")"
# The X session of the program's own tests (a display, scratch folders),
# with the program's own settings.
. "$(dirname "$0")/../tests/gui/x_session.sh"
unset ZU_RECOVERY_DELAY_MS ZU_MESSAGE_LOG

now() { date +%s.%N; }
calc() { awk "BEGIN { print $* }"; }
# Focuses the first visible window of process $1, waiting up to $2 s (a
# 200 MB page takes a while to open).
focus() {
    local win=""
    for _ in $(seq $((${2:-30} * 10))); do
        win=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | tail -n 1 || true)
        [ -n "$win" ] && break
        sleep 0.1
    done
    [ -n "$win" ] || { echo "no window"; exit 1; }
    sleep 0.3
    xdotool windowfocus --sync "$win"
}
copy() { ls "$ZU_CONFIG_DIR"/recovery/*.zurecover 2>/dev/null | head -n 1; }
status() { awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status"; }
# Waits until process $1 has used no processor time for a second.
idle() {
    local before after
    after="$(awk '{ print $14 + $15 }' "/proc/$1/stat")"
    while :; do
        sleep 1
        before="$after"
        after="$(awk '{ print $14 + $15 }' "/proc/$1/stat")"
        [ "$before" != "$after" ] || return 0
    done
}
# Waits until the copy is larger than $1 bytes and no temporary file is
# left (a copy being written anew); prints its size.
written() {
    local size
    for _ in $(seq 1200); do
        size="$(stat -c %s "$(copy)" 2>/dev/null || echo 0)"
        set -- "$1" "$ZU_CONFIG_DIR"/recovery/.[0-9]*
        if [ "$size" -gt "$1" ] && [ ! -e "$2" ]; then
            echo "$size"
            return
        fi
        sleep 0.05
    done
    echo "timeout"
}

echo "zu: $zu"
echo
echo "Typing lost to a kill -9 at a random moment (continuous typing, 25 ms a key):"
printf 'page\r\n' > "$work/page.htm"
for trial in 1 2 3 4 5; do
    rm -rf "$ZU_CONFIG_DIR" "$work/times"
    "$zu" "$work/page.htm" & run=$!; pids+=($run)
    focus "$run"
    start="$(now)"
    (
        i=0
        while :; do
            i=$((i + 1))
            xdotool type --delay 25 "$(printf 'w%04d ' "$i")"
            echo "$i $(now)" >> "$work/times"
        done
    ) & typer=$!
    sleep "$((4 + RANDOM % 9)).$((RANDOM % 10))"
    kill -9 "$run"
    killed="$(now)"
    kill "$typer" 2>/dev/null || true
    wait "$typer" 2>/dev/null || true
    wait "$run" 2>/dev/null || true
    last="$( { [ -n "$(copy)" ] && "$reader" "$(copy)" || true; } | grep -o 'w[0-9]\{4\} ' | tail -n 1 |
        tr -dc '0-9' | sed 's/^0*//' || true)"
    if [ -n "$last" ]; then
        kept="$(awk -v i="$last" '$1 == i { print $2 }' "$work/times")"
    else
        kept="$start"
    fi
    typed="$(wc -l < "$work/times")"
    printf '  trial %d: killed after %5.1f s of typing, %3d words typed, %3s kept: %.2f s lost\n' \
        "$trial" "$(calc "$killed - $start")" "$typed" "${last:-0}" "$(calc "$killed - $kept")"
done

echo
echo "One keystroke in a 200 MB page (lines of about 80 characters):"
awk 'BEGIN { line = "<p>text of a page, some words in a line of about eighty characters.</p>\r"
             for (i = 0; i < 2600000; i++) print line }' > "$work/large.htm"
printf '  %-7s %-13s %12s %9s %12s   %-13s %12s %9s %12s\n' "" "first key:" "copy grows" "written" \
    "peak memory" "next key:" "copy grows" "written" "peak memory"
for trial in 1 2 3 4 5; do
    rm -rf "$ZU_CONFIG_DIR"
    "$zu" "$work/large.htm" & run=$!; pids+=($run)
    focus "$run" 120
    idle "$run"
    line=""
    size=0
    for key in a b; do
        held="$(status "$run" VmRSS)"
        echo 5 > "/proc/$run/clear_refs" # the peak starts again from here
        t0="$(now)"
        xdotool type "$key"
        grown="$(written "$size")"
        t1="$(now)"
        peak="$(status "$run" VmHWM)"
        [ "$grown" = timeout ] && { line="$line (no copy within a minute)"; break; }
        line="$line$(printf '%13s %12s %7.2f s %+9.1f MB   ' "" \
            "$(numfmt --to=iec-i --suffix=B "$((grown - size))")" "$(calc "$t1 - $t0")" \
            "$(calc "($peak - $held) / 1024")")"
        size="$grown"
    done
    kill -9 "$run"; wait "$run" 2>/dev/null || true
    printf '  trial %d%s\n' "$trial" "$line"
done
