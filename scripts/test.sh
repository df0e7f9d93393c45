#!/usr/bin/env bash
# Builds everything and runs every test: the plain build first, then the whole
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs=$(nproc)

# The web edition first: its WebAssembly tests and its page are what the
# plain build's web tests run.
HAYASA_JOBS=$jobs scripts/web.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHAYASA_WEB_TESTS=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs" --timeout 600)

if [[ "${HAYASA_SKIP_SANITIZERS:-0}" != 1 ]]; then
  # The web edition was tested above; its tests gain nothing from the sanitizers.
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHAYASA_SANITIZE=ON -DHAYASA_WEB_TESTS=OFF >/dev/null
  cmake --build build-asan -j "$jobs"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # The instrumented core is several times slower: a tenth of the random sequences.
  export HAYASA_RANDOM_SEEDS=1:100
  (cd build-asan && ctest --output-on-failure -j "$jobs" --timeout 1200)
fi
