#!/usr/bin/env bash
# End-to-end tests of the real program on an X server of its own.
# Usage: desktop.sh APP XPROBE CASE GLYPHPROBE
set -uo pipefail
APP=$1 XPROBE=$2 CASE=$3 GLYPHPROBE=$4
FAIL_SHOT="${PWD}/desktop-${CASE}-failure.png"
source "$(dirname "$0")/lib.sh"
need_desktop_tools
trap stop_all EXIT

# Pixel counts as conditions for the waits.
count_is() { [[ $(count "$1" "$2" "$3" "$4" "$5") == "$6" ]]; }
count_above() { (($(count "$1" "$2" "$3" "$4" "$5") > $6)); }
count_between() { # x y w h colour low high: low < count < high
    local n
    n=$(count "$1" "$2" "$3" "$4" "$5")
    ((n > $6 && n < $7))
}
windows_are() { [[ $("$XPROBE" windows "$TITLE") == "$1" ]]; }
window_at() { refresh_geometry && [[ "$WX $WY $WW $WH" == "$1" ]]; }

# Two runners over 100 m, in 20 s and 12 s, raced to the end: the faster one
# arrives first and each is labelled with its time.
typical_race() {
    enter "${DIST1[@]}" 100
    enter "${TIME1[@]}" 20
    enter "${DIST2[@]}" 100
    enter "${TIME2[@]}" 12
    expect_px 103 199 $MAROON "runner 1's outline"
    expect_px 904 220 $MAROON "runner 1's outline end"
    expect_px 904 276 $BLUE "runner 2's outline end"
    expect_px 500 210 $WHITE "the empty track"
    click "${START_RACE[@]}"
    wait_count "${RACE_BAR2[@]}" $BLUE $FULL_BAR 8 "runner 2's full bar"
    wait_count "${RACE_BAR1[@]}" $MAROON $FULL_BAR 8 "runner 1's full bar"
    wait_text $ARRIVAL_X 256 $BLUE "12秒" 5 "runner 2's arrival label"
    wait_text $ARRIVAL_X 200 $MAROON "20秒" 5 "runner 1's arrival label"
    expect_not_px 96 412 $GREEN "確かめよう！ is shown"
}

case "$CASE" in
placement-*)
    size=${CASE#placement-}
    start_x "$size"
    start_app
    case "$size" in
    1024x768) want="0 0" ;;
    1280x1024) want="128 128" ;;
    1920x1080) want="448 156" ;;
    800x600) want="0 0" ;;
    esac
    [[ "$WX $WY" == "$want" ]] || fail "placed at $WX $WY, expected $want"
    [[ "$WW $WH" == "1024 768" ]] || fail "size $WW x $WH"
    click "${RETRY[@]}"
    wait_until 5 "after もう一度 at $WX $WY $WW $WH" window_at "0 0 1024 768"
    ;;
window-manager)
    # With a window manager the frame is part of the 1024 x 768.
    command -v openbox >/dev/null || { echo "SKIP: openbox is not installed"; exit 77; }
    start_x 1920x1080
    openbox >/dev/null 2>&1 &
    for i in $(seq 1 50); do "$XPROBE" wm && break; sleep 0.1; done
    "$XPROBE" wm || fail "openbox did not start"
    start_app
    wait_outer "448 156 1024 768" "first shown with its frame"
    for i in 1 2 3; do # a request the window manager missed is asked again
        "$XPROBE" maximize "$TITLE"
        OUTER_WAIT=5 wait_outer "0 0 1920 1080" "maximised" 2>/dev/null && break
    done
    wait_outer "0 0 1920 1080" "maximised"
    refresh_geometry
    click "${RETRY[@]}"
    wait_outer "0 0 1024 768" "after もう一度 from maximised"
    "$XPROBE" close "$TITLE"
    wait_exit 15
    [[ "$RC" == 0 ]] || fail "exit code $RC"
    ;;
first-start)
    start_x 1280x1024
    start_app
    expect_px 500 400 $GREEN "window colour"
    expect_px 95 205 $GREEN "label background"
    expect_px 96 412 $GREEN "確かめよう！ hidden"
    expect_px 468 468 $GREEN "スタート！ hidden"
    expect_px 30 472 $GREEN "the quantity list hidden"
    expect_not_px 936 404 $GREEN "お わ る shown"
    [[ $(count 103 170 760 500 $GREEN) == $((760 * 500)) ]] || fail "the tracks are not empty"
    ;;
typical-use)
    start_x 1280x1024
    start_app
    typical_race
    click "${TRIAL[@]}"
    click "${QUANTITY[@]}"
    keys Down Down # 時間
    enter "${VALUE[@]}" 10
    expect_px 103 535 $MAROON "verification outline"
    expect_px 776 545 $MAROON "verification outline end (672 px)"
    expect_px 500 545 $WHITE "verification track"
    click "${START_RUN[@]}"
    wait_count 104 592 667 20 $BLUE 13340 8 "runner 2's verification bar"
    wait_count 104 536 400 20 $MAROON 8000 8 "runner 1's verification bar"
    # After 10 s runner 1 has covered 50 m and runner 2 83.33 m.
    result_x=$((TRACK_LEFT + 672 + TRUN_LABEL_GAP))
    wait_text $result_x 536 $MAROON "50.00ｍ" 5 "runner 1's result label"
    wait_text $result_x 592 $BLUE "83.33ｍ" 5 "runner 2's result label"
    expect_px 505 546 $WHITE "runner 1's bar stopped at 400 px"
    click "${RETRY[@]}"
    refresh_geometry # the reset puts the window at the origin
    expect_px 500 210 $GREEN "race track emptied"
    expect_px 500 545 $GREEN "verification track emptied"
    click "${FINISH[@]}"
    wait_exit 15
    [[ "$RC" == 0 ]] || fail "exit code $RC"
    ;;
race-100m-10s)
    start_x 1024x768
    start_app
    enter "${DIST1[@]}" 100
    enter "${TIME1[@]}" 10
    expect_px 96 412 $GREEN "確かめよう！ hidden before the race"
    click "${START_RACE[@]}"
    wait_until 4 "the bar is not growing" count_between "${RACE_BAR1[@]}" $MAROON 0 $FULL_BAR
    expect_px 96 412 $GREEN "確かめよう！ hidden during the race"
    wait_count "${RACE_BAR1[@]}" $MAROON $FULL_BAR 8 "the full bar"
    wait_text $ARRIVAL_X 200 $MAROON "10秒" 5 "the label 10秒"
    expect_not_px 96 412 $GREEN "確かめよう！ shown"
    ;;
type-ahead)
    start_x 1024x768
    start_app
    click "${DIST1[@]}"
    type_text 15 # 150 m: scale 200, a bar of 600 px
    keys Escape
    expect_px 704 210 $MAROON "outline end of 150 m"
    expect_px 706 210 $GREEN "nothing beyond it"
    click "${TIME1[@]}"
    type_text 125 # stops at 12: no item begins with 125
    keys Escape
    click "${START_RACE[@]}"
    wait_count 104 200 600 20 $MAROON 12000 7 "the bar of 150 m in 12 s"
    ;;
retry-during-race)
    start_x 1024x768
    start_app
    enter "${DIST1[@]}" 100
    enter "${TIME1[@]}" 10
    click "${START_RACE[@]}"
    wait_until 5 "the race did not start" count_above "${RACE_BAR1[@]}" $MAROON 0
    click "${RETRY[@]}"
    refresh_geometry
    wait_until 5 "a bar is left after もう一度" count_is "${RACE_BAR1[@]}" $MAROON 0
    steady 1 "a bar grew again after もう一度" count_is "${RACE_BAR1[@]}" $MAROON 0
    expect_px 500 210 $GREEN "the track is empty"
    ;;
retry-during-verification)
    start_x 1024x768
    start_app
    typical_race
    click "${TRIAL[@]}"
    click "${QUANTITY[@]}"
    keys Down # 距離
    enter "${VALUE[@]}" 100
    click "${START_RUN[@]}"
    wait_until 5 "the verification run did not start" count_above "${TRUN_BAR2[@]}" $BLUE 0
    click "${RETRY[@]}"
    refresh_geometry
    expect_px 300 600 $GREEN "the verification track is empty"
    steady 1 "a verification bar grew again after もう一度" count_is $TRACK_LEFT 536 $TRACK_WIDTH 133 $GREEN $((TRACK_WIDTH * 133))
    ;;
out-of-range-box)
    start_x 1280x1024
    start_app
    enter "${DIST1[@]}" 1000
    enter "${TIME1[@]}" 10
    click "${START_RACE[@]}"
    wait_count "${RACE_BAR1[@]}" $MAROON $FULL_BAR 7 "the race"
    click "${TRIAL[@]}"
    click "${QUANTITY[@]}"
    keys Down Down # 時間
    enter "${VALUE[@]}" 10
    # A new race with the mode still open: choosing in the value list empties
    # the verification track, which would stop a verification run.
    click "${START_RACE[@]}"
    click "${VALUE[@]}"
    type_text 11 # 1100 m: out of range
    wait_until 5 "no message box" windows_are 2
    before=$(count "${RACE_BAR1[@]}" $MAROON)
    wait_until 5 "the race did not tick on while the box was open ($before pixels)" \
        count_above "${RACE_BAR1[@]}" $MAROON "$before"
    # The box is modal: もう一度 cannot be pressed behind it.
    click "${RETRY[@]}"
    steady 1 "もう一度 acted behind the modal box" count_above "${RACE_BAR1[@]}" $MAROON 0
    keys Return
    wait_until 5 "the box did not close with Enter" windows_are 1
    ;;
finish-button)
    start_x 1024x768
    start_app
    click "${FINISH[@]}"
    wait_exit 15
    [[ "$RC" == 0 ]] || fail "exit code $RC"
    ;;
close-box)
    start_x 1024x768
    start_app
    "$XPROBE" close "$TITLE"
    wait_exit 15
    [[ "$RC" == 0 ]] || fail "exit code $RC"
    ;;
*)
    echo "unknown case $CASE"
    exit 2
    ;;
esac
echo "PASS: $CASE"
