#!/usr/bin/env bash
# The real program drags selections with the mouse, as the system's drag loop
# drives them: two files side by side (Window > Tile left and right), a word
# moved to another line of its window, then a word of the other window moved
# into it; both saved with Ctrl+S, and the bytes on disk compared.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
printf '[Settings]\r\nAutoKanji=0\r\n' > "$WORK/ruvelto.ini"
printf 'line1\r\nline2\r\nline3\r\n' > "$WORK/a.js"
printf 'other\r\n' > "$WORK/b.js"
printf 'other\r\nline2\r\nline1line3\r\n' > "$WORK/want_a.js"
printf '\r\n' > "$WORK/want_b.js"
start_app "Z:$WORK/a.js" "Z:$WORK/b.js"
WIN=$(wait_main_window)
poll title_has "$WIN" b.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the second file"
xdotool key --clearmodifiers alt+w
wait_menu "Window"
xdotool key t
wait_menu_closed "Window"
# Tiled in the 960-pixel main window: b.js's text starts at x 55, a.js's at
# x 520. The rows come from the editor font: a.js's line-number strip paints
# the caret's line (the first) blue, which gives the first row and its height.
blue_rows() {  # prints "top height" of the first blue run in the strip's column at x 500
  import -window root -crop 1x300+500+60 -depth 8 rgb:- | python3 -c '
import sys
d = sys.stdin.buffer.read()
blue = [d[3*i:3*i+3] == bytes([0, 0, 255]) for i in range(len(d) // 3)]
if True not in blue: sys.exit(1)
top = blue.index(True)
end = blue.index(False, top) if False in blue[top:] else len(blue)
sys.exit(1) if not 8 <= end - top <= 60 else print(60 + top, end - top)'
}
ROWS=""
rows_settled() {  # the same answer twice in a row: the tiled windows have painted
  local now
  now=$(blue_rows) || return 1
  [ "$now" = "$ROWS" ] && return 0
  ROWS=$now
  return 1
}
poll rows_settled || fail "a.js's line-number strip shows no current line"
read -r TOP H <<< "$ROWS"
row() { echo $((TOP + H * $1 + $2)); }  # y of line $1 (from 0), $2 pixels into it
# (1) In a.js: "line1" (double-click) pressed and moved in steps to the start of line 3.
drag() {  # drag x y x2 y2 ... : press at the first point, move through the rest, release
  xdotool mousedown 1
  shift 2
  while [ $# -gt 0 ]; do xdotool mousemove --sync "$1" "$2"; shift 2; done
  xdotool mouseup 1
}
Y1=$(row 0 $((H / 2)))
xdotool mousemove --sync 530 "$Y1" click --repeat 2 --delay 80 1
drag 530 "$Y1"  530 $((Y1 + 3))  527 "$(row 1 2)"  524 "$(row 1 $((H - 2)))"  521 "$(row 2 2)"  519 "$(row 2 $((H / 2)))"
# (2) b.js's "other" moved into a.js at the start of its (now empty) first line.
xdotool mousemove --sync 62 "$Y1" click --repeat 2 --delay 80 1
drag 62 "$Y1"  70 $((Y1 + 3))  150 $((Y1 + 3))  300 $((Y1 + 3))  450 $((Y1 + 3))  500 $((Y1 + 1))  517 $((Y1 + 1))
xdotool mousemove --sync 600 160 click 1
xdotool key --clearmodifiers ctrl+s
poll cmp -s "$WORK/a.js" "$WORK/want_a.js" ||
  { xxd "$WORK/a.js" >&2; fail "a.js: saved bytes differ from the text with both words moved in"; }
xdotool mousemove --sync 200 160 click 1
xdotool key --clearmodifiers ctrl+s
poll cmp -s "$WORK/b.js" "$WORK/want_b.js" ||
  { xxd "$WORK/b.js" >&2; fail "b.js: saved bytes differ from the text with its word moved out"; }
exit_through_menu "$WIN"
wait_exit
echo "PASS"
