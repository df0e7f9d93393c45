#!/usr/bin/env bash
# Makes the README's screenshots with the real program on an Xvfb of its own:
# the first start, a finished three-runner race and a finished time-aligned
# verification, as the end-to-end runner plays the scenario "screenshots".
# Usage: scripts/screenshots.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/deps.sh test
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target hayasa xprobe glyphprobe
QT_QPA_PLATFORM=xcb tests/with_xvfb.sh 1024x768 node tests/e2e/run.js x11 screenshots \
    --app "$build/app/hayasa" --xprobe "$build/tests/desktop/xprobe" \
    --glyphprobe "$build/tests/desktop/glyphprobe"
echo "written: docs/screenshot-*.png"
