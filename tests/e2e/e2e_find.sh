#!/usr/bin/env bash
# The real program opens a file, Ctrl+H brings up the Replace dialog, which
# takes the find and replacement texts from the keyboard (the message loop
# passes the dialog its keys) and Replace All with Alt+A; Escape closes it,
# Ctrl+S saves, and the bytes on disk are the plain replacement of the file.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
printf '[Settings]\r\nAutoKanji=0\r\n' > "$WORK/ruvelto.ini"
# CP932 text: a trail byte 5C inside each double-byte character (表), the find text elsewhere.
printf 'var x = 1; // \x95\x5c\r\nx = x + 1;\r\nWScript.Echo(x);\r\n' > "$WORK/find.js"
printf 'var count = 1; // \x95\x5c\r\ncount = count + 1;\r\nWScript.Echo(count);\r\n' > "$WORK/want.js"
start_app "Z:$WORK/find.js"
WIN=$(wait_main_window)
poll title_has "$WIN" find.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"
# Find what: "x", every one of them; replace with: "count".
fill_replace_dialog 'x' 'count'
xdotool key --clearmodifiers alt+a
xdotool key Escape
poll eval '! window_titled "文字列の置換" >/dev/null' || fail "the Replace dialog stayed open"
poll has_focus "$WIN" || fail "the main window did not get the focus back"
xdotool key --clearmodifiers ctrl+s
poll cmp -s "$WORK/find.js" "$WORK/want.js" ||
  { cmp "$WORK/find.js" "$WORK/want.js" || true; xxd "$WORK/find.js" | head; fail "saved bytes differ from the replaced text"; }
exit_through_menu "$WIN"
wait_exit
echo "PASS"
