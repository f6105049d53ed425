#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the pure modules'
# unit tests and fuzz drivers natively under the sanitizers, then everything
# under Wine in a virtual display of its own, with a Wine prefix and server of
# its own (an editor started by run.sh is never touched). Arguments go to
# ctest (-R regex...). Leaves no process behind.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages
build_all
build_native
status=0
log "running the sanitizer build's tests and fuzz drivers"
ctest --test-dir "$NATIVE/unit" --output-on-failure "$@" || status=1
ctest --test-dir "$NATIVE/fuzz" --output-on-failure -j"$(nproc)" "$@" || status=1
trap test_session_end EXIT
test_session_begin
log "running tests"
ctest --test-dir "$BUILD" --output-on-failure --timeout 600 "$@" || status=1
exit "$status"
