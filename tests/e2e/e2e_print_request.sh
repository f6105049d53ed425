#!/usr/bin/env bash
# Print requests that fail say why and end with a code a script can test:
# "ruvelto.exe /p" of a missing file shows that it is not found (the box's
# text also goes to the standard error) and exits 1, printing the other files
# named; a job the printer cannot write names the failed step with the
# system's reason and exits 2; a file that prints exits 0 and says nothing.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 0 0 760 520 AutoKanji=0
printf 'WScript.Echo("print request");\r\n' > "$WORK/print.js"
OUT=$(wine reg query 'HKCU\Software\Wine\Printing\Spooler' /v 'LPT1:' </dev/null 2>/dev/null |
      tr -d '\r' | sed -n 's/^ *LPT1: *REG_SZ *//p')
[ -n "$OUT" ] || fail "the prefix has no file printer (scripts/lib.sh install_printer)"
trap '[ -d "$OUT" ] && rmdir "$OUT"; cleanup' EXIT

# request <boxes> <args...>: runs a print request, answers that many message
# boxes with Return and waits for its end: the exit code in $rc (this shell
# must wait for it), what it wrote to the standard error in $said (UTF-8).
request() {
  local boxes=$1 _
  shift
  (cd "$WORK" && exec wine "$WORK/ruvelto.exe" "$@" >/dev/null 2>"$WORK/err" </dev/null) &
  APP_PID=$!
  for _ in $(seq "$boxes"); do
    poll window_titled Ruvelto >/dev/null || fail "no message box for $*"
    ensure_focus "$(window_titled Ruvelto)" "the message box"
    xdotool key Return
    poll eval '! window_titled Ruvelto >/dev/null' || fail "the message box stayed"
  done
  poll eval '! kill -0 "$APP_PID" 2>/dev/null' || fail "program did not exit"
  rc=0
  wait "$APP_PID" || rc=$?
  APP_PID=""
  said=$(iconv -f CP932 -t UTF-8 "$WORK/err" | grep '^Ruvelto: ' || true)
}

rm -f "$OUT"
request 1 /p "Z:$WORK/missing.js" "Z:$WORK/print.js"
[ "$rc" = 1 ] || fail "a missing file ended the request with $rc, not 1"
grep -q 'missing\.js が見つかりません' <<<"$said" || fail "the missing file was not named: $said"
grep -q "^%%EOF" "$OUT" 2>/dev/null || fail "the file after the missing one was not printed"

rm -f "$OUT"
mkdir "$OUT"  # the printer's file cannot be written
request 1 /p "Z:$WORK/print.js"
rmdir "$OUT"
[ "$rc" = 2 ] || fail "a failed job ended the request with $rc, not 2"
grep -q '印刷できませんでした。.*に失敗しました' <<<"$said" || fail "the failed step was not named: $said"
echo "note: $said" >&2

request 0 /p "Z:$WORK/print.js"
[ "$rc" = 0 ] && [ -z "$said" ] || fail "a printed file ended the request with $rc, saying: $said"
grep -q "^%%EOF" "$OUT" 2>/dev/null || fail "no complete print job in $OUT"
echo "PASS"
