#!/usr/bin/env bash
# The real program runs the script being edited with Shift+F7 under the
# console host, its output in the 出力 window: after the parameters dialog the
# window shows the command line, the script's echoed Japanese text and
# "終了コード 5 (<t> 秒)"; its text copied into a new script is saved and read back.
# E2E_SHOT=<dir>: capture-output.png (the 出力 window after the run).
source "$(dirname "$0")/e2e_lib.sh"
install_copy
DIR="$WORK/実行"
mkdir -p "$DIR"
printf '%s\r\n' 'WScript.Echo("日本語の出力です");' 'WScript.Echo("二行目");' \
  'new ActiveXObject("Scripting.FileSystemObject").CreateTextFile("done.txt", true).Close();' 'WScript.Quit(5);' |
  iconv -f UTF-8 -t CP932 > "$DIR/echo.js"
shot() { [ -z "${E2E_SHOT:-}" ] || shot_of_windows "$E2E_SHOT/$1" "${@:2}"; }
winpath() { echo "Z:$1" | tr / '\\'; }

start_app "$(winpath "$DIR/echo.js")"
WIN=$(wait_main_window)
poll title_has "$WIN" echo.js || fail "title '$(xdotool getwindowname "$WIN")' does not name echo.js"
xdotool key --clearmodifiers shift+F7
wait_focused_window "パラメータの指定" >/dev/null || exit 1
xdotool key Return
# The 出力 window, maximised, names itself in the main window's title, with
# "実行中" while the script runs; the script's marker says it has got that far.
poll test -f "$DIR/done.txt" || fail "the script did not run"
done_title() { case "$(xdotool getwindowname "$WIN")" in *"[出力]"*) return 0;; esac; return 1; }
poll done_title || fail "the run did not end: title '$(xdotool getwindowname "$WIN")'"
shot capture-output.png "$WIN"

OUTPUT=$(output_text "$WIN" "$WORK/output.txt") || exit 1
grep -q '^.*\\CScript.exe //nologo .*echo.js$' <<< "$OUTPUT" || fail "no command line in the output: $OUTPUT"
for want in "日本語の出力です" "二行目"; do
  grep -qxF "$want" <<< "$OUTPUT" || fail "no line '$want' in the output: $OUTPUT"
done
grep -qx '終了コード 5 ([0-9.]* 秒)' <<< "$OUTPUT" || fail "no exit code line in the output: $OUTPUT"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
