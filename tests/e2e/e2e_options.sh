#!/usr/bin/env bash
# The real program's settings dialogs: View > Options changes the colouring
# language and the tab width; View > Font picks the keyword colour from its
# picker with the keyboard. Both reach the settings file at exit.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
printf '[Settings]\r\nOpenMode=2\r\n' > "$WORK/ruvelto.ini"
start_app
WIN=$(wait_main_window)
# (xdotool's search by a name in Japanese also returns the main window)
dialog_named() { app_windows --name "$1" | grep -vx "$WIN" | head -n 1 | grep .; }
wait_dialog() {
  poll dialog_named "$1" >/dev/null || fail "no window named $1"
  dialog_named "$1"
}
wait_closed() { poll eval "! dialog_named '$1' >/dev/null" || fail "$1 stayed open"; }

# Options: a double click selects the tab width, Shift+Tab goes back to the
# colouring list, where Down moves JScript to VBScript.
xdotool key --clearmodifiers alt+v
wait_menu "View"
xdotool key o
OPT=$(wait_dialog 'オプション')
at_units "$OPT" 235 251 95 44 2
xdotool key 1 2 shift+Tab Down Return
wait_closed 'オプション'
poll has_focus "$WIN" || fail "main window did not get the focus back"

# Font: the keyword picker opened by a click, cell 2 chosen with the keyboard
# (Down: customize box, automatic box, first cell; Right twice), then OK.
xdotool key --clearmodifiers alt+v
wait_menu "View"
xdotool key f
FONT=$(wait_dialog 'エディタ フォントの設定')
popup_count() { app_windows --name '^$' | wc -l; }
before=$(popup_count)
at_units "$FONT" 268 205 185 148
popup_open() { [ "$(popup_count)" -gt "$before" ]; }
poll popup_open || fail "the keyword picker did not open its popup"
xdotool key Down Down Down Right Right
# E2E_SHOT=<png>: the dialog with the popup open and its third cell hot.
[ -z "${E2E_SHOT:-}" ] || stable_shot "$E2E_SHOT" -crop 800x560+0+0
xdotool key Return
poll eval '! popup_open' || fail "the popup stayed open"
at_units "$FONT" 268 205 238 22
wait_closed 'エディタ フォントの設定'

exit_through_menu "$WIN"
wait_exit
[ "$(ini Settings TabStops)" = "12" ] || fail "TabStops=$(ini Settings TabStops)"
[ "$(ini Settings Stress)" = "2" ] || fail "Stress=$(ini Settings Stress)"
[ "$(ini Settings Colors)" = "404000,0000C0,808000" ] || fail "Colors=$(ini Settings Colors)"
echo "PASS"
