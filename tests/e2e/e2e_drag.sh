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
# x 520; the first line at y 109, the lines 12 pixels apart.
# (1) In a.js: "line1" (double-click) pressed and moved in steps to the start of line 3.
drag() {  # drag x y x2 y2 ... : press at the first point, move through the rest, release
  xdotool mousedown 1
  shift 2
  while [ $# -gt 0 ]; do xdotool mousemove --sync "$1" "$2"; shift 2; done
  xdotool mouseup 1
}
xdotool mousemove --sync 530 109 click --repeat 2 --delay 80 1
drag 530 109  530 112  527 118  524 124  521 130  519 133
# (2) b.js's "other" moved into a.js at the start of its (now empty) first line.
xdotool mousemove --sync 62 109 click --repeat 2 --delay 80 1
drag 62 109  70 112  150 112  300 112  450 112  500 110  517 110
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
