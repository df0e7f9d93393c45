#!/usr/bin/env bash
# Installs the Debian packages the build, the program and its tests need,
# only those that are missing. Usage: scripts/deps.sh run|test|web
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
  # GoogleTest's sources), the page in headless Chromium and in WebKit.
  packages+=(emscripten nodejs googletest chromium chromium-driver webkit2gtk-driver
             libwebkit2gtk-4.1-0 python3-selenium)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
