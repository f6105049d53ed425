#!/usr/bin/env bash
# The syntax check in the real program: Ctrl+F7 on a JScript and on a VBScript
# file with an error puts the caret at the error, so that typed text lands
# there (seen in the saved file).
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 0 0 760 520 AutoKanji=0
DIR="$WORK/docs"
mkdir -p "$DIR"
printf 'var a = 1;\r\nvar b = ;\r\n' > "$DIR/error.js"
printf 'var a = 1;\r\nvar b = X;\r\n' > "$WORK/want.js"
printf 'Dim a\r\nIf a Then\r\n' > "$DIR/error.vbs"
printf 'Dim a\r\nIf a Then\r\nX' > "$WORK/want.vbs"
for name in error.js error.vbs; do
  start_app "Z:$DIR/$name"
  WIN=$(wait_main_window)
  poll title_has "$WIN" "$name" || fail "title '$(xdotool getwindowname "$WIN")' does not name $name"
  ensure_focus "$WIN" "the main window"
  xdotool key --clearmodifiers ctrl+F7
  xdotool type --delay 20 'X'
  saved_now "$DIR/$name" "$WORK/want.${name##*.}" || fail "$name: X did not land at the error: $(od -c "$DIR/$name")"
  exit_through_menu "$WIN"
  wait_exit
done
echo "PASS"
