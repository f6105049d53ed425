#!/usr/bin/env bash
# The real program with a 200,001-line script in the default font: Ctrl+G
# takes the six-digit number of the last line, and the text typed there is
# saved on that line. With E2E_SHOT=<png> the window at the end of the text -
# identifiers with underscores, six-digit line numbers, the status bar's line -
# is kept as a picture.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
# A 760x520 main window at the top-left corner, JScript colouring, the
# editor font left at its default.
write_ini 0 0 760 520 AutoKanji=0 AutoIndent=0 Stress=1
python3 - "$WORK/long.js" "$WORK/want.js" <<'PY'
import sys
code = [
    "// the last lines of a long script",
    "var log_file_name = FileNameOf(run_log);",
    "var my_var_name = 0;",
    "function write_run_log(text_line) {",
    "\tvar out_file = fso_object.OpenTextFile(log_file_name, 8, true);",
    "\tout_file.WriteLine(text_line);",
    "\tout_file.Close();",
    "\tmy_var_name += 1;",
    "}",
    "write_run_log(start_up_text);",
    "main_loop();",
]
lines = [""] * (200001 - len(code)) + code
open(sys.argv[1], "wb").write("\r\n".join(lines).encode("ascii"))
lines[-1] = "// " + lines[-1]
open(sys.argv[2], "wb").write("\r\n".join(lines).encode("ascii"))
PY
start_app "Z:$WORK/long.js"
WIN=$(wait_main_window)
poll title_has "$WIN" long.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"

xdotool key --clearmodifiers ctrl+g
wait_focused_window "行ジャンプ" >/dev/null || exit 1
xdotool type --delay 30 '200001'
xdotool key Return
poll eval '! window_titled "行ジャンプ" >/dev/null' || fail "the go-to-line dialog refused 200001"
poll has_focus "$WIN" || fail "the main window did not get the focus back"
if [ -n "${E2E_SHOT:-}" ]; then
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  stable_shot "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}"
fi
xdotool type --delay 30 '// '
xdotool key --clearmodifiers ctrl+s
poll cmp -s "$WORK/long.js" "$WORK/want.js" ||
  { tail -c 120 "$WORK/long.js" | xxd; fail "the typed text is not at the start of line 200001"; }
exit_through_menu "$WIN"
wait_exit
echo "PASS"
