#!/usr/bin/env bash
# The real program's script view from the keyboard: Ctrl+G goes to a line,
# Ctrl+Delete removes the rest of it, Enter indents the new line (one tab more
# after an opening brace) and a closing brace typed next moves back; Shift+F10
# and the Apps key open the shortcut menu at the mouse. Ctrl+S saves, and the
# bytes on disk are what the keys made. With E2E_SHOT=<png> the window with
# the shortcut menu open is kept as a picture.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
# A 760x520 main window at the top-left corner, auto-indent on, JScript colouring.
write_ini 0 0 760 520 AutoKanji=0 AutoIndent=1 Stress=1
printf 'function f() {\r\n\tvar a = 1; // remove\r\n}\r\n' > "$WORK/view.js"
printf 'function f() {\r\n\tvar a = 1;\r\n\tif (a) {\r\n\t}\r\n}\r\n' > "$WORK/want.js"
start_app "Z:$WORK/view.js"
WIN=$(wait_main_window)
poll title_has "$WIN" view.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"

xdotool key --clearmodifiers ctrl+g
wait_focused_window "行ジャンプ" >/dev/null || exit 1
xdotool type --delay 30 '2'
xdotool key Return
poll eval '! window_titled "行ジャンプ" >/dev/null' || fail "the go-to-line dialog stayed open"
poll has_focus "$WIN" || fail "the main window did not get the focus back"
# After "\tvar a = 1;" the rest of the line goes; then a new block.
xdotool key --clearmodifiers End
for _ in $(seq 10); do xdotool key --clearmodifiers Left; done
xdotool key --clearmodifiers ctrl+Delete
xdotool key Return
xdotool type --delay 30 'if (a) {'
xdotool key Return
xdotool type --delay 30 '}'

# The shortcut menu from the keyboard, with the mouse over the text.
eval "$(xdotool getwindowgeometry --shell "$WIN")"
xdotool mousemove $((X + 300)) $((Y + 200))
xdotool key --clearmodifiers shift+F10
wait_menu "Shift+F10"
[ -z "${E2E_SHOT:-}" ] || stable_shot "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}"
xdotool key Escape
wait_menu_closed "Shift+F10"
xdotool key --clearmodifiers Menu
wait_menu "Apps key"
xdotool key Escape
wait_menu_closed "Apps key"
poll has_focus "$WIN" || fail "the main window did not get the focus back after the menu"

xdotool key --clearmodifiers ctrl+s
poll cmp -s "$WORK/view.js" "$WORK/want.js" ||
  { xxd "$WORK/view.js" | head; fail "saved bytes differ from what the keys should make"; }
exit_through_menu "$WIN"
wait_exit
echo "PASS"
