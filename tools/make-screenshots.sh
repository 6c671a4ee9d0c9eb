#!/bin/sh
# Makes the README's screenshots of the five tabs, each fed by the simulated
# board, into docs/screenshots/ (cropped to the program's window), and two of
# the status bar below the oscilloscope.
#
# Usage: tools/make-screenshots.sh [BUILD_DIR]
#
# BUILD_DIR (default build/) must hold the program and the simulator. Needs
# what tools/screenshot-tab.sh needs: xvfb, xauth, xdotool, imagemagick, socat
# and fonts-wqy-microhei.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
out=$top/docs/screenshots
export PROGRAM="$build/software/smartcar-debug-assistant"
export SIM="$build/tools/boardsim/smartcar-board-sim"
for f in "$PROGRAM" "$SIM"; do
    [ -x "$f" ] || { echo "$0: $f is missing; build the project first" >&2; exit 1; }
done
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
raw=$tmp/screen.png
# Where the recording and the picture series of the shots below write.
export SAVE_DIR="$tmp"

# shot NAME TAB SECONDS FEED: the feed runs with $PORT set to the board's end.
# Positions clicked by the feeds are those of the window at 0,0 (its minimum
# size, 1000 x 550), as tools/screenshot-tab.sh places it.
shot() {
    name=$1 tab=$2 wait_s=$3 feed=$4
    "$top/tools/screenshot-tab.sh" "$raw" "$tab" "$wait_s" sh -c "$feed" >/dev/null 2>&1
    convert "$raw" -crop 1000x550+0+0 +repage -strip "$out/$name.png"
    echo "$out/$name.png"
}

# The terminal with 文本显示 chosen, so the board's Chinese shows as text.
shot terminal 0 5 \
    'xdotool mousemove 876 151 click 1 mousemove 1200 700; exec "$SIM" text --seed 1 --port "$PORT"'
# The send side: a command sent, another one sent every second with \r\n
# after it, and the editor's context menu open at its history.
shot terminal-send 0 9 \
    'xdotool mousemove 876 151 click 1; "$SIM" text --seed 1 --port "$PORT" & sleep 0.5; xdotool mousemove 500 420 click 1 type "PID 1.5 0.2"; xdotool mousemove 920 480 click 1; sleep 0.3; xdotool mousemove 941 295 click 1; sleep 0.5; xdotool key Down Return; xdotool mousemove 500 420 click 1 key ctrl+a type "speed?"; xdotool mousemove 882 321 click 1; sleep 1; xdotool mousemove 300 300 click 3; sleep 0.5; xdotool key Up Right; wait'
# 时间戳 ticked and 文本显示 chosen: each line starts with the time it arrived.
shot terminal-timestamps 0 5 \
    'xdotool mousemove 882 128 click 1 mousemove 876 153 click 1 mousemove 1200 700; exec "$SIM" text --seed 1 --port "$PORT"'
# CH2..CH4 switched on with their buttons; at 2000 frames a second the screen
# (5000 samples at 500 per division) fills in two and a half seconds.
shot oscilloscope 1 4 \
    'xdotool mousemove 838 126 click 1 mousemove 838 162 click 1 mousemove 838 198 click 1 mousemove 1200 700; exec "$SIM" scope --seed 1 --rate 2000 --amplitude 30000,14000,24000,6000 --port "$PORT"'
convert "$raw" -crop 1000x30+0+520 +repage -strip "$out/status-bar.png"
echo "$out/status-bar.png"
# Its right part, with the oscilloscope's frame health.
convert "$raw" -crop 600x30+400+520 +repage -strip "$out/status-bar-frames.png"
echo "$out/status-bar-frames.png"
shot linear-ccd 2 3 'exec "$SIM" ccd --seed 1 --port "$PORT"'
shot camera 3 3 'exec "$SIM" camera --seed 1 --port "$PORT"'

# The camera tab proposing the size of 188 x 120 pictures at 2000000 baud,
# then showing JPEG pictures led by a binary header once 帧头 is chosen.
proposal() {
    name=$1 args=$2 tabs=$3
    PROGRAM_ARGS="$args --baud 2000000" TAB_X="$tabs" "$top/tools/screenshot-tab.sh" "$raw" 3 5 \
        sh -c 'exec "$SIM" camera --width 188 --height 120 --seed 1 --port "$PORT"' >/dev/null 2>&1
    convert "$raw" -crop 1000x550+0+0 +repage -strip "$out/$name.png"
    echo "$out/$name.png"
}
proposal high-speed-proposal "" "192 255 317 380 433"
proposal high-speed-proposal-en "--lang en" "190 268 350 421 482"
PROGRAM_ARGS="--baud 2000000" "$top/tools/screenshot-tab.sh" "$raw" 3 5 sh -c \
    'xdotool mousemove 928 379 click 1; sleep 0.5; xdotool key Down Return mousemove 1200 700; exec "$SIM" camera --framing header-binary --jpeg --width 188 --height 120 --seed 1 --port "$PORT"' \
    >/dev/null 2>&1
convert "$raw" -crop 1000x550+0+0 +repage -strip "$out/high-speed-header.png"
echo "$out/high-speed-header.png"

# The plotter in each framing, picked by 自动.
for framing in firewater justfloat teleplot plain; do
    shot "plotter-$framing" 4 5 "exec \"\$SIM\" plot --framing $framing --seed 1 --rate 200 --port \"\$PORT\""
done

# The tabs in English, fed as above.
english() {
    export PROGRAM_ARGS="--lang en" TAB_X="190 268 350 421 482"
    shot "$@"
    unset PROGRAM_ARGS TAB_X
}
english terminal-en 0 5 \
    'xdotool mousemove 846 153 click 1 mousemove 1200 700; exec "$SIM" text --seed 1 --port "$PORT"'
english oscilloscope-en 1 4 \
    'xdotool mousemove 838 126 click 1 mousemove 838 162 click 1 mousemove 838 198 click 1 mousemove 1200 700; exec "$SIM" scope --seed 1 --rate 2000 --amplitude 30000,14000,24000,6000 --port "$PORT"'
english linear-ccd-en 2 3 'exec "$SIM" ccd --seed 1 --port "$PORT"'
english camera-en 3 3 'exec "$SIM" camera --seed 1 --port "$PORT"'
for framing in firewater justfloat teleplot plain; do
    english "plotter-$framing-en" 4 5 "exec \"\$SIM\" plot --framing $framing --seed 1 --rate 200 --port \"\$PORT\""
done

# The status bar's language menu, opened by a click on the globe.
shot language-menu 1 3 'xdotool mousemove 964 537 click 1; sleep 10'
convert "$raw" -crop 420x110+580+440 +repage -strip "$out/language-menu.png"
echo "$out/language-menu.png"

# The oscilloscope paused by a click and the space bar, with the mouse's
# read-out; then the same with the screen's context menu open.
scope_feed='xdotool mousemove 838 126 click 1 mousemove 838 162 click 1 mousemove 838 198 click 1 mousemove 1200 700; "$SIM" scope --seed 1 --rate 2000 --amplitude 30000,14000,24000,6000 --port "$PORT" & sleep 3.5; xdotool mousemove 420 300 click 1 key space'
shot oscilloscope-paused 1 6 "$scope_feed mousemove 560 250; wait"
shot oscilloscope-menu 1 6 "$scope_feed click 3; wait"
# Recording switched on by its button (the file named in the save dialog),
# then the plot's context menu.
shot linear-ccd-recording 2 6 \
    '"$SIM" ccd --seed 1 --port "$PORT" & sleep 1; xdotool mousemove 197 499 click 1; sleep 1; xdotool key ctrl+a type "$SAVE_DIR/ccd-record.csv"; xdotool key Return; sleep 2.5; xdotool mousemove 600 250 click 3; wait'
# The picture series switched on (the folder named in its dialog), then the
# picture's context menu.
shot camera-series 3 6 \
    '"$SIM" camera --seed 1 --port "$PORT" & sleep 1; xdotool mousemove 949 473 click 1; sleep 1; xdotool key ctrl+a type "$SAVE_DIR"; xdotool key Return; sleep 2.5; xdotool mousemove 300 200 click 3; wait'

# A camera run recorded with 录制 (the file named in its save dialog) before
# the board starts, the port closed, which ends the recording, the counters
# zeroed by a click on their right end so that the status bar's parts are
# back in their places, and the recording played back with 回放 (the file
# named in its open dialog): the shot is taken halfway through.
shot replay 3 13 \
    'xdotool mousemove 338 537 click 1; sleep 1; xdotool key ctrl+a type "$SAVE_DIR/run.cap"; xdotool key Return; sleep 0.5; "$SIM" camera --seed 1 --port "$PORT" & sleep 6; xdotool mousemove 81 250 click 1; sleep 0.5; xdotool mousemove 806 537 click 1; sleep 0.5; xdotool mousemove 380 537 click 1; sleep 1; xdotool key ctrl+a type "$SAVE_DIR/run.cap"; xdotool key Return; xdotool mousemove 1200 700; wait'

# The tuning panel 调参 with the sample set, shown by its button in the status
# bar beside the oscilloscope; then its editor, opened by its first button.
# The panel floats at the screen's right edge, so the shots are wider.
tuning() {
    name=$1 button_x=$2 lang=$3 tabs=$4
    PROGRAM_ARGS="$lang --params $top/docs/examples/speed-pid.json" TAB_X="$tabs" \
        "$top/tools/screenshot-tab.sh" "$raw" 1 5 sh -c \
        "xdotool mousemove $button_x 537 click 1 mousemove 1200 700; exec \"\$SIM\" scope --seed 1 --rate 2000 --amplitude 30000 --port \"\$PORT\"" \
        >/dev/null 2>&1
    convert "$raw" -crop 1280x550+0+0 +repage -strip "$out/$name.png"
    echo "$out/$name.png"
    PROGRAM_ARGS="$lang --params $top/docs/examples/speed-pid.json" TAB_X="$tabs" \
        "$top/tools/screenshot-tab.sh" "$raw" 1 4 sh -c \
        "xdotool mousemove $button_x 537 click 1; sleep 1; xdotool mousemove 1030 38 click 1; sleep 10" \
        >/dev/null 2>&1
    convert "$raw" -crop 1280x550+0+0 +repage -strip "$out/$name-editor.png"
    echo "$out/$name-editor.png"
}
tuning tuning 928 "" "192 255 317 380"
tuning tuning-en 922 "--lang en" "190 268 350 421"

# The panel beside the plotter, fed by the simulator's speed loop: kp is set
# to 0.3 in the panel's number box after 5 s, and the next steps overshoot.
tuning_plotter() {
    name=$1 button_x=$2 lang=$3 tabs=$4
    PROGRAM_ARGS="$lang --params $top/docs/examples/speed-pid.json" TAB_X="$tabs" \
        "$top/tools/screenshot-tab.sh" "$raw" 4 12 sh -c \
        "xdotool mousemove $button_x 537 click 1 mousemove 1200 700; (sleep 5; xdotool mousemove 1237 68 click 1 key ctrl+a type 0.3; xdotool key Return mousemove 1200 700) & exec \"\$SIM\" plot --framing teleplot --seed 1 --port \"\$PORT\"" \
        >/dev/null 2>&1
    convert "$raw" -crop 1280x550+0+0 +repage -strip "$out/$name.png"
    echo "$out/$name.png"
}
tuning_plotter tuning-plotter 928 "" "192 255 317 380 433"
tuning_plotter tuning-plotter-en 922 "--lang en" "190 268 350 421 482"

# The trigger: the oscilloscope with CH2 on by its button, the trigger switched
# on and CH2 chosen as its source (rising at 2.5 V, 自动), a 3 Hz square wave
# standing still; then the plotter fed at 400 lines a second, triggered by
# target rising through 1.5 in 常规, holding the sweep of a step.
scope_trigger='xdotool mousemove 838 126 click 1 mousemove 714 267 click 1 mousemove 783 292 click 1; sleep 0.5; xdotool key Down Return mousemove 1200 700; exec "$SIM" scope --seed 1 --rate 2000 --freq 1,3,2,20 --amplitude 30000,14000,24000,6000 --port "$PORT"'
plot_trigger='"$SIM" plot --framing teleplot --seed 1 --rate 400 --port "$PORT" & sleep 1; xdotool mousemove 770 306 click 1 mousemove 835 331 click 1; sleep 0.4; xdotool key Down Return; xdotool mousemove 835 355 click 1; sleep 0.4; xdotool key Down Return; xdotool mousemove 865 379 click --repeat 3 1 type 1.5; xdotool key Return mousemove 400 250 click 1 mousemove 1200 700; wait'
shot trigger-scope 1 5 "$scope_trigger"
shot trigger-plotter 4 9 "$plot_trigger"
english trigger-scope-en 1 5 "$scope_trigger"
english trigger-plotter-en 4 9 "$plot_trigger"
# The plotter's spectrum of the noisy sensor alone (CH4 in FireWater): the
# other channels unticked in the legend, 频谱 chosen in the view box and 2048
# points, whose 10 s fill before the shot; the mouse on the 13 Hz line.
spectrum_feed() {
    echo "\"\$SIM\" plot --framing firewater --seed 1 --rate 200 --port \"\$PORT\" & sleep 1.5; xdotool mousemove 773 111 click 1 mousemove 773 127 click 1 mousemove 773 143 click 1 mousemove $1 68 click 1; sleep 0.5; xdotool key Down Return; sleep 0.5; xdotool mousemove $2 95 click 1; sleep 0.5; xdotool key Up Return mousemove 268 250; wait"
}
shot plotter-spectrum 4 16 "$(spectrum_feed 447 220)"
english plotter-spectrum-en 4 16 "$(spectrum_feed 480 235)"
