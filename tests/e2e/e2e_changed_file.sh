#!/usr/bin/env bash
# Files another program changes, in the real program. A file open and
# unchanged in the editor is rewritten on disk; when the program becomes the
# active one again it asks "…は他のプログラムによって変更されました。再読み込みしますか?"
# with Yes the default, and Return loads the new text (a save then writes it
# with what was typed after it). Then that text is typed into, its backup
# awaited, the process killed hard and the file changed once more: the next
# start's Yes brings the text back untitled as "changed.js (復元)", a message
# says so, and the file keeps the other program's text.
# E2E_SHOT=<dir>: changed-on-disk.png (the question over the main window) and
# recovery-untitled.png (the message over the restored window) go there.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 0 0 760 520 AutoKanji=0
DIR="$WORK/docs"
mkdir -p "$DIR"
printf '// 最初の版\r\nvar version = 1;\r\n' | iconv -f UTF-8 -t CP932 > "$DIR/changed.js"
printf '// ほかのプログラムが書いた版\r\nvar version = 2;\r\n' | iconv -f UTF-8 -t CP932 > "$WORK/second.js"
printf '// ほかのプログラムが書いた版\r\nvar version = 3;\r\n' | iconv -f UTF-8 -t CP932 > "$WORK/third.js"
BACKUPS="$(backup_folder)"
shot() { [ -z "${E2E_SHOT:-}" ] || shot_of_windows "$E2E_SHOT/$1" "${@:2}"; }
# The box waiting over the main window, captioned with the program's name.
box_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1; }

start_app "Z:$DIR/changed.js"
WIN=$(wait_main_window)
poll title_has "$WIN" changed.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"
cp "$WORK/second.js" "$DIR/changed.js"
touch -d '+1 minute' "$DIR/changed.js"
# Another program takes the focus and closes: this one is active again.
(exec wine notepad >/dev/null 2>&1 </dev/null) &
notepad_up() { [ "$(xdotool getwindowname "$(xdotool getwindowfocus 2>/dev/null)" 2>/dev/null)" = "(無題) - メモ帳" ]; }
poll notepad_up || fail "notepad did not take the focus"
xdotool key --clearmodifiers alt+F4
BOX=$(wait_focused_window Ruvelto)
shot changed-on-disk.png "$WIN" "$BOX"
xdotool key Return  # Yes, the default: the new text is loaded
poll box_gone "$BOX" || fail "the question stayed"
ensure_focus "$WIN" "the main window"
xdotool key ctrl+End
xdotool type --delay 20 'x = 2;'
{ cat "$WORK/second.js"; printf 'x = 2;'; } > "$WORK/want"
# The typed text after the loaded one, in its backup.
poll backups_hold "$WORK/want" || fail "no backup of the loaded text and the typed one: $(ls "$BACKUPS" 2>&1)"

pids=$(pgrep -f "$(basename "$WORK").*ruvelto.exe") || fail "no process of ruvelto.exe found"
kill -9 $pids
wait_exit
cp "$WORK/third.js" "$DIR/changed.js"
touch -d '+2 minutes' "$DIR/changed.js"
start_app
ASK=$(wait_focused_window Ruvelto)
xdotool key Return  # Yes: restore
poll box_gone "$ASK" || fail "the recovery question stayed"
# Restored untitled, the message over it (the main window's title is no
# longer the box's "Ruvelto").
poll window_titled "Ruvelto - [changed.js (復元)]" >/dev/null ||
  fail "not restored untitled: '$(xdotool getwindowname "$(main_window)")'"
WIN=$(window_titled "Ruvelto - [changed.js (復元)]")
NOTE=$(wait_focused_window Ruvelto)
shot recovery-untitled.png "$WIN" "$NOTE"
xdotool key Return
poll box_gone "$NOTE" || fail "the message stayed"
cmp -s "$DIR/changed.js" "$WORK/third.js" || fail "the restored text was written over the file"
ensure_focus "$WIN" "the main window"
open_file_menu "the restored window"
xdotool key x
wait_focused_window Ruvelto >/dev/null  # save the restored text?
xdotool key n
wait_exit
cmp -s "$DIR/changed.js" "$WORK/third.js" || fail "the file changed at the exit"
echo "PASS"
