# Sourced by the tests that need an X display of their own; needs $work
# (a scratch folder) and the array pids (processes to end at exit).
#
# Xvfb picks a free number itself (-displayfd): other
# tests started at the same moment would otherwise pick the same one, and
# one of them would talk to the other's server, which ends under it. The
# number is written once the server listens; under load that can take many
# seconds, and zu started before then would only say it cannot reach it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
display=""
for _ in $(seq 300); do
    display="$(cat "$work/display" 2>/dev/null)"
    if [ -n "$display" ] && DISPLAY=":$display" xdotool getmouselocation >/dev/null 2>&1; then break; fi
    display=""
    sleep 0.1
done
[ -n "$display" ] || { echo "FAIL: Xvfb did not answer within 30 s"; exit 1; }
export DISPLAY=":$display"
