#!/usr/bin/env bash
# A macro that asks without end, `for (;;) alert("loop");`, in the real
# program: once a question is answered the マクロ実行中 window comes up beside
# the questions (within a second or two), usable while the next question shows;
# Esc on it ends the macro and closes the open question. The program lives on:
# the text typed before the run is saved byte for byte.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
# No check as you type: its checker helper, kept between checks, would count as a macro helper.
write_ini 200 162 1080 862 AutoKanji=0 Language=0 CheckAsYouType=0
mkdir -p "$WORK/macro"
printf 'for (;;) alert("loop");\r\n' > "$WORK/macro/loop.js"
printf 'abc\r\n' > "$WORK/a.js"
# The question's box: a window of the program titled with its name only.
question() { window_titled "Ruvelto"; }

start_app "Z:$WORK/a.js"
WIN=$(wait_main_window)
poll title_has "$WIN" a.js || fail "title '$(xdotool getwindowname "$WIN")' does not name a.js"
xdotool type --delay 20 'x'
run_macro 3

poll question >/dev/null || fail "the macro's question did not show"
# answer: Return on the question that has the keys; true once the window is up.
answer() {
  window_titled "マクロ実行中" >/dev/null && return 0
  local q
  q=$(question) && has_focus "$q" && xdotool key Return
  return 1
}
poll_within 30 answer || fail "no マクロ実行中 window within 3 s of answering"
RUN=$(window_titled "マクロ実行中")
poll question >/dev/null || fail "the loop asks no more"
at_units "$RUN" 160 62 20 20  # beside its button
poll has_focus "$RUN" || fail "a click did not give the マクロ実行中 window the keys"
xdotool key Escape
over() { ! window_titled "マクロ実行中" >/dev/null && ! question >/dev/null && ! helper_running; }
poll over || fail "Esc did not end the macro and its question"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended with the macro"
ensure_focus "$WIN" "the main window"
printf 'xabc\r\n' > "$WORK/want-a.js"
saves_after_macro "$WORK/a.js" "$WORK/want-a.js"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
