#!/usr/bin/env bash
# The real program opens a .js and a .vbs script named on the command line:
# both windows get tabs below the document area, and a click on the other
# window's tab activates it (the main window's title follows). With
# RUVELTO_SCREENSHOT=<png> the window with both scripts is kept as a picture.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
# A 760x520 main window at the top-left corner, detection on.
write_ini 0 0 760 520 AutoKanji=1 OpenMode=2
iconv -f UTF-8 -t CP932 > "$WORK/hello.vbs" <<'VBS'
' 挨拶を表示する
Dim name
name = "世界"
If name <> "" Then MsgBox "こんにちは、" & name
VBS
iconv -f UTF-8 -t CP932 > "$WORK/hello.js" <<'JS'
// 挨拶を表示するスクリプト
var shell = WScript.CreateObject("WScript.Shell");
/* 名前は
   ここで決める */
var name = "世界\"様\"";
if (name != null) {
	WScript.Echo("こんにちは、" + name + "！");
}
JS
sed -i 's/$/\r/' "$WORK/hello.js" "$WORK/hello.vbs"
start_app "Z:$WORK/hello.vbs" "Z:$WORK/hello.js"
WIN=$(wait_main_window)
poll title_has "$WIN" hello.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the last file"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
# The tabs sit just above the status bar; the first starts at the left edge.
TAB_Y=$((Y + HEIGHT - 36))
if [ -n "${RUVELTO_SCREENSHOT:-}" ]; then
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$RUVELTO_SCREENSHOT"
fi
# Clicking along the tab row reaches the other window's tab.
activated=""
for dx in 50 130 210; do
  xdotool mousemove $((X + dx)) "$TAB_Y" click 1
  poll_within 20 title_has "$WIN" hello.vbs && { activated=1; break; }  # up to 2 s per tab
done
[ -n "$activated" ] || fail "a click on the tab row did not activate hello.vbs ('$(xdotool getwindowname "$WIN")')"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
