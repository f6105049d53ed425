#!/usr/bin/env bash
# Print requests say why (in a box, and on the standard error) and exit with a code:
# a missing file 1 (the other files still print), a job the printer cannot write
# 2 (the failed step and the system's reason), a printed file 0, saying nothing.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 0 0 760 520 AutoKanji=0
printf 'WScript.Echo("print request");\r\n' > "$WORK/print.js"
OUT=$(wine reg query 'HKCU\Software\Wine\Printing\Spooler' /v 'LPT1:' </dev/null 2>/dev/null |
      tr -d '\r' | sed -n 's/^ *LPT1: *REG_SZ *//p')
[ -n "$OUT" ] || fail "the prefix has no file printer (scripts/lib.sh install_printer)"
trap '[ -d "$OUT" ] && rmdir "$OUT"; cleanup' EXIT

# request <boxes> <args...>: a print request, that many boxes answered; its exit
# code in $rc (this shell must wait for it), its standard error in $said.
request() {
  local boxes=$1 _
  shift
  (cd "$WORK" && exec wine "$WORK/ruvelto.exe" "$@" >/dev/null 2>"$WORK/err" </dev/null) &
  APP_PID=$!
  for _ in $(seq "$boxes"); do
    poll window_titled Ruvelto >/dev/null || fail "no message box for $*"
    ensure_focus "$(window_titled Ruvelto)" "the message box"
    xdotool key Return
  done
  poll eval '! kill -0 "$APP_PID" 2>/dev/null' || fail "program did not exit"
  rc=0
  wait "$APP_PID" || rc=$?
  APP_PID=""
  said=$(iconv -f CP932 -t UTF-8 "$WORK/err" | grep '^Ruvelto: ' || true)
}

rm -f "$OUT"
request 1 /p "Z:$WORK/missing.js" "Z:$WORK/print.js"
[ "$rc" = 1 ] && grep -q 'missing\.js が見つかりません' <<<"$said" || fail "missing file: exit $rc, said: $said"
grep -q "^%%EOF" "$OUT" 2>/dev/null || fail "the file after the missing one was not printed"
rm -f "$OUT" && mkdir "$OUT"  # the printer's file cannot be written
request 1 /p "Z:$WORK/print.js"
rmdir "$OUT"
[ "$rc" = 2 ] && grep -q '印刷できませんでした。.*に失敗しました' <<<"$said" || fail "failed job: exit $rc, said: $said"
request 0 /p "Z:$WORK/print.js"
[ "$rc" = 0 ] && [ -z "$said" ] && grep -q "^%%EOF" "$OUT" || fail "printed file: exit $rc, said: $said"
echo "PASS"
