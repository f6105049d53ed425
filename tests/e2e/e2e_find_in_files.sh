#!/usr/bin/env bash
# The real program searches a tree of scripts in Shift-JIS, UTF-8 and EUC-JP
# with Ctrl+Shift+F: the dialog opens on the script's folder, Return searches,
# the 出力 window fills and names each match by path, line and column; its text
# copied (Ctrl+A, Ctrl+C) and pasted into a new script is saved and read back;
# F8 from that script's window jumps to the first result and then the next,
# each time selecting the match in its file, which a typed word replaces and
# Ctrl+S saves in the file's own encoding.
# E2E_SHOT=<dir>: find-in-files-dialog.png (the dialog over the main window) and
# output-window.png (the 出力 window with the results).
source "$(dirname "$0")/e2e_lib.sh"
install_copy
printf '[Settings]\r\nAutoKanji=1\r\n' > "$WORK/ruvelto.ini"
TREE="$WORK/tree"
mkdir -p "$TREE/sub"
printf 'var a = 1;\r\n// 日本語 needle one\r\n' | iconv -f UTF-8 -t CP932 > "$TREE/a.js"
printf "' 日本語のコメントです。\r\nMsgBox \"検索 needle\"\r\n" > "$TREE/sub/b.vbs"
printf 'これは日本語の文章です。\nneedle と検索\n' | iconv -f UTF-8 -t EUC-JP > "$TREE/sub/c.txt"
printf 'needle\r\n' > "$TREE/sub/skip.bat"  # not of the types searched
shot() { [ -z "${E2E_SHOT:-}" ] || shot_of_windows "$E2E_SHOT/$1" "${@:2}"; }
winpath() { echo "Z:$1" | tr / '\\'; }

start_app "Z:$TREE/a.js"
WIN=$(wait_main_window)
poll title_has "$WIN" a.js || fail "title '$(xdotool getwindowname "$WIN")' does not name a.js"
xdotool key --clearmodifiers ctrl+shift+f
DLG=$(wait_focused_window "ファイル内検索")
xdotool type --delay 30 'needle'
shot find-in-files-dialog.png "$WIN" "$DLG"
xdotool key Return
poll eval '! window_titled "ファイル内検索" >/dev/null' || fail "the dialog stayed open"
# The 出力 window, maximised, names itself in the main window's title; the
# search's progress goes from its title when the search ends.
done_title() { case "$(xdotool getwindowname "$WIN")" in *"[出力]"*) return 0;; esac; return 1; }
poll done_title || fail "the search did not end: title '$(xdotool getwindowname "$WIN")'"
shot output-window.png "$WIN"

# The results, copied from the 出力 window into a new script saved as results.txt.
RESULTS=$(output_text "$WIN" "$WORK/results.txt") || exit 1
T=$(winpath "$TREE")
for want in "$T\\a.js(2,8): // 日本語 needle one" "$T\\sub\\b.vbs(2,12): MsgBox \"検索 needle\"" \
            "$T\\sub\\c.txt(2,1): needle と検索" "3 件見つかりました (3 個のファイル、検索 3 個、スキップ 0 個)"; do
  grep -qxF "$want" <<< "$RESULTS" || fail "no line '$want' in the results: $RESULTS"
done

# F8 from the new script's window: the first result (a.js, open already), then the next.
xdotool key --clearmodifiers F8
poll title_has "$WIN" a.js || fail "F8 did not go to a.js: '$(xdotool getwindowname "$WIN")'"
xdotool type 'pin'
xdotool key --clearmodifiers ctrl+s
saved_a() { iconv -f CP932 -t UTF-8 < "$TREE/a.js" | grep -qF '// 日本語 pin one'; }
poll saved_a || fail "the jump did not select the match in a.js: $(iconv -f CP932 -t UTF-8 < "$TREE/a.js")"
xdotool key --clearmodifiers F8
poll title_has "$WIN" b.vbs || fail "F8 did not go on to b.vbs: '$(xdotool getwindowname "$WIN")'"
xdotool type 'pin'
xdotool key --clearmodifiers ctrl+s
saved_b() { grep -qF 'MsgBox "検索 pin"' "$TREE/sub/b.vbs"; }
poll saved_b || fail "the jump did not select the match in b.vbs: $(cat "$TREE/sub/b.vbs")"
grep -qF "' 日本語のコメントです。" "$TREE/sub/b.vbs" || fail "b.vbs lost its UTF-8 text"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
