#!/usr/bin/env bash
# The real program runs the script being edited under the console host:
# "CScript.exeで実行" writes __script.bat to the user's temporary folder and
# starts it in a console window; the script (a .js named with a blank, in a
# folder named with a blank and Japanese characters, beside a planted
# CScript.bat, CScript.exe and WScript.exe that never run) writes its arguments
# to a marker file; a key closes the console. The script parameters reach the
# script as typed, whatever the batch processor reads in them; the wrappers are
# gone once the program has exited.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
printf '[Settings]\r\nScriptParameter=one two\r\n' > "$WORK/ruvelto.ini"
DIR="$WORK/my 作業 dir"
mkdir -p "$DIR"
plant_hosts "$DIR"
printf '%s\r\n' 'var fso = new ActiveXObject("Scripting.FileSystemObject");' \
  'var f = fso.CreateTextFile("marker.txt", true), s = "ran";' \
  'for (var i = 0; i < WScript.Arguments.length; i++) s += "[" + WScript.Arguments.Item(i) + "]";' \
  'f.WriteLine(s); f.Close(); WScript.Echo(s);' > "$DIR/run me.js"
start_app "Z:$DIR/run me.js"
WIN=$(wait_main_window)
poll title_has "$WIN" "run me.js" || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"
console() { xdotool search --onlyvisible --name '__script[0-9]*\.bat' 2>/dev/null | head -n 1 | grep .; }
# run_console <typed or -> <received>: the console run with these script
# parameters typed into the dialog (-: as they are) writes <received>.
run_console() {
  rm -f "$DIR/marker.txt"
  xdotool key --clearmodifiers alt+c
  wait_menu "Command"
  xdotool key c
  wait_focused_window "パラメータの指定" >/dev/null || exit 1
  if [ "$1" != - ]; then
    xdotool key Tab Home shift+End BackSpace
    xdotool type --delay 20 "$1"
  fi
  xdotool key Return
  poll marker_is "ran$2" || fail "CScript '$1': marker '$(cat "$DIR/marker.txt" 2>/dev/null)'"
  # The console window, titled with the wrapper's path, waits at PAUSE until a key reaches it.
  poll console >/dev/null || fail "no console window"
  title_has "$(console)" '\Temp\__script' || fail "wrapper not in the temporary folder: $(xdotool getwindowname "$(console)")"
  poll has_focus "$(console)" || fail "the console did not get the focus"
  xdotool key space
  poll eval '! console >/dev/null' || fail "the console stayed open after a key"
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  xdotool mousemove $((X + 200)) $((Y + 200)) click 1  # back to the editor
  poll has_focus "$WIN" || fail "main window did not get the focus back"
}
wrappers() { ls "$(winepath -u "$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')")" | grep '^__script' || true; }
BEFORE=$(wrappers)  # of other runs in this prefix
run_console - "[one][two]"
while IFS='~' read -r -u 3 typed received; do
  run_console "$typed" "$received"
done 3<<'TABLE'
one "two three" 50% a&b~[one][two three][50%][a&b]
%~[%]
&~[&]
|~[|]
<~[<]
>~[>]
^~[^]
"x&y ^" <%PATH%>~[x&y ^][<%PATH%>]
TABLE
ls "$WORK" | grep -q '__script' && fail "a wrapper was written beside the program"
exit_through_menu "$WIN"
wait_exit
[ "$(wrappers)" = "$BEFORE" ] || fail "wrappers left after the program exited: $(wrappers)"
echo "PASS"
