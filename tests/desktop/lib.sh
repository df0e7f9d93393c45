# Helpers for driving the real program on an Xvfb of its own with real X input
# events (xdotool, through the XTest extension) and reading the real screen.
# Expects APP, XPROBE and GLYPHPROBE to be set. Every wait has a time limit and
# fails with what it last saw.

TITLE="速さの比べ方"
MAROON=800000 BLUE=0000FF FUCHSIA=FF00FF WHITE=FFFFFF GREEN=80FF80

# The tracks as the layout places them (lesson/controls.h), in client pixels:
# x y width height of each runner's full bar, and where an arrival label starts.
TRACK_LEFT=104 TRACK_WIDTH=800 BAR_HEIGHT=20 RACE_LABEL_GAP=32 TRUN_LABEL_GAP=16
RACE_BAR1=($TRACK_LEFT 200 $TRACK_WIDTH $BAR_HEIGHT) RACE_BAR2=($TRACK_LEFT 256 $TRACK_WIDTH $BAR_HEIGHT)
TRUN_BAR1=($TRACK_LEFT 536 $TRACK_WIDTH $BAR_HEIGHT) TRUN_BAR2=($TRACK_LEFT 592 $TRACK_WIDTH $BAR_HEIGHT)
FULL_BAR=$((TRACK_WIDTH * BAR_HEIGHT))
ARRIVAL_X=$((TRACK_LEFT + TRACK_WIDTH + RACE_LABEL_GAP))

fail() {
    echo "FAIL: $*"
    if [[ -n "${FAIL_SHOT:-}" ]] && command -v import >/dev/null; then
        import -window root "$FAIL_SHOT" 2>/dev/null && echo "screenshot: $FAIL_SHOT"
    fi
    exit 1
}

need_desktop_tools() {
    for tool in Xvfb xdotool; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed (scripts/deps.sh test installs it)"
            exit 77
        fi
    done
}

# start_x WIDTHxHEIGHT: an X server of our own, on a display number it picks.
start_x() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
    XVFB_PID=$!
    local n
    read -r -t 10 n <"$fifo" || fail "Xvfb did not start"
    rm -f "$fifo"
    export DISPLAY=":$n"
}

# start_app: the program, and the position of its client area on the screen.
start_app() {
    "$APP" >"${APP_LOG:-/dev/null}" 2>&1 &
    APP_PID=$!
    local i geo=""
    for i in $(seq 1 100); do
        geo=$("$XPROBE" window "$TITLE") && break
        sleep 0.1
    done
    [[ -n "$geo" ]] || fail "the window did not appear"
    read -r WX WY WW WH <<<"$geo"
    # The first paint: the window colour the program sets at start-up. The
    # window may still be moving into place, so its position is read anew.
    local deadline=$((SECONDS + 10))
    until refresh_geometry && [[ $(px 500 400) == "$GREEN" ]]; do
        ((SECONDS >= deadline)) && fail "the window was never painted"
        sleep 0.05
    done
}

stop_all() {
    [[ -n "${APP_PID:-}" ]] && kill "$APP_PID" 2>/dev/null
    [[ -n "${XVFB_PID:-}" ]] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
}

refresh_geometry() {
    local geo
    geo=$("$XPROBE" window "$TITLE") || return 1
    read -r WX WY WW WH <<<"$geo"
}

# Returns once the program has handled the input sent to it so far.
sync_app() { "$XPROBE" sync "$TITLE" || fail "the program did not answer"; }

# Client coordinates of the window, as the lesson's layout gives them.
click() { xdotool mousemove --sync $((WX + $1)) $((WY + $2)) click 1; sync_app; }
keys() { xdotool key --delay 60 "$@"; sync_app; }
type_text() { xdotool type --delay 80 "$1"; sync_app; }
px() { "$XPROBE" pixel $((WX + $1)) $((WY + $2)); }
count() { "$XPROBE" count $((WX + $1)) $((WY + $2)) "$3" "$4" "$5"; }

# What the window shows follows its input by a repaint: pixel checks wait up
# to PIXEL_WAIT seconds (5) for the colour.
expect_px() { # x y colour what
    local deadline=$((SECONDS + ${PIXEL_WAIT:-5})) got
    until got=$(px "$1" "$2") && [[ "$got" == "$3" ]]; do
        ((SECONDS >= deadline)) && fail "$4: pixel ($1,$2) is $got, expected $3"
        sleep 0.05
    done
}

expect_not_px() {
    local deadline=$((SECONDS + ${PIXEL_WAIT:-5})) got
    until got=$(px "$1" "$2") && [[ "$got" != "$3" ]]; do
        ((SECONDS >= deadline)) && fail "$4: pixel ($1,$2) is $got"
        sleep 0.05
    done
}

# wait_until seconds what command...: until the command succeeds.
wait_until() {
    local deadline=$((SECONDS + $1)) what=$2
    shift 2
    until "$@"; do
        ((SECONDS >= deadline)) && fail "$what"
        sleep 0.05
    done
}

# steady seconds what command...: the command succeeds at every look for that
# long; for what must not happen, such as a bar growing after a reset.
steady() {
    local deadline=$((SECONDS + $1)) what=$2
    shift 2
    while ((SECONDS < deadline)); do
        "$@" || fail "$what"
        sleep 0.05
    done
}

# wait_text x y colour text seconds what: until the text stands in a cell at
# x y, drawn in the surface's font at 16 pt in that colour on the window colour.
wait_text() {
    local deadline=$((SECONDS + $5)) got
    until got=$("$GLYPHPROBE" $((WX + $1)) $((WY + $2)) 16 "$3" "$GREEN" "$4" 2>/dev/null); do
        ((SECONDS >= deadline)) && fail "$6: the cell at ($1,$2) is not \"$4\" ($got)"
        sleep 0.1
    done
}

# wait_count x y w h colour n seconds what: until n pixels of colour stand there.
wait_count() {
    local deadline=$((SECONDS + $7)) got
    while :; do
        got=$(count "$1" "$2" "$3" "$4" "$5")
        [[ "$got" == "$6" ]] && return 0
        ((SECONDS >= deadline)) && fail "$8: $got pixels of $5, expected $6"
        sleep 0.2
    done
}

# wait_outer "x y w h" what: until the window with its frame stands there.
# OUTER_WAIT seconds (15); with OUTER_WAIT set it returns 1 instead of failing.
wait_outer() {
    local deadline=$((SECONDS + ${OUTER_WAIT:-15})) got
    while :; do
        got=$("$XPROBE" outer "$TITLE")
        [[ "$got" == "$1" ]] && return 0
        if ((SECONDS >= deadline)); then
            [[ -n "${OUTER_WAIT:-}" ]] && return 1
            fail "$2: the window with its frame is at $got, expected $1"
        fi
        sleep 0.1
    done
}

# An entry list: click its field, type, and close the dropped-down list.
enter() { click "$1" "$2"; type_text "$3"; keys Escape; }

# Field centres of the lists, in client coordinates.
DIST1=(110 86) TIME1=(110 134) DIST2=(326 86) TIME2=(326 134) DIST3=(542 86) TIME3=(542 134)
QUANTITY=(30 472) VALUE=(150 472)
START_RACE=(756 84) RETRY=(936 84) TRIAL=(96 412) START_RUN=(468 468) FINISH=(936 404)

# wait_exit seconds: the program's exit code in RC.
wait_exit() {
    local deadline=$((SECONDS + $1))
    while kill -0 "$APP_PID" 2>/dev/null; do
        ((SECONDS >= deadline)) && fail "the program did not end"
        sleep 0.1
    done
    wait "$APP_PID"
    RC=$?
    APP_PID=
}
