#!/usr/bin/env bash
# Installs what is missing, builds, and starts Ruvelto under Wine. Without an X
# display it runs in a virtual one, saves a screenshot and prints its path.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
use_prefix "$USER_PREFIX"
ensure_packages
build_all
EXE="$BUILD/out/ruvelto.exe"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  prepare_prefix
  exec wine "$EXE" "$@"
fi
cleanup() { stop_wineserver; stop_display; }
trap cleanup EXIT
start_display own
prepare_prefix
wine explorer /desktop=ruvelto,1280x1024 "$EXE" "$@" >/dev/null 2>&1 </dev/null &
for _ in $(seq 100); do
  xdotool search --name '^Ruvelto' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 2
SHOT="$BUILD/ruvelto-screenshot.png"
import -window root "$SHOT"
echo "screenshot: $SHOT"
