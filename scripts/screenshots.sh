#!/usr/bin/env bash
# Makes the README's screenshots with the real program on an Xvfb of its own:
# the first start, a finished three-runner race and a finished time-aligned
# verification. Usage: scripts/screenshots.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/deps.sh test
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target hayasa xprobe
APP=$PWD/$build/app/hayasa XPROBE=$PWD/$build/tests/desktop/xprobe
source tests/desktop/lib.sh
trap stop_all EXIT
shot() { import -window root -crop "1024x768+$WX+$WY" +repage "docs/$1"; }

start_x 1024x768
start_app
shot screenshot-start.png
enter "${DIST1[@]}" 100
enter "${TIME1[@]}" 20
enter "${DIST2[@]}" 100
enter "${TIME2[@]}" 12
enter "${DIST3[@]}" 60
enter "${TIME3[@]}" 15
click "${START_RACE[@]}"
wait_count 104 200 800 20 $MAROON 16000 12 "runner 1's full bar"
shot screenshot-race.png
click "${TRIAL[@]}"
click "${QUANTITY[@]}"
keys Down Down
enter "${VALUE[@]}" 10
click "${START_RUN[@]}"
wait_count 104 536 400 20 $MAROON 8000 8 "runner 1's verification bar"
sleep 0.5
shot screenshot-verification.png
echo "written: docs/screenshot-*.png"
