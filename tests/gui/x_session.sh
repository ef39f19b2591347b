# Sourced by the tests that run the program in a real X session of their
# own (Xvfb), typed at with xdotool. Sets up $work (removed at the end), the
# scratch desktop folders, a display, and the helpers below. Exits 77
# (skipped) when Xvfb or xdotool is missing.
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
. "$(dirname "${BASH_SOURCE[0]}")/x_display.sh"

fail() {
    echo "FAIL: $*"
    ls -la "$ZU_CONFIG_DIR/recovery" 2>&1
    for p in "${pids[@]}"; do
        ps -o pid=,stat=,args= -p "$p" 2>/dev/null || true
        xdotool search --pid "$p" getwindowname %@ 2>/dev/null || true
    done
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
# How many visible windows process $1 shows.
windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l; }
# The recovery copies in folder $1 (the recovery folder when not given).
copies() { ls "${1:-$ZU_CONFIG_DIR/recovery}"/*.zurecover 2>/dev/null | wc -l; }
# Types $2 into process $1 until a copy in folder $3 shows the typing
# arrived: a window shown is not yet a window that takes keys, so the typing
# is tried again (at most twice more).
type_until_copy() {
    for _ in 1 2 3; do
        focus "$1"
        xdotool type --delay 30 "$2"
        if waitfor '[ "$(copies "${3:-}")" -ge 1 ]'; then return 0; fi
    done
    fail "no recovery copy after typing"
}
