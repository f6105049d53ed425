#!/usr/bin/env bash
# The real program writes the encoded copy of a .js through the registered
# stand-in encoder: "エンコード ファイル出力" proposes the .jse beside it, the
# save dialog takes it, the box reports it, and the system's console host runs
# the .jse with the same output as the .js. Then a .wsf job with an element
# closed by "/>" and an inline script, encoded to another name: the first
# element comes out byte for byte, the inline body encoded, its language marked.
# E2E_SHOT=<png>: the question before the copy would replace the open script's
# own file, over the main window.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
DIR="$WORK/my 作業 dir"
mkdir -p "$DIR"
printf '%s\r\n' 'var s = "a<b>@";' 'for (var i = 0; i < 70; i++) s += i % 10;' 'WScript.Echo(s);' > "$DIR/enc me.js"
other_window() {  # a titled window of the program other than the main window
  local id name
  for id in $(app_windows); do
    name=$(xdotool getwindowname "$id" 2>/dev/null)
    [ -n "$name" ] && [ "$id" != "$WIN" ] && { echo "$id"; return 0; }
  done
  return 1
}
# encode_from_menu <file>: starts the program on the file in $DIR and chooses
# the encode command; the save dialog that opens has the focus ($WIN, $SAVE).
encode_from_menu() {
  start_app "Z:$DIR/$1"
  WIN=$(wait_main_window)
  poll title_has "$WIN" "$1" || fail "title '$(xdotool getwindowname "$WIN")' does not name $1"
  xdotool key --clearmodifiers alt+c
  wait_menu "Command"
  xdotool key e
  poll other_window >/dev/null || fail "no save dialog for $1"
  SAVE=$(other_window)
  ensure_focus "$SAVE" "the save dialog of $1"
}
encode_from_menu "enc me.js"
# The script's own file as the name: after the save dialog's own question,
# the program asks with No the default, and Return goes back to the dialog
# with the file untouched.
cp "$DIR/enc me.js" "$WORK/plain.js"
xdotool key Home shift+End
xdotool type --delay 20 'enc me.js'
xdotool key Return
wait_focused_window "エラー" >/dev/null  # the dialog's own: the file exists, write over it?
xdotool key y
ASK=$(wait_focused_window Ruvelto)
[ -z "${E2E_SHOT:-}" ] || shot_of_windows "$E2E_SHOT" "$WIN" "$ASK"
xdotool key Return  # No, the default
poll eval '! xdotool getwindowname "$ASK" >/dev/null 2>&1' || fail "the question over the script's file stayed"
poll other_window >/dev/null || fail "No did not go back to the save dialog"
SAVE=$(other_window)
ensure_focus "$SAVE" "the save dialog again"
cmp -s "$DIR/enc me.js" "$WORK/plain.js" || fail "No wrote over the script's file"
xdotool key Return
written() { [ -f "$DIR/enc me.jse" ]; }
poll written || fail "no .jse beside the script: $(ls "$DIR")"
head -c 4 "$DIR/enc me.jse" | grep -q '#@~^' || fail "not in the encoded form: $(head -c 40 "$DIR/enc me.jse")"
# The report: a box captioned with the program's name takes the focus.
wait_focused_window Ruvelto >/dev/null
xdotool key Return
plain=$(cd "$DIR" && wine cscript //nologo "enc me.js" </dev/null 2>&1)
coded=$(cd "$DIR" && wine cscript //nologo "enc me.jse" </dev/null 2>&1)
[ -n "$plain" ] && [ "$plain" = "$coded" ] || fail "the .jse printed '$coded', the .js '$plain'"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
xdotool mousemove $((X + 200)) $((Y + 200)) click 1  # back to the editor
exit_through_menu "$WIN"
wait_exit

HEAD=$'<job id="t">\r\n<script language="JScript" src="lib.js"/>\r\n<script language="JScript">'
TAIL=$'</script>\r\n</job>\r\n'
printf '%s%s%s' "$HEAD" 'WScript.Echo(1 < 2);' "$TAIL" > "$DIR/job.wsf"
encode_from_menu job.wsf
# The dialog proposes job.encoded.wsf beside the job; the copy goes to another name.
xdotool key Home shift+End
xdotool type --delay 20 'out.wsf'
xdotool key Return
poll eval '[ -f "$DIR/out.wsf" ]' || fail "no out.wsf beside the job: $(ls "$DIR")"
wait_focused_window Ruvelto >/dev/null
xdotool key Return
python3 - "$DIR/out.wsf" "$HEAD" "$TAIL" <<'PY' || fail "out.wsf: $(cat "$DIR/out.wsf")"
import re, sys
out = open(sys.argv[1], 'rb').read()
head = sys.argv[2].replace('language="JScript">', 'language="JScript.Encode">').encode()
tail = sys.argv[3].encode()
assert out.startswith(head) and out.endswith(tail), out
assert re.fullmatch(rb'#@~\^[A-Za-z0-9+/]{6}==[^<>\r\n]*[A-Za-z0-9+/]{6}==\^#~@', out[len(head):-len(tail)]), out
PY
[ "$(cat "$DIR/job.wsf")" = "$(printf '%s%s%s' "$HEAD" 'WScript.Echo(1 < 2);' "$TAIL")" ] || fail "the job itself changed"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
xdotool mousemove $((X + 200)) $((Y + 200)) click 1  # back to the editor
exit_through_menu "$WIN"
wait_exit
echo "PASS"
