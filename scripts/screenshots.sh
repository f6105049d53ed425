#!/usr/bin/env bash
# Regenerates the screenshots under docs/ from the real program under Wine in
# a virtual display. Run after ./scripts/run.sh or ./scripts/test.sh has built it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build_all --target ruvelto >/dev/null
cleanup() { test_session_end; rm -rf "${SHOTDIR:-}"; }
trap cleanup EXIT
test_session_begin
SHOTDIR="$(mktemp -d)"
cp "$BUILD/out/ruvelto.exe" "$BUILD/out/ruvelto-macro.exe" "$SHOTDIR/"
cp -r "$ROOT/resources/shipped/." "$SHOTDIR/"
# A 760x520 window at the top-left corner, detection on.
python3 - "$SHOTDIR/ruvelto.ini" <<'PY'
import struct, sys
rec = struct.pack('<11i', 44, 0, 1, -1, -1, -1, -1, 0, 0, 760, 520)
enc = ''.join(chr(65 + (b & 15)) + chr(65 + (b >> 4)) for b in rec)
open(sys.argv[1], 'w', newline='\r\n').write('[Settings]\nWindow=%s\nAutoKanji=1\nOpenMode=2\n' % enc)
PY
iconv -f UTF-8 -t CP932 > "$SHOTDIR/hello.js" <<'JS'
// 挨拶を表示するスクリプト
var shell = WScript.CreateObject("WScript.Shell");
var name = "世界";
WScript.Echo("こんにちは、" + name + "！");
JS
sed -i 's/$/\r/' "$SHOTDIR/hello.js"
(cd "$SHOTDIR" && exec wine "$SHOTDIR/ruvelto.exe" "Z:$SHOTDIR/hello.js" >/dev/null 2>&1 </dev/null) &
for _ in $(seq 100); do W=$(xdotool search --onlyvisible --name '^Ruvelto' 2>/dev/null | head -n1 || true); [ -n "$W" ] && break; sleep 0.2; done
sleep 1
xdotool windowfocus --sync "$W" 2>/dev/null || true
# The File menu pulled down.
xdotool key --clearmodifiers alt+f; sleep 1
import -window root -crop 760x520+0+0 "$ROOT/docs/main-window.png"
xdotool key Escape Escape; sleep 0.5
# A tooltip over the toolbar's run button (the eleventh button, after three separators).
xdotool mousemove 212 52; sleep 0.3; xdotool mousemove 214 53; sleep 2
import -window root -crop 760x520+0+0 "$ROOT/docs/toolbar-tooltip.png"
# A second run with a file that holds a zero byte: the warning on opening it,
# then the question before a save would cut the file at that byte.
xdotool key --clearmodifiers alt+F4
for _ in $(seq 100); do xdotool search --onlyvisible --name '^Ruvelto' >/dev/null 2>&1 || break; sleep 0.2; done
printf 'WScript.Echo("data");\r\n\0\x01\x02binary tail\r\n' > "$SHOTDIR/data.js"
(cd "$SHOTDIR" && exec wine "$SHOTDIR/ruvelto.exe" "Z:$SHOTDIR/data.js" >/dev/null 2>&1 </dev/null) &
boxes() { xdotool search --onlyvisible --name '^Ruvelto$' 2>/dev/null || true; }
wait_box() { for _ in $(seq 100); do B=$(boxes | head -n1); [ -n "$B" ] && return 0; sleep 0.2; done; return 1; }
wait_box
xdotool windowfocus --sync "$B" 2>/dev/null || true
xdotool key Return
for _ in $(seq 100); do [ -z "$(boxes)" ] && break; sleep 0.2; done
W=$(xdotool search --onlyvisible --name '^Ruvelto' | head -n1)
xdotool windowfocus --sync "$W" 2>/dev/null || true
xdotool key --clearmodifiers ctrl+s
wait_box
sleep 0.5
# The box is centred on the screen: take the main window and the box together.
eval "$(xdotool getwindowgeometry --shell "$B")"
import -window root -crop "$((X + WIDTH + 8))x$((Y + HEIGHT + 8))+0+0" "$ROOT/docs/save-question-zero-byte.png"
xdotool key n
echo "docs/main-window.png docs/toolbar-tooltip.png docs/save-question-zero-byte.png"
