#!/usr/bin/env bash
# The window's accessible tree over AT-SPI, written by accessibility.py, then
# the page's in Chromium, compared. Run through tests/with_xvfb.sh.
# Usage: compare_trees.sh PROGRAM PAGE
set -uo pipefail
here=${0%/*}
tree=$(mktemp)
trap 'rm -f "$tree"' EXIT
"$here/accessibility.sh" "$1" --dump "$tree"
rc=$?
[[ $rc == 0 ]] || exit "$rc"
exec /usr/bin/python3 "$here/compare_trees.py" "$tree" "$2"
