#!/usr/bin/env bash
# The real program runs the script being edited under the console host:
# "CScript.exeで実行" writes __script.bat beside the program and starts it in a
# console window; the script (a .js named with a blank, in a folder named with
# a blank and Japanese characters) writes its arguments to a marker file; a
# key closes the console; the wrapper is gone once the program has exited.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
printf '[Settings]\r\nScriptParameter=one two\r\n' > "$WORK/ruvelto.ini"
DIR="$WORK/my 作業 dir"
mkdir -p "$DIR"
printf '%s\r\n' 'var fso = new ActiveXObject("Scripting.FileSystemObject");' \
  'var f = fso.CreateTextFile("marker.txt", true), s = "ran " + WScript.Arguments.length;' \
  'for (var i = 0; i < WScript.Arguments.length; i++) s += " " + WScript.Arguments.Item(i);' \
  'f.WriteLine(s); f.Close(); WScript.Echo(s);' > "$DIR/run me.js"
start_app "Z:$DIR/run me.js"
WIN=$(wait_main_window)
poll title_has "$WIN" "run me.js" || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"
xdotool key --clearmodifiers alt+c
wait_menu "Command"
xdotool key c
wait_focused_window "パラメータの指定" >/dev/null || exit 1
xdotool key Return
poll marker_is "ran 2 one two" || fail "CScript: marker '$(cat "$DIR/marker.txt" 2>/dev/null)'"
[ "$(tr -d '\r' < "$WORK/__script.bat")" = "$(printf 'CScript "run me.js" one two\nPAUSE')" ] ||
  fail "wrapper: $(cat "$WORK/__script.bat")"
# The console window waits at PAUSE until a key reaches it.
console() { xdotool search --onlyvisible --name '__script\.bat' 2>/dev/null | head -n 1 | grep .; }
poll console >/dev/null || fail "no console window"
poll has_focus "$(console)" || fail "the console did not get the focus"
xdotool key space
poll eval '! console >/dev/null' || fail "the console stayed open after a key"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
xdotool mousemove $((X + 200)) $((Y + 200)) click 1  # back to the editor
exit_through_menu "$WIN"
wait_exit
[ ! -e "$WORK/__script.bat" ] || fail "__script.bat left after the program exited"
echo "PASS"
