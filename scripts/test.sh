#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine in a virtual
# display. Leaves no process behind.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages
build_all
cleanup() { stop_wineserver; stop_display; }
trap cleanup EXIT
start_display own
prepare_prefix
start_wineserver
log "running tests"
ctest --test-dir "$BUILD" --output-on-failure --timeout 600 "$@"
