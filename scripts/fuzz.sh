#!/usr/bin/env bash
# Fuzzes every driver in tests/fuzz for longer than the test run does:
#   ./scripts/fuzz.sh [seconds per driver, default 600]
# Builds what is missing first. The corpora grow in build/native/fuzz/corpus/
# and carry over to the next run; a crash ends the run with a failure and
# leaves its input in corpus/<driver>.crashes/ (replay: <driver> <that file>).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages
build_native
seconds="${1:-600}"
status=0
for driver in "$ROOT"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$driver" .cpp)
  log "fuzzing $name for $seconds s"
  bash "$ROOT/tests/native/fuzz/run_fuzzer.sh" "$NATIVE/fuzz/$name" "$NATIVE/fuzz/corpus/$name" \
    "$ROOT/tests/fuzz/seeds/$name" -max_total_time="$seconds" || status=1
done
exit "$status"
