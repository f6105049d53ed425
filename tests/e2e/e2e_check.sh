#!/usr/bin/env bash
# The syntax check in the real program. Ctrl+F7 on a JScript and on a VBScript
# file with an error puts the caret at the error once its answer comes (the
# error line's red mark shows), so that typed text lands there (seen in the
# saved file). Then, checked as typed: an error typed into a clean script gets
# the mark after the pause, and the caret stays where the typing left it.
# E2E_SHOT=<dir>: syntax-check.png (the marked line, its wave and the status
# text of Ctrl+F7).
source "$(dirname "$0")/e2e_lib.sh"
install_copy
DIR="$WORK/docs"
mkdir -p "$DIR"
# The pure red pixels of a window: the error's gutter mark and its wave.
red_pixels() {
  import -window "$1" png:- 2>/dev/null |
    convert png:- -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' -format '%[fx:int(mean*w*h)]' info:
}
red_grew() { [ "$(red_pixels "$1")" -gt $(($2 + 100)) ]; }

write_ini 0 0 760 520 AutoKanji=0 CheckAsYouType=0
printf 'var a = 1;\r\nvar b = ;\r\n' > "$DIR/error.js"
printf 'var a = 1;\r\nvar b = X;\r\n' > "$WORK/want.js"
printf 'Dim a\r\nIf a Then\r\n' > "$DIR/error.vbs"
printf 'Dim a\r\nIf a Then\r\nX' > "$WORK/want.vbs"
for name in error.js error.vbs; do
  start_app "Z:$DIR/$name"
  WIN=$(wait_main_window)
  poll title_has "$WIN" "$name" || fail "title '$(xdotool getwindowname "$WIN")' does not name $name"
  ensure_focus "$WIN" "the main window"
  before=$(red_pixels "$WIN")
  xdotool key --clearmodifiers ctrl+F7
  poll red_grew "$WIN" "$before" || fail "$name: no error mark after Ctrl+F7"
  xdotool type --delay 20 'X'
  saved_now "$DIR/$name" "$WORK/want.${name##*.}" || fail "$name: X did not land at the error: $(od -c "$DIR/$name")"
  exit_through_menu "$WIN"
  wait_exit
done

# Checked as typed (the switch on by default).
write_ini 0 0 760 520 AutoKanji=0
iconv -f UTF-8 -t CP932 > "$DIR/greet.js" <<'JS'
// 挨拶を表示するスクリプト
var shell = WScript.CreateObject("WScript.Shell");
var name = "世界";
WScript.Echo("こんにちは、" + name + "！");
JS
sed -i 's/$/\r/' "$DIR/greet.js"
{ cat "$DIR/greet.js"; printf 'WScript.Echo(name +);Z'; } > "$WORK/want-greet.js"
start_app "Z:$DIR/greet.js"
WIN=$(wait_main_window)
poll title_has "$WIN" greet.js || fail "title '$(xdotool getwindowname "$WIN")' does not name greet.js"
ensure_focus "$WIN" "the main window"
before=$(red_pixels "$WIN")
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 20 'WScript.Echo(name +);'
poll red_grew "$WIN" "$before" || fail "no error mark after typing an error"
xdotool type --delay 20 'Z'
saved_now "$DIR/greet.js" "$WORK/want-greet.js" || fail "the caret moved: $(od -c "$DIR/greet.js" | tail -3)"
if [ -n "${E2E_SHOT:-}" ]; then
  # The picture without the proof's Z, with Ctrl+F7's words in the status bar.
  xdotool key --clearmodifiers BackSpace ctrl+F7
  poll red_grew "$WIN" "$before" || fail "the mark went away"
  stable_shot "$E2E_SHOT/syntax-check.png" -crop 760x520+0+0
  xdotool key --clearmodifiers ctrl+s
fi
exit_through_menu "$WIN"
wait_exit
[ "$(ini Settings CheckAsYouType)" = "<absent>" ] || fail "CheckAsYouType written though unchanged: $(ini Settings CheckAsYouType)"
echo "PASS"
