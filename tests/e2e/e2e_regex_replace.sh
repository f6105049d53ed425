#!/usr/bin/env bash
# Replace All with a pattern in the real program, on Shift-JIS text: Ctrl+H,
# the pattern and a replacement with groups from the keyboard, 正規表現 by its
# mnemonic Alt+X, すべてを置換 with Alt+A; Ctrl+Z takes the whole of it back in
# one step and Ctrl+Y puts it again; Ctrl+S saves, and the bytes on disk are
# the expected replacement, the characters with a trail byte 5C (表, ソ)
# untouched. E2E_SHOT=<png>: the Replace dialog with 正規表現 checked.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 0 0 760 520 AutoKanji=0
python3 - "$WORK/regex.js" "$WORK/want.js" <<'PY'
import sys
src = ['// 表示するオブジェクト', 'var fso = new ActiveXObject("Scripting.FileSystemObject"); // ソフト',
       'var sh = new ActiveXObject("WScript.Shell"); // 表', 'WScript.Echo(fso + sh);']
want = ['// 表示するオブジェクト', 'var fso = WScript.CreateObject("Scripting.FileSystemObject"); // ソフト',
        'var sh = WScript.CreateObject("WScript.Shell"); // 表', 'WScript.Echo(fso + sh);']
open(sys.argv[1], 'wb').write('\r\n'.join(src).encode('cp932') + b'\r\n')
open(sys.argv[2], 'wb').write('\r\n'.join(want).encode('cp932') + b'\r\n')
PY
cp "$WORK/regex.js" "$WORK/original.js"
start_app "Z:$WORK/regex.js"
WIN=$(wait_main_window)
poll title_has "$WIN" regex.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"
fill_replace_dialog 'new ActiveXObject\("([^"]+)"\)' 'WScript.CreateObject("$1")'
xdotool key --clearmodifiers alt+x
[ -z "${E2E_SHOT:-}" ] || shot_of_windows "$E2E_SHOT" "$WIN" "$DLG"
xdotool key --clearmodifiers alt+a
xdotool key Escape
poll eval '! window_titled "文字列の置換" >/dev/null' || fail "the Replace dialog stayed open"
poll has_focus "$WIN" || fail "the main window did not get the focus back"
xdotool key --clearmodifiers ctrl+z ctrl+y
xdotool key --clearmodifiers ctrl+s
poll cmp -s "$WORK/regex.js" "$WORK/want.js" ||
  { cmp "$WORK/regex.js" "$WORK/want.js" || true; xxd "$WORK/regex.js" | head; fail "saved bytes differ from the replacement"; }
xdotool key --clearmodifiers ctrl+z ctrl+s
poll cmp -s "$WORK/regex.js" "$WORK/original.js" || fail "one Ctrl+Z did not take the whole Replace All back"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
