#!/usr/bin/env bash
# The real program keeps backups of unsaved text and offers them back after
# it was killed: a Shift-JIS file with Japanese text and a new window are
# typed into, their backups awaited, the process killed hard; the next start
# asks, Yes brings both texts back byte for byte as modified documents (the
# exit asks to save both), and saving the file writes its path in Shift-JIS.
# A second instance started meanwhile asks nothing and leaves the first one's
# backups alone; the normal exit leaves no backup behind. With E2E_SHOT=<png>
# the recovery question is kept as a picture.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
printf '[Settings]\r\nAutoKanji=1\r\n' > "$WORK/ruvelto.ini"
DIR="$WORK/docs"
mkdir -p "$DIR"
printf '// 日本語のテキスト\r\nvar a = "漢字";\r\n' | iconv -f UTF-8 -t CP932 > "$DIR/sjis.js"
cp "$DIR/sjis.js" "$WORK/original.js"
BACKUPS="$(backup_folder)"

start_app "Z:$DIR/sjis.js"
WIN=$(wait_main_window)
poll title_has "$WIN" sjis.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"
xdotool key ctrl+End
xdotool type --delay 20 'x = 2;'
xdotool key ctrl+n
poll title_has "$WIN" "無題1" || fail "no new window: '$(xdotool getwindowname "$WIN")'"
xdotool type --delay 20 'hello world'
{ cat "$WORK/original.js"; printf 'x = 2;'; } > "$WORK/want1"
printf 'hello world' > "$WORK/want2"
poll backups_hold "$WORK/want1" "$WORK/want2" || fail "no backups of the two texts: $(ls "$BACKUPS" 2>&1)"

# Killed hard: no exit step runs.
pids=$(pgrep -f "$(basename "$WORK").*ruvelto.exe") || fail "no process of ruvelto.exe found"
kill -9 $pids
wait_exit

start_app
BOX=$(wait_focused_window Ruvelto)
if [ -n "${E2E_SHOT:-}" ]; then
  eval "$(xdotool getwindowgeometry --shell "$(main_window)")"
  stable_shot "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}"
fi
xdotool key Return  # Yes, the default
WIN=$(wait_main_window)
# The restored window is the active one: a key at its end goes into its
# backup with the rest of its text.
xdotool key ctrl+End
xdotool type --delay 20 '!'
printf 'hello world!' > "$WORK/want2"
poll backups_hold "$WORK/want1" "$WORK/want2" || fail "the restored texts are not as they were: $(ls "$BACKUPS")"
FIRST=$APP_PID
before=$(cd "$BACKUPS" && ls | sort)

# A second instance while the first runs: no question (its menu opens at
# once), and the first one's files stay as they are.
start_app
SECOND=$(wait_main_window)
open_file_menu "the second instance"
xdotool key x
wait_exit
[ "$(cd "$BACKUPS" && ls | sort)" = "$before" ] || fail "the second instance changed the backups: $(ls "$BACKUPS")"

# The normal exit asks about both restored documents: Yes saves the file in
# Shift-JIS at its path, No drops the new window's text.
APP_PID=$FIRST
xdotool windowfocus "$WIN" 2>/dev/null || true
ensure_focus "$WIN" "the first instance"
exit_through_menu "$WIN"
ASK1=$(wait_focused_window Ruvelto)
xdotool key y
poll eval '! xdotool getwindowname "$ASK1" >/dev/null 2>&1' || fail "the first save question stayed"
ASK2=$(wait_focused_window Ruvelto)
xdotool key n
wait_exit
cmp -s "$DIR/sjis.js" "$WORK/want1" || { cmp "$DIR/sjis.js" "$WORK/want1"; fail "sjis.js was not saved as restored"; }
[ -z "$(ls -A "$BACKUPS" 2>/dev/null)" ] || fail "the exit left backups behind: $(ls "$BACKUPS")"
echo "PASS"
