#!/bin/sh
# Takes a screenshot of one tab of the program, fed over a virtual serial port.
#
# Usage: tools/screenshot-tab.sh OUT.png TAB SECONDS FEED_COMMAND [ARGS...]
#
# Starts a socat port pair and the program under a private Xvfb display, types
# one end into the port list, opens it and selects tab TAB (0 terminal,
# 1 oscilloscope, 2 linear CCD, 3 camera, 4 plotter). Then runs FEED_COMMAND with the
# environment variable PORT set to the other end, waits SECONDS and saves a
# PNG of the screen. Needs xvfb, xauth, xdotool, imagemagick, socat and
# fonts-wqy-microhei; expects the program built in build/. PROGRAM_ARGS are
# passed to the program (--lang en for the English window); TAB_X lists the
# tabs' positions when their titles are not the Chinese ones.
set -eu
[ $# -ge 4 ] || { echo "usage: $0 OUT.png TAB SECONDS FEED_COMMAND [ARGS...]" >&2; exit 2; }
out=$1 tab=$2 wait_s=$3
shift 3
top=$(cd "$(dirname "$0")/.." && pwd)
program=${PROGRAM:-$top/build/software/smartcar-debug-assistant}

tmp=$(mktemp -d)
disp=:$((90 + $(od -An -N2 -tu2 /dev/urandom) % 400))
cleanup() {
    kill "$feed" "$app" "$socat" "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
feed="" app="" socat="" xvfb=""
trap cleanup EXIT

socat pty,raw,echo=0,link="$tmp/app" pty,raw,echo=0,link="$tmp/board" &
socat=$!
Xvfb "$disp" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
# Settings of its own, so that the program starts as a new user sees it
# whatever it remembers for the one running this.
# shellcheck disable=SC2086 # one word per argument
XDG_CONFIG_HOME=$tmp/config DISPLAY=$disp QT_QPA_PLATFORM=xcb "$program" ${PROGRAM_ARGS:-} >/dev/null 2>&1 &
app=$!
sleep 2

# Positions of the serial panel and the tab bar in the window at 0,0.
export DISPLAY=$disp
xdotool mousemove 95 61 click 3 >/dev/null 2>&1 || true
xdotool key Escape
xdotool mousemove 95 61 click 1
xdotool key ctrl+a
xdotool type "$tmp/app"
xdotool mousemove 81 250 click 1
sleep 0.5
case "$tab" in
[0-4]) ;;
*) echo "$0: TAB must be 0..4" >&2; exit 2 ;;
esac
# shellcheck disable=SC2086 # the list's words
set -- ${TAB_X:-192 255 317 380 433} -- "$@"
shift "$tab"
x=$1
while [ "$1" != "--" ]; do shift; done
shift
xdotool mousemove "$x" 44 click 1
xdotool mousemove 1200 700
sleep 0.5

PORT=$tmp/board "$@" &
feed=$!
sleep "$wait_s"
kill -0 "$app" 2>/dev/null || { echo "$0: the program exited before the screenshot" >&2; exit 1; }
import -window root "$out"
echo "saved $out"
