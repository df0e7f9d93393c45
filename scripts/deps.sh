#!/usr/bin/env bash
# Installs the Debian packages the build, the program and its tests need,
# only those that are missing, and for the tests the end-to-end runner's node
# modules. Usage: scripts/deps.sh run|test|web
set -euo pipefail

packages=(cmake ninja-build fonts-ipafont-gothic fonts-ipafont-mincho fonts-urw-base35)
if [[ "${1:-run}" == web ]]; then
  # The page: emscripten and node, fontTools with brotli for the WOFF2 subsets.
  packages+=(emscripten nodejs python3-fonttools python3-brotli fontconfig)
else
  packages+=(g++ qt6-base-dev qt6-qpa-plugins libxcb1-dev qt6-translations-l10n)
fi
if [[ "${1:-run}" == test ]]; then
  packages+=(libgtest-dev libx11-dev xvfb xdotool x11-utils imagemagick openbox
             desktop-file-utils appstream dpkg-dev
             at-spi2-core python3-pyatspi dbus-daemon dbus-x11 lintian binutils)
  # The web edition's tests: the lesson tests and the digest under node (with
  # GoogleTest's sources), the page in headless Chromium and Firefox and in
  # WebKit, played by the end-to-end runner under node.
  packages+=(emscripten nodejs googletest chromium firefox-esr webkit2gtk-driver
             libwebkit2gtk-4.1-0)
  # The benchmarks' and web/screenshot.py's Chromium, through chromedriver.
  packages+=(chromium-driver python3-selenium)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# Some builds of nodejs bring npm along and conflict with Debian's npm
# package: it is asked for only where the command is missing.
if [[ "${1:-run}" == test ]] && ! command -v npm >/dev/null; then
  missing+=(npm)
fi

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi

# The end-to-end runner's browser driver, as its lock file pins it, when it is
# missing or older than the lock file. No browser is downloaded: the runner
# uses Debian's, and no package's install script runs.
if [[ "${1:-run}" == test ]]; then
  e2e="$(cd "$(dirname "$0")/../tests/e2e" && pwd)"
  if [[ ! -f "$e2e/node_modules/.package-lock.json" ||
        "$e2e/package-lock.json" -nt "$e2e/node_modules/.package-lock.json" ]]; then
    echo "Installing the end-to-end runner's node modules"
    (cd "$e2e" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund --loglevel=error </dev/null)
  fi
fi
