#!/usr/bin/env bash
# Replace in the real program moves off the match it finds: the dialog comes up
# over the middle of the script, where the only "path" is; Find Next selects
# it, the dialog moves, and the selection's colour shows in the text beside
# the dialog. E2E_SHOT=<png>: the main window with the dialog off the match.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 0 0 760 520 AutoKanji=0
python3 - "$WORK/find.js" <<'PY'
import sys
lines = ['// ファイルを読み込む', 'var fso = WScript.CreateObject("Scripting.FileSystemObject");']
lines += ['var line%02d = %d;' % (i, i) for i in range(3, 10)]
lines += ['var path = "C:\\\\work\\\\data.txt";', 'if (fso.FileExists(path)) WScript.Echo("ok");']
lines += ['// %d' % i for i in range(12, 30)]
open(sys.argv[1], 'wb').write('\r\n'.join(lines).encode('cp932') + b'\r\n')
PY
start_app "Z:$WORK/find.js"
WIN=$(wait_main_window)
poll title_has "$WIN" find.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"
xdotool key --clearmodifiers ctrl+Home ctrl+h
DLG=$(wait_focused_window "文字列の置換")
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }
geometry "$DLG"
CAME_UP="$X,$Y"
xdotool type --delay 30 'path'
xdotool key Tab
xdotool type --delay 30 'target'
xdotool key --clearmodifiers alt+f  # 次を検索
moved() { geometry "$DLG"; [ "$X,$Y" != "$CAME_UP" ]; }
poll moved || fail "the dialog stayed at $CAME_UP over the match"
# The selection's colour in the text area (right of the line numbers), the
# dialog's part of the screen painted over first.
selection_in_sight() {
  local DX DY DW DH
  geometry "$DLG"; DX=$X DY=$Y DW=$WIDTH DH=$HEIGHT
  geometry "$WIN"
  local n
  n=$(import -window root png:- | convert - -fill white -draw "rectangle $DX,$DY $((DX + DW)),$((DY + DH))" \
        -crop "$((WIDTH - 90))x$((HEIGHT - 160))+$((X + 60))+$((Y + 80))" +repage \
        -fill black +opaque '#3096FA' -fill white -opaque '#3096FA' -format '%[fx:mean*w*h]' info:)
  [ "${n%.*}" -gt 20 ]
}
poll selection_in_sight || fail "the match found is not in sight beside the dialog (it moved from $CAME_UP to $X,$Y)"
[ -z "${E2E_SHOT:-}" ] || shot_of_windows "$E2E_SHOT" "$WIN" "$DLG"
xdotool key Escape
poll eval '! window_titled "文字列の置換" >/dev/null' || fail "the Replace dialog stayed open"
poll has_focus "$WIN" || fail "the main window did not get the focus back"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
