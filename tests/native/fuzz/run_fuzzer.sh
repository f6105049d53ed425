#!/usr/bin/env bash
# run_fuzzer.sh <fuzzer> <corpus dir> <seed dir> [libFuzzer options...]
# Fuzzes from the corpus (kept in the build directory, created when missing)
# and the seeds in the tree when there are any; a crash, a sanitizer report or
# a leak ends it with a failure and leaves the input beside the corpus.
set -euo pipefail
fuzzer="$1" corpus="$2" seeds="$3"
shift 3
mkdir -p "$corpus" "$corpus.crashes"
dirs=("$corpus")
[ -d "$seeds" ] && dirs+=("$seeds")
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
exec "$fuzzer" -artifact_prefix="$corpus.crashes/" -print_final_stats=1 "$@" "${dirs[@]}"
