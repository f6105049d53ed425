#!/usr/bin/env bash
# The real program opens an EUC-JP file named on the command line (detection
# on), takes a typed line, saves with Ctrl+S in the file's own encoding.
source "$(dirname "$0")/e2e_lib.sh"
DATA="$(cd "$(dirname "$0")/../document/data" && pwd)"
install_copy
printf '[Settings]\r\nAutoKanji=1\r\nOpenMode=2\r\n' > "$WORK/ruvelto.ini"
sed 's/$/\r/' "$DATA/prose.euc.txt" > "$WORK/prose.js"
cp "$WORK/prose.js" "$WORK/expected.js"
start_app "Z:$WORK/prose.js"
WIN=$(wait_main_window)
# The title names the file once the document is open in its view.
poll title_has "$WIN" prose.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"
xdotool type --delay 20 'var added = 1;'
xdotool key Return ctrl+s
{ printf 'var added = 1;\r\n'; cat "$WORK/expected.js"; } > "$WORK/want.js"
poll cmp -s "$WORK/prose.js" "$WORK/want.js" ||
  { cmp "$WORK/prose.js" "$WORK/want.js"; fail "saved bytes differ from the EUC-JP text with the typed line"; }
exit_through_menu "$WIN"
wait_exit
echo "PASS"
