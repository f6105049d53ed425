#!/usr/bin/env bash
# Builds the pure encoding code natively with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the random-input check (rounds: $1).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
OUT="${TMPDIR:-/tmp}/rv_encoding_fuzz"
g++ -std=c++17 -O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all \
    -Wall -Wextra -I"$ROOT" \
    "$ROOT/document/encoding.cpp" "$ROOT/tests/document/native/encoding_fuzz.cpp" -o "$OUT"
"$OUT" "${1:-1000000}"
