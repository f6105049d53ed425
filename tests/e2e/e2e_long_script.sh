#!/usr/bin/env bash
# A 200,001-line script in the default font: Ctrl+G takes the six-digit
# number of the last line, and what is typed there is saved on it. With
# E2E_SHOT=<png> the window at the end of the text is kept as a picture.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 0 0 760 520 AutoKanji=0 AutoIndent=0 Stress=1
python3 - "$WORK/long.js" "$WORK/want.js" <<'PY'
import sys
code = """// the last lines of a long script
var log_file_name = FileNameOf(run_log);
var my_var_name = 0;
function write_run_log(text_line) {
\tvar out_file = fso_object.OpenTextFile(log_file_name, 8, true);
\tout_file.WriteLine(text_line);
\tout_file.Close();
\tmy_var_name += 1;
}
write_run_log(start_up_text);
main_loop();""".split("\n")
lines = [""] * (200001 - len(code)) + code
open(sys.argv[1], "wb").write("\r\n".join(lines).encode())
open(sys.argv[2], "wb").write("\r\n".join(lines[:-1] + ["// " + lines[-1]]).encode())
PY
start_app "Z:$WORK/long.js"
WIN=$(wait_main_window)
xdotool key --clearmodifiers ctrl+g
wait_focused_window "行ジャンプ" >/dev/null || exit 1
xdotool type --delay 30 '200001'
xdotool key Return
poll eval '! window_titled "行ジャンプ" >/dev/null' || fail "the go-to-line dialog refused 200001"
poll has_focus "$WIN" || fail "the main window did not get the focus back"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ -z "${E2E_SHOT:-}" ] || stable_shot "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}"
xdotool type --delay 30 '// '
xdotool key --clearmodifiers ctrl+s
poll cmp -s "$WORK/long.js" "$WORK/want.js" || fail "the typed text is not at the start of line 200001"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
