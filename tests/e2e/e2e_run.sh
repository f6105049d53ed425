#!/usr/bin/env bash
# The real program runs the script being edited under the system's script
# hosts: a .vbs whose name has a blank, in a folder whose name has a blank and
# Japanese characters, started in its own folder, writes a marker file there
# with its arguments (a message box would wait for a click). F7 runs it with
# the default host; "WScript.exeで実行" with the parameters typed into the
# dialog, which also go to the settings file; a WScript.exe planted beside the
# script never runs, the system's host does. Then a script saved as UTF-8,
# read as it is (detection off, the default): F7 first asks, Return takes the default No
# and nothing runs; asked again, Yes runs it once.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
DIR="$WORK/my 作業 dir"
mkdir -p "$DIR"
plant_hosts "$DIR"
printf '%s\r\n' 'Set fso = CreateObject("Scripting.FileSystemObject")' \
  'Set f = fso.CreateTextFile("marker.txt", True)' 's = "ran " & WScript.Arguments.Count' \
  'For i = 0 To WScript.Arguments.Count - 1' 's = s & " " & WScript.Arguments.Item(i)' 'Next' \
  'f.WriteLine s' 'f.Close' > "$DIR/run me.vbs"
start_app "Z:$DIR/run me.vbs"
WIN=$(wait_main_window)
poll title_has "$WIN" "run me.vbs" || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"

xdotool key F7
poll marker_is "ran 0" || fail "F7: marker '$(cat "$DIR/marker.txt" 2>/dev/null)'"
rm "$DIR/marker.txt"

xdotool key --clearmodifiers alt+c
wait_menu "Command"
xdotool key w
wait_focused_window "パラメータの指定" >/dev/null || exit 1
xdotool type --delay 20 '//nologo'
xdotool key Tab
xdotool type --delay 20 'one two'
xdotool key Return
# Wine's window host hands options after the script's name on to the script.
wscript_ran() { marker_is "ran 2 one two" || marker_is "ran 3 //nologo one two"; }
poll wscript_ran || fail "WScript: marker '$(cat "$DIR/marker.txt" 2>/dev/null)'"
[ "$(ini Settings HostParameter)" = "//nologo" ] || fail "HostParameter not stored"
[ "$(ini Settings ScriptParameter)" = "one two" ] || fail "ScriptParameter not stored"

poll has_focus "$WIN" || fail "main window did not get the focus back"
exit_through_menu "$WIN"
wait_exit

printf '%s\r\n' "' 日本語のコメント" 'Set fso = CreateObject("Scripting.FileSystemObject")' \
  'Set f = fso.OpenTextFile("runs.txt", 8, True)' 'f.WriteLine "ran"' 'f.Close' > "$DIR/utf8 script.vbs"
start_app "Z:$DIR/utf8 script.vbs"
WIN=$(wait_main_window)
poll title_has "$WIN" "utf8 script.vbs" || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"
box_focused() { [ "$(xdotool getwindowname "$(xdotool getwindowfocus)" 2>/dev/null)" = Ruvelto ]; }
xdotool key F7
poll box_focused || fail "F7 on a UTF-8 script asked nothing"
xdotool key Return
poll has_focus "$WIN" || fail "main window did not get the focus back after No"
xdotool key F7
poll box_focused || fail "the second F7 asked nothing"
xdotool key y
ran_once() { [ -f "$DIR/runs.txt" ] && [ "$(tr -d '\r' < "$DIR/runs.txt")" = ran ]; }
poll ran_once || fail "Yes: runs.txt '$(cat "$DIR/runs.txt" 2>/dev/null)'"
# Script hosts of this test's Wine prefix (other programs on the machine may run their own).
hosts_running() {
  local p
  for p in $(pgrep -f 'wscript\.exe'); do
    tr '\0' '\n' < "/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
poll eval '! hosts_running' || fail "a script host is still running"
ran_once || fail "No ran the script too: runs.txt '$(cat "$DIR/runs.txt")'"
poll has_focus "$WIN" || fail "main window did not get the focus back"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
