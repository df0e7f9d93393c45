#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHAYASA_BUILD_TESTS=OFF >/dev/null
cmake --build build --target hayasa
exec build/app/hayasa
