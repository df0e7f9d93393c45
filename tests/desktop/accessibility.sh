#!/usr/bin/env bash
# Runs accessibility.py with a session bus of its own, from which the
# accessibility bus is started, on the display tests/with_xvfb.sh gives it;
# skips (77) only where a tool is missing.
# Usage: accessibility.sh PROGRAM [--dump FILE]
set -euo pipefail
here=${0%/*}

for tool in xdotool dbus-run-session; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/deps.sh test installs it)"
        exit 77
    fi
done
if [[ ! -e /usr/share/dbus-1/services/org.a11y.Bus.service ]]; then
    echo "SKIP: the accessibility bus (at-spi2-core) is not installed"
    exit 77
fi
if ! /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
    echo "SKIP: python3-pyatspi is not installed"
    exit 77
fi

if [[ -z "${DISPLAY:-}" ]]; then
    echo "FAIL: no display: run it through tests/with_xvfb.sh"
    exit 1
fi
# Nothing of a desktop this may run in: no bus or accessibility bus of its
# own may be reached, the test's Xvfb is the only display.
set +e
env -u WAYLAND_DISPLAY -u AT_SPI_BUS_ADDRESS -u DBUS_SESSION_BUS_ADDRESS -u NO_AT_BRIDGE \
    dbus-run-session -- /usr/bin/python3 "$here/accessibility.py" "$@" 2>&1 </dev/null |
    grep -v -e 'Failed to set fd limit' -e 'Activating service' -e 'Successfully activated'
exit "${PIPESTATUS[0]}"
