#!/usr/bin/env bash
# Print requests that fail say why and end with a code a script can test:
# "ruvelto.exe /p" of a missing file shows that it is not found (and writes
# the box's text to the standard error) and exits 1, printing the other files
# named; a job the printer cannot write names the failed step with the
# system's reason and exits 2; a file that prints exits 0 and says nothing.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 0 0 760 520 AutoKanji=0
printf 'WScript.Echo("print request");\r\n' > "$WORK/print.js"

OUT=$(wine reg query 'HKCU\Software\Wine\Printing\Spooler' /v 'LPT1:' </dev/null 2>/dev/null |
      tr -d '\r' | sed -n 's/^ *LPT1: *REG_SZ *//p')
[ -n "$OUT" ] || fail "the prefix has no file printer (scripts/lib.sh install_printer)"
restore_printer() { [ -d "$OUT" ] && rmdir "$OUT" 2>/dev/null; true; }
trap 'restore_printer; cleanup' EXIT

# print_request <name> <args...>: starts a print request, its standard error
# kept in $WORK/<name>.err.
print_request() {
  local name=$1
  shift
  (cd "$WORK" && exec wine "$WORK/ruvelto.exe" "$@" >/dev/null 2>"$WORK/$name.err" </dev/null) &
  APP_PID=$!
}
# answer_box <what>: waits for the request's message box and presses Return.
answer_box() {
  poll window_titled "Ruvelto" >/dev/null || fail "no message box ($1)"
  ensure_focus "$(window_titled Ruvelto)" "the message box ($1)"
  xdotool key Return
  poll eval '! window_titled Ruvelto >/dev/null' || fail "the message box stayed ($1)"
}
# wait_exit_code: waits for the program to end; its exit code in $rc (not in a
# subshell: only this shell can wait for it).
wait_exit_code() {
  poll eval '! kill -0 "$APP_PID" 2>/dev/null' || fail "program did not exit"
  rc=0
  wait "$APP_PID" || rc=$?
  APP_PID=""
}
# said <name>: what the request wrote to its standard error, in UTF-8.
said() { iconv -f CP932 -t UTF-8 "$WORK/$1.err" | grep '^Ruvelto: ' || true; }

# A missing file, then one that prints: the first is reported, the second printed.
rm -f "$OUT"
print_request missing /p "Z:$WORK/missing.js" "Z:$WORK/print.js"
answer_box "missing file"
wait_exit_code
[ "$rc" = 1 ] || fail "a missing file ended the request with $rc, not 1"
echo "note: $(said missing)" >&2
said missing | grep -q 'missing\.js が見つかりません' || fail "the missing file was not named: $(said missing)"
poll eval 'grep -q "^%%EOF" "$OUT" 2>/dev/null' || fail "the file after the missing one was not printed"

# The printer's file cannot be written: the job fails at a named step.
rm -f "$OUT"
mkdir "$OUT"
print_request job /p "Z:$WORK/print.js"
answer_box "failed job"
wait_exit_code
restore_printer
[ "$rc" = 2 ] || fail "a failed job ended the request with $rc, not 2"
echo "note: $(said job)" >&2
said job | grep -q '印刷できませんでした。.*に失敗しました' || fail "the failed step was not named: $(said job)"

# A file that prints: exit code 0, nothing said.
print_request printed /p "Z:$WORK/print.js"
wait_exit_code
[ "$rc" = 0 ] || fail "a printed file ended the request with $rc"
[ -z "$(said printed)" ] || fail "a printed file said: $(said printed)"
poll eval 'grep -q "^%%EOF" "$OUT" 2>/dev/null' || fail "no complete print job in $OUT"
echo "PASS"
