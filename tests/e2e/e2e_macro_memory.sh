#!/usr/bin/env bash
# A macro that writes without end, `for (var i = 0; ; i++) lineText(0) = "n" + i;`,
# left to run for 60 s in the real program: its memory stays bounded (the
# helper's stream waits for the editor, the run is one bounded step of the
# history). The peak working set seen is printed. Then 中止 stops it, the
# program lives, and one Ctrl+Z gives back the text before the run, saved
# byte for byte.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 200 162 1080 862 AutoKanji=0 Language=0
mkdir -p "$WORK/macro"
printf 'for (var i = 0; ; i++) lineText(0) = "n" + i;\r\n' > "$WORK/macro/stream.js"
printf 'abc\r\ndef\r\n' > "$WORK/b.js"
cp "$WORK/b.js" "$WORK/want-b.js"
LIMIT_KB=$((400 * 1024))  # far below the ~1.8 GB at which an unbounded run died

start_app "Z:$WORK/b.js"
WIN=$(wait_main_window)
poll title_has "$WIN" b.js || fail "title '$(xdotool getwindowname "$WIN")' does not name b.js"
run_macro 3
poll window_titled "マクロ実行中" >/dev/null || fail "no マクロ実行中 window"
RUN=$(window_titled "マクロ実行中")

# The program's process: the Wine process of ruvelto.exe.
app_rss() { ps -eo rss=,args= | awk -v w="$WORK/ruvelto.exe" 'index($0, w) && !/ruvelto-macro/ { print $1; exit }'; }
peak=0
for _ in $(seq 60); do
  rss=$(app_rss)
  [ -n "$rss" ] || fail "the program ended while the macro ran"
  [ "$rss" -gt "$peak" ] && peak=$rss
  [ "$rss" -lt "$LIMIT_KB" ] || fail "the program holds ${rss} KB after a while of writing"
  sleep 1  # one sample a second for the minute the macro is left to run
done
echo "peak working set of the program over 60 s of writing: $((peak / 1024)) MB"

at_units "$RUN" 160 62 80 45  # the centre of 中止
poll eval '! window_titled "マクロ実行中" >/dev/null' || fail "中止 did not stop the macro"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended with the macro"
ensure_focus "$WIN" "the main window"
# What it wrote stays until Ctrl+Z.
saved_n() { xdotool key --clearmodifiers ctrl+s; grep -qaE $'^n[0-9]{4,}\r$' <(head -n 1 "$WORK/b.js"); }
poll_within 60 saved_n || { xxd "$WORK/b.js" | head -3; fail "b.js was not saved with the macro's writes"; }
echo "the macro wrote up to $(head -n 1 "$WORK/b.js" | tr -d '\r')"
xdotool key --clearmodifiers ctrl+z
saves_after_macro "$WORK/b.js" "$WORK/want-b.js"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
