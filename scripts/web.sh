#!/usr/bin/env bash
# Builds the browser edition: dist/hayasa.html, one self-contained page that
# opens from file:// or from any web server, and dist/web/, the same page as a
# folder for a web server that installs as an app and works offline. Prints
# the page's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh web
# Debian's emscripten finds its optimizer's modules (acorn) only here.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web -j"${HAYASA_JOBS:-2}"
mkdir -p dist
cp build-web/web/hayasa.html dist/hayasa.html
rm -rf dist/web
cp -r build-web/web/hosted dist/web
realpath dist/hayasa.html
