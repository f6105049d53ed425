#!/usr/bin/env bash
# Stopping a macro in the real program. With a.js changed and not saved, two
# endless macros run on b.js from the Macro menu: one that only loops, stopped
# with Escape in its マクロ実行中 window, and one that changes line 1 again and
# again, stopped with a click on the window's 中止 button once its changes show
# (the window comes up beside the main window's corner, without the focus).
# After each stop the window is gone, the helper process has ended and the main
# window has the keyboard again. The changes made so far stay (Ctrl+S saves
# them) and one Ctrl+Z takes back the whole run; a.js then saves byte for byte with
# what was typed, and the upper-case macro runs on b.js to its end. Then the
# same macro on a 30,000-line file of about 1 MiB: the saved file is the text
# with its ASCII letters in upper case (how long the run and the save took is
# printed).
# E2E_SHOT=<png>: the main window with the マクロ実行中 window over it while the
# endless macro runs.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
# No check as you type: its checker helper, kept between checks, would count as a macro helper.
write_ini 200 162 1080 862 AutoKanji=0 Language=0 CheckAsYouType=0
mkdir -p "$WORK/macro"
# Macro menu: Add, Organize, (separator), Language, (separator), loop, stream, upper.
printf 'while (true) {}\r\n' > "$WORK/macro/loop.js"
printf "for (var i = 0; ; i++) lineText(0) = 'n' + i;\r\n" > "$WORK/macro/stream.js"
printf 'var n = lineCount; for (var i = 0; i < n; i++) lineText(i) = lineText(i).toUpperCase();\r\n' \
  > "$WORK/macro/upper.js"
iconv -f UTF-8 -t CP932 > "$WORK/a.js" <<'JS'
// 保存していない変更
var name = "世界";
JS
sed -i 's/$/\r/' "$WORK/a.js"
printf 'abc\r\ndef\r\n' > "$WORK/b.js"

# The run is over: no マクロ実行中 window, no helper, and the main window has
# the keyboard back.
run_over() { ! window_titled "マクロ実行中" >/dev/null && ! helper_running && has_focus "$WIN"; }
# stopped <how>: the macro stopped that way, and the program goes on.
stopped() {
  poll run_over || fail "the macro did not stop with $1"
  kill -0 "$APP_PID" 2>/dev/null || fail "the program ended with the macro ($1)"
}
# saves_as <file> <wanted>: Ctrl+S writes exactly these bytes.
saves_as() {
  xdotool key --clearmodifiers ctrl+s
  poll cmp -s "$WORK/$1" "$2" || { xxd "$WORK/$1" | head; fail "$1 was not saved as expected"; }
}
# The ASCII letters of a CP932 file in upper case, the rest as it was.
upper_ascii() {
  python3 -c '
import sys
t = open(sys.argv[1], "rb").read().decode("cp932")
sys.stdout.buffer.write("".join(c.upper() if c.isascii() else c for c in t).encode("cp932"))' "$1"
}

start_app "Z:$WORK/a.js" "Z:$WORK/b.js"
WIN=$(wait_main_window)
poll title_has "$WIN" b.js || fail "title '$(xdotool getwindowname "$WIN")' does not name b.js"
xdotool key --clearmodifiers ctrl+F6
poll title_has "$WIN" a.js || fail "Ctrl+F6 did not activate a.js"
xdotool type --delay 20 'var typed = 1;'
xdotool key Return
{ printf 'var typed = 1;\r\n'; cat "$WORK/a.js"; } > "$WORK/want-a.js"
xdotool key --clearmodifiers ctrl+F6
poll title_has "$WIN" b.js || fail "Ctrl+F6 did not activate b.js"

# The loop, stopped with Escape. The window comes up without the focus: a
# click on it (beside its button) gives it the keys.
run_macro 3
poll window_titled "マクロ実行中" >/dev/null || fail "no マクロ実行中 window"
RUN=$(window_titled "マクロ実行中")
has_focus "$RUN" && fail "the マクロ実行中 window took the focus"
if [ -n "${E2E_SHOT:-}" ]; then
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  stable_shot "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}"
fi
helper_running || fail "no helper process runs the macro"
at_units "$RUN" 160 62 20 20
poll has_focus "$RUN" || fail "a click did not give the マクロ実行中 window the keys"
xdotool key Escape
stopped Escape

# The changing macro, stopped with a click on the button once its changes
# show: the first lines of b.js (right of the first letter, where the caret
# is) look different.
eval "$(xdotool getwindowgeometry --shell "$WIN")"
line1() { import -window root -crop "300x60+$((X + 56))+$((Y + 70))" rgb:- | md5sum; }
before=$(line1)
run_macro 4
poll window_titled "マクロ実行中" >/dev/null || fail "no マクロ実行中 window"
RUN=$(window_titled "マクロ実行中")
poll eval '[ "$(line1)" != "$before" ]' || fail "the macro's changes were not drawn"
at_units "$RUN" 160 62 80 45  # the centre of 中止
stopped "the button"
# What it changed so far stays; one Ctrl+Z takes back the whole run.
xdotool key --clearmodifiers ctrl+s
saved_n() { grep -qaE $'^n[0-9]+\r$' <(head -n 1 "$WORK/b.js") && [ "$(tail -n +2 "$WORK/b.js")" = $'def\r' ]; }
poll saved_n || { xxd "$WORK/b.js" | head; fail "b.js was not saved with the macro's changes"; }
printf 'abc\r\ndef\r\n' > "$WORK/want-b.js"
xdotool key --clearmodifiers ctrl+z
saves_as b.js "$WORK/want-b.js"

# The unsaved text of the other window is intact; a second macro runs normally.
xdotool key --clearmodifiers ctrl+F6
poll title_has "$WIN" a.js || fail "Ctrl+F6 did not activate a.js"
saves_as a.js "$WORK/want-a.js"
xdotool key --clearmodifiers ctrl+F6
poll title_has "$WIN" b.js || fail "Ctrl+F6 did not activate b.js"
upper_ascii "$WORK/want-b.js" > "$WORK/upper-b.js"
run_macro 5
saves_after_macro "$WORK/b.js" "$WORK/upper-b.js"
exit_through_menu "$WIN"
wait_exit

# 30,000 lines, almost the 1 MiB a file may have: every tenth line Japanese
# (no Latin letters, which JScript's toUpperCase would change in full width).
python3 - "$WORK/big.js" <<'PY'
import sys
lines = ['// 大きなファイルの%05d行目、かなと漢字' % i if i % 10 == 0 else
         'var s%05d = "Some Mixed Case";' % i for i in range(30000)]
open(sys.argv[1], 'wb').write('\r\n'.join(lines).encode('cp932') + b'\r\n')
PY
upper_ascii "$WORK/big.js" > "$WORK/upper-big.js"
start_app "Z:$WORK/big.js"
WIN=$(wait_main_window)
poll title_has "$WIN" big.js || fail "title '$(xdotool getwindowname "$WIN")' does not name big.js"
started=$(date +%s.%N)
run_macro 5
saves_after_macro "$WORK/big.js" "$WORK/upper-big.js"
echo "the macro on 30,000 lines and the save took $(awk "BEGIN { printf \"%.1f\", $(date +%s.%N) - $started }") s"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
