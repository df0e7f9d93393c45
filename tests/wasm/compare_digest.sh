#!/usr/bin/env bash
# Runs one part of the digest in the native build and under node in the
# WebAssembly build; both must print the same line.
# Usage: compare_digest.sh NATIVE_DIGEST WASM_DIGEST_JS PART SHARD COUNT
set -uo pipefail
native=$1 wasm=$2
shift 2
if [[ ! -f "$wasm" ]]; then
    echo "FAIL: $wasm is missing: scripts/web.sh builds it"
    exit 1
fi
a=$("$native" "$@") || { echo "FAIL: the native digest failed"; exit 1; }
b=$(node "$wasm" "$@") || { echo "FAIL: the wasm digest failed"; exit 1; }
echo "native: $a"
echo "wasm:   $b"
[[ -n "$a" && "$a" == "$b" ]] || { echo "FAIL: the digests differ"; exit 1; }
