#!/bin/sh
# Runs the program as a user would from a shell or a file manager:
#   - "zu /pt FILE OUT.pdf" prints FILE to a PDF file and ends with success,
#     touching no settings;
#   - every start registers zu with the desktop, and "--unregister" takes the
#     registration back;
#   - while a zu runs, "zu FILE" hands FILE to it and ends; "zu -n FILE"
#     starts a zu of its own.
#   - "zu --check FILE..." prints the page check's findings with no window;
#   - what cannot be opened (a missing file, a folder, a FIFO, a device) gets
#     its message and zu ends; a zu.set or zu.conf that is no file is left
#     alone; a file-size limit does not kill zu.
#   - the socket that hands files over is in a folder only the user can
#     enter, and both ends refuse a process of another user;
#   - zu.conf, which lists the user's files, is the owner's alone whatever
#     the umask, and one larger than 1 MB is not read.
# The desktop folders and the runtime folder are scratch folders: the user's
# own are never touched. Message boxes go to a log (ZU_MESSAGE_LOG) and are
# answered as Escape would, so that each run ends by itself; a run that
# blocks is ended by timeout and fails.
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

export ZU_CONFIG_DIR="$work/config"
export XDG_DATA_HOME="$work/data"
export XDG_CONFIG_HOME="$work/xdg-config"
export XDG_RUNTIME_DIR="$work/runtime"
export XDG_DATA_DIRS="$work/system"
export XDG_CONFIG_DIRS="$work/etc"
unset XDG_CURRENT_DESKTOP BROWSER
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

log="$work/messages"
export ZU_MESSAGE_LOG="$log"
fail() {
    echo "FAIL: $*"
    exit 1
}

# "zu /pt FILE OUT.pdf" prints FILE to a PDF file and ends with success,
# touching no settings. Japanese text in Shift_JIS: "<p>日本語</p>".
printf '<p>\223\372\226\173\214\352</p>\r\n' > "$work/page.htm"
timeout 30 "$zu" /pt "$work/page.htm" "$work/page.pdf"
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
# Made absolute from the bytes of a current folder whose name is not UTF-8
# ("日本" in Shift_JIS, as an old archive makes it).
sjis="$work/$(printf '\223\372\226\173')"
mkdir "$sjis" && printf 'sjis' > "$sjis/sjis.htm"
(cd "$sjis" && ZU_CONFIG_DIR="$work/other" timeout 10 "$zu" sjis.htm) ||
    fail "the second zu did not hand over a file from a folder not named in UTF-8"
within 'grep -q "sjis.htm" "$work/config/zu.conf" 2>/dev/null' ||
    fail "the first zu did not open the file handed over from a folder not named in UTF-8"

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

# Where a level of the desktop's lists already names a default for web
# pages (here the distribution's), zu installs its entry and leaves the
# default alone; --unregister then has no default to take back.
mkdir -p "$XDG_DATA_DIRS/applications"
printf '[Desktop Entry]\nType=Application\nName=Bluefish\nExec=true %%F\nMimeType=text/html;\n' \
    > "$XDG_DATA_DIRS/applications/bluefish.desktop"
printf '[Default Applications]\ntext/html=bluefish.desktop;\n' \
    > "$XDG_DATA_DIRS/applications/mimeapps.list"
cp "$mimeapps" "$work/mimeapps.before"
timeout 30 "$zu" /pt "$work/page.htm" "$work/again.pdf" || fail "zu /pt failed"
[ -f "$entry" ] || fail "no desktop entry beside a system default"
cmp -s "$mimeapps" "$work/mimeapps.before" || fail "zu changed the user's list over a system default"
timeout 10 "$zu" --unregister || fail "--unregister failed"
cmp -s "$mimeapps" "$work/mimeapps.before" || fail "--unregister changed a list zu had not written"
rm -rf "$XDG_DATA_DIRS"

# Questions answered on the terminal, with no display at all: the usage,
# the version, and a switch zu does not know (status 2, usage on stderr).
QT_QPA_PLATFORM=xcb timeout 10 "$zu" --help > "$work/usage" || fail "zu --help did not end with 0"
grep -q -- '--new-instance' "$work/usage" || fail "zu --help printed no usage"
QT_QPA_PLATFORM=xcb timeout 10 "$zu" -V > "$work/version" || fail "zu -V did not end with 0"
grep -qx 'zu [0-9][0-9.]*' "$work/version" || fail "zu -V printed: $(cat "$work/version")"
status=0
QT_QPA_PLATFORM=xcb timeout 10 "$zu" --frobnicate 2> "$work/usage" > /dev/null || status=$?
[ "$status" = 2 ] || fail "an unknown switch ended with status $status"
grep -q -- '--frobnicate' "$work/usage" && grep -q -- '--help' "$work/usage" ||
    fail "an unknown switch was not named with the usage"
# After "--" a name that looks like a switch is a file.
cp "$work/page.htm" "$work/--help"
(cd "$work" && timeout 30 "$zu" /pt -- --help "$work/dashes.pdf") || fail "zu /pt -- --help failed"
head -c 4 "$work/dashes.pdf" | grep -q '%PDF' || fail "the file named --help was not printed"

# "zu --check" prints its findings and ends with their status, without a
# window: with no display and no platform named, a window could not even
# be made. It registers nothing.
rm -f "$entry"
printf '<img src="a.gif">\r\n' > "$work/bad.htm"
printf '<p>\223\372\226\173\214\352</p>\r\n' > "$work/good.htm"
status=0
said="$(env -u QT_QPA_PLATFORM timeout 10 "$zu" --check "$work/good.htm" "$work/bad.htm")" ||
    status=$?
[ "$status" = 1 ] || fail "zu --check ended with status $status"
[ "$said" = "$work/bad.htm:1:1: 問題あり: <img> に alt 属性がありません。" ] ||
    fail "zu --check said: $said"
env -u QT_QPA_PLATFORM timeout 10 "$zu" --check "$work/good.htm" ||
    fail "zu --check failed on a page without problems"
[ ! -e "$entry" ] || fail "zu --check registered zu with the desktop"

# From here on each zu must open its file itself: none may be running to
# take it over.
for pid in $pids; do kill "$pid" 2>/dev/null || true; done
wait 2>/dev/null || true
pids=""

# A file whose name is not UTF-8 ("日本.htm" in Shift_JIS bytes, as an old
# archive writes it) is found by its bytes.
sjis="$work/$(printf '\223\372\226\173.htm')"
cp "$work/page.htm" "$sjis"
timeout 30 "$zu" /pt "$sjis" "$work/sjis.pdf" || fail "zu /pt on a Shift_JIS name said: $(cat "$log")"
head -c 4 "$work/sjis.pdf" | grep -q '%PDF' || fail "a Shift_JIS file name was not opened"

# What cannot be opened: a message, then zu ends (it has no document to
# show) with status 1. A FIFO or a device is never opened, so nothing waits
# for a writer and /dev/zero is not read for ever.
refused() { # FILE MESSAGE [COMMAND PREFIX...]
    file="$1"
    message="$2"
    shift 2
    : > "$log"
    chmod 666 "$log"
    status=0
    "$@" timeout 30 "$zu" "$file" || status=$?
    [ "$status" = 1 ] || fail "zu $file ended with status $status"
    grep -qF "$message" "$log" || fail "zu $file said: $(cat "$log")"
}
mkfifo "$work/fifo.htm"
mkdir "$work/folder.htm"
other="ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"
refused "$work/missing.htm" "$work/missing.htm が見つかりません。"
refused "$work/folder.htm" "$work/folder.htm は無効なﾊﾟｽです。"
refused "$work/fifo.htm" "$other"
refused /dev/null "$other"
refused /dev/zero "$other"
refused /proc/self/mem "$other" # a file that not even root can read

# A file the user may not read, as an ordinary user (root reads anything).
if [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null; then
    printf 'secret' > "$work/private.htm"
    chmod 600 "$work/private.htm"
    chmod 755 "$work"
    mkdir -m 777 "$work/nobody"
    ZU_CONFIG_DIR="$work/nobody" HOME="$work/nobody" refused "$work/private.htm" \
        "$work/private.htm へのｱｸｾｽは拒否されました。" \
        setpriv --reuid=65534 --regid=65534 --clear-groups
else
    echo "skipped: an unreadable file needs root and setpriv to run as another user"
fi

# A zu.set that is a FIFO or a folder: the start neither blocks nor fails,
# and the name is left as it was.
rm -rf "$work/config"
mkdir "$work/config"
mkfifo "$work/config/zu.set"
refused "$work/missing.htm" "が見つかりません。"
[ -p "$work/config/zu.set" ] || fail "the FIFO named zu.set was replaced"
rm "$work/config/zu.set"
mkdir "$work/config/zu.set"
refused "$work/missing.htm" "が見つかりません。"
[ -d "$work/config/zu.set" ] || fail "the folder named zu.set was replaced"
# The same for the profile that holds the recent files.
rm -f "$work/config/zu.conf"
mkfifo "$work/config/zu.conf"
refused "$work/missing.htm" "が見つかりません。"
[ -p "$work/config/zu.conf" ] || fail "the FIFO named zu.conf was replaced"

# A file-size limit: writing zu.set at the end of the run goes past it. zu
# must not be killed by SIGXFSZ (status 153); the write fails and zu ends
# as it would have. The signal is put back to its default first, so that
# nothing but zu itself can be what ignores it; the messages go to a pipe,
# which no file-size limit applies to.
rm -rf "$work/config"
default_xfsz=""
if env --default-signal=XFSZ true 2> /dev/null; then
    default_xfsz="env --default-signal=XFSZ"
fi
status=0
said="$(
    ulimit -f 0
    ZU_MESSAGE_LOG=/dev/stdout exec $default_xfsz timeout 30 "$zu" "$work/missing.htm"
)" || status=$?
[ "$status" = 1 ] || fail "under a file-size limit zu ended with status $status"
echo "$said" | grep -qF "が見つかりません。" || fail "under a file-size limit zu said: $said"
[ -f "$work/config/zu.set" ] && [ ! -s "$work/config/zu.set" ] ||
    fail "zu.set should be left as the start made it, empty"
[ -z "$(find "$work/config" -name '.zu.set.zu-*')" ] || fail "a temporary file was left"

# zu.conf lists the files the user opened: readable by the owner alone,
# whatever the umask, and made so again when someone loosened it.
rm -rf "$work/config"
(
    umask 000
    exec "$zu" -n "$work/page.htm"
) & pids="$pids $!"; profiled=$!
within 'grep -q "page.htm" "$work/config/zu.conf" 2>/dev/null' || fail "zu.conf was not written"
[ "$(stat -c %a "$work/config/zu.conf")" = 600 ] ||
    fail "under umask 000 zu.conf is $(stat -c %a "$work/config/zu.conf")"
kill "$profiled"; wait "$profiled" 2>/dev/null || true
chmod 644 "$work/config/zu.conf"
refused "$work/missing.htm" "が見つかりません。"
[ "$(stat -c %a "$work/config/zu.conf")" = 600 ] || fail "a zu.conf made readable stayed so"

# A zu.conf far too large for a list of ten files is not read (it would
# take seconds and gigabytes), and left as it is.
truncate -s 2G "$work/config/zu.conf"
refused "$work/missing.htm" "zu.conf は 1 MB を超えているため読み込みません。"
[ "$(stat -c %s "$work/config/zu.conf")" = 2147483648 ] || fail "the large zu.conf was changed"
rm -f "$work/config/zu.conf"

# The socket through which a zu hands its files to a running one: in a
# folder only the user can enter, and only between processes of the same
# user. Another user who made the places first, or whose process reaches
# the socket, hears no file names and gets none opened.
if [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null && command -v socat > /dev/null; then
    stranger="setpriv --reuid=65534 --regid=65534 --clear-groups"
    shared="$work/shared"
    mkdir -m 1777 "$shared" # a temporary folder as /tmp is
    heard="$shared/heard"
    : > "$heard"
    chmod 666 "$heard"
    chmod 755 "$work"
    printf 'private' > "$work/secret.htm"
    listen() { # SOCKET: a stranger's process listens there and keeps what it hears
        socket="$1"
        $stranger socat -u UNIX-LISTEN:"$socket",fork,mode=777 OPEN:"$heard",append &
        pids="$pids $!"
        within '[ -S "$socket" ]' || fail "the stranger could not listen at $socket"
    }
    # Starts zu on secret.htm with its own config folder $1 and the rest of
    # the environment after it; it must open the file itself.
    opens_itself() {
        config="$1"
        shift
        env "$@" ZU_CONFIG_DIR="$config" "$zu" "$work/secret.htm" & pids="$pids $!"
        within 'grep -q "secret.htm" "$config/zu.conf" 2>/dev/null' ||
            fail "zu did not open its file itself ($*)"
        [ ! -s "$heard" ] || fail "a stranger heard the names of the user's files ($*)"
    }

    # No runtime folder: the stranger made the temporary folder's places
    # first, the socket an earlier zu used and the folder of this one.
    $stranger mkdir -m 777 "$shared/zu-0"
    listen "$shared/0-zu.socket"
    listen "$shared/zu-0/zu.socket"
    opens_itself "$work/alone" -u XDG_RUNTIME_DIR TMPDIR="$shared"

    # The user's own runtime folder, but the socket in it is a stranger's
    # (made while the folder was open): the user at the other end tells.
    mkdir -m 777 "$work/rt"
    listen "$work/rt/zu.socket"
    chmod 700 "$work/rt"
    opens_itself "$work/peer" XDG_RUNTIME_DIR="$work/rt"

    # The other end: a zu serves, and a stranger's process reaches its
    # socket (the user opened the folder) with a request.
    mkdir -m 700 "$work/rt2"
    XDG_RUNTIME_DIR="$work/rt2" ZU_CONFIG_DIR="$work/server" "$zu" & pids="$pids $!"
    within '[ -S "$work/rt2/zu.socket" ]' || fail "zu did not serve"
    chmod 777 "$work/rt2" "$work/rt2/zu.socket"
    printf 'zu-open-1\0%s\0\0' "$work/secret.htm" |
        $stranger timeout 5 socat -t 2 - UNIX-CONNECT:"$work/rt2/zu.socket" > "$work/answer" || true
    sleep 1
    [ ! -s "$work/answer" ] || fail "zu answered a stranger: $(cat "$work/answer")"
    ! grep -q "secret.htm" "$work/server/zu.conf" 2>/dev/null || fail "zu opened a stranger's file"
else
    echo "skipped: a stranger's socket needs root, setpriv and socat"
fi
echo "ok"
