# Helpers for end-to-end tests: run the real ruvelto.exe under Wine in the
# test display, find its window with xdotool, drive it with keys.
set -euo pipefail
EXE_SRC="$1"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/rv-e2e.XXXXXX")"
APP_PID=""
cleanup() {
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill "$APP_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

install_copy() {  # a fresh installation folder with only the executable
  cp "$EXE_SRC" "$WORK/ruvelto.exe"
}

start_app() {  # start_app [args...]
  (cd "$WORK" && exec wine "$WORK/ruvelto.exe" "$@" >/dev/null 2>&1 </dev/null) &
  APP_PID=$!
}

# Prints the X window id of the main window once it is shown.
wait_main_window() {
  local id=""
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name '^Ruvelto' 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  fail "main window did not appear"
}

wait_exit() {
  for _ in $(seq 150); do
    kill -0 "$APP_PID" 2>/dev/null || { wait "$APP_PID" 2>/dev/null || true; APP_PID=""; return 0; }
    sleep 0.2
  done
  fail "program did not exit"
}

# The File menu's exit command, through the keyboard: Alt+F, then X.
exit_through_menu() {
  local id="$1"
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  sleep 0.3
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key x
}

ini() {  # ini <section> <key>: prints the value or <absent>
  python3 - "$WORK/ruvelto.ini" "$1" "$2" <<'PY'
import sys
path, section, key = sys.argv[1:]
cur = None; val = "<absent>"
for raw in open(path, 'rb').read().decode('cp932').splitlines():
    line = raw.strip()
    if line.startswith('['): cur = line[1:-1]; continue
    if cur == section and '=' in line and line.split('=', 1)[0] == key: val = line.split('=', 1)[1]
print(val)
PY
}
