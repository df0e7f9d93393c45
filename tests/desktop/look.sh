#!/usr/bin/env bash
# The real program on an X server of its own, with or without a window
# manager: where its message box stands, and its end when another client
# destroys its window. Usage: look.sh APP CASE
#   box-centred-bare      the out-of-range box on a bare 1280 x 1024 screen
#   box-centred-openbox   the same under openbox
#   destroyed-from-outside  XDestroyWindow on the main window ends it with 0
set -uo pipefail
APP=$1 CASE=$2
TITLE="速さの比べ方"

fail() { echo "FAIL: $*"; exit 1; }
for tool in Xvfb xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
cleanup() {
    [[ -n "${APP_PID:-}" ]] && kill "$APP_PID" 2>/dev/null
    [[ -n "${WM_PID:-}" ]] && kill "$WM_PID" 2>/dev/null
    [[ -n "${XVFB_PID:-}" ]] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
XVFB_PID=$!
read -r -t 10 n <"$fifo" || fail "Xvfb did not start"
rm -f "$fifo"
export DISPLAY=":$n"

if [[ "$CASE" == *openbox ]]; then
    command -v openbox >/dev/null || { echo "SKIP: openbox is not installed"; exit 77; }
    openbox >/dev/null 2>&1 &
    WM_PID=$!
    for i in $(seq 1 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
fi

# The program's viewable windows, smallest last: the main window, then a box.
windows() { xdotool search --onlyvisible --name "^${TITLE}\$" 2>/dev/null; }
# x y width height of a window's client area on the screen.
client() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /^  Width/{w=$NF} /^  Height/{h=$NF} END{print x, y, w, h}'
}
# x y width height of a window with the frame a window manager gave it.
outer() {
    local x y w h l=0 r=0 t=0 b=0 e
    read -r x y w h <<<"$(client "$1")"
    e=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -o '[0-9, ]*$')
    [[ -n "$e" ]] && IFS=', ' read -r l r t b <<<"$e"
    echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}

"$APP" >/dev/null 2>&1 &
APP_PID=$!
for i in $(seq 1 100); do
    MAIN=$(windows | head -1)
    [[ -n "$MAIN" ]] && break
    sleep 0.1
done
[[ -n "$MAIN" ]] || fail "the window did not appear"
sleep 1.5 # framed and placed
read -r WX WY _ _ <<<"$(client "$MAIN")"
click() { xdotool mousemove --sync $((WX + $1)) $((WY + $2)) click 1; sleep 0.2; }
type_text() { xdotool type --delay 80 "$1"; sleep 0.2; }

case "$CASE" in
box-centred-*)
    # Runner 1 covers 1000 m in 10 s; aligned to 11 s it would run 1100 m.
    click 110 86; type_text 1000; xdotool key Escape
    click 110 134; type_text 10; xdotool key Escape
    click 756 84
    sleep 6 # the race: 200 ticks
    click 96 412 # 確かめよう！
    click 30 472; xdotool key Down Down Escape # 時間
    click 150 472; type_text 11
    for i in $(seq 1 30); do
        [[ $(windows | wc -l) == 2 ]] && break
        sleep 0.1
    done
    [[ $(windows | wc -l) == 2 ]] || fail "no message box"
    BOX=$(windows | grep -vx "$MAIN" | head -1)
    sleep 1.5 # framed, and centred again with its frame
    read -r x y w h <<<"$(outer "$BOX")"
    dx=$((2 * x + w - 1280)) dy=$((2 * y + h - 1024)) # twice the offset from the centre
    echo "box with its frame: $x $y $w $h"
    ((dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2)) ||
        fail "the box's centre is $((dx / 2)), $((dy / 2)) px from the screen's centre"
    ;;
destroyed-from-outside)
    xdotool windowclose "$MAIN"
    for i in $(seq 1 100); do
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$APP_PID" 2>/dev/null && fail "the program runs on without its window"
    wait "$APP_PID"
    rc=$?
    APP_PID=
    [[ $rc == 0 ]] || fail "exit code $rc"
    ;;
*)
    echo "unknown case $CASE"
    exit 2
    ;;
esac
echo "PASS: $CASE"
