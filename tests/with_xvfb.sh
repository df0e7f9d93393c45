#!/usr/bin/env bash
# Runs a command on an X server of its own: Xvfb on a free display number,
# 24-bit, reachable only through its local socket. The command gets DISPLAY,
# and XVFB_PID for whoever measures the server's own CPU time. The server is
# ended with the command; the command's exit code is passed through.
# Usage: tests/with_xvfb.sh WIDTHxHEIGHT COMMAND...
# Exit code 77 (skip) where Xvfb is not installed.
set -uo pipefail
if [[ $# -lt 2 || ! $1 =~ ^[0-9]+x[0-9]+$ ]]; then
    echo "usage: $0 WIDTHxHEIGHT COMMAND..." >&2
    exit 2
fi
size=$1
shift
if ! command -v Xvfb >/dev/null; then
    echo "SKIP: Xvfb is not installed (scripts/deps.sh test installs it)"
    exit 77
fi

dir=$(mktemp -d)
xvfb_pid= child=
cleanup() {
    for pid in $child $xvfb_pid; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

# Xvfb writes the display number it took to the fifo once it accepts clients.
mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
xvfb_pid=$!
if ! read -r -t 15 number <"$dir/display" || [[ -z "$number" ]]; then
    echo "FAIL: Xvfb did not start:" >&2
    cat "$dir/log" >&2
    exit 1
fi
export DISPLAY=":$number" XVFB_PID=$xvfb_pid
# In the background, so that a TERM (a test's time limit) ends it at once.
"$@" &
child=$!
wait "$child"
rc=$?
child=
exit "$rc"
