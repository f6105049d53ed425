#!/usr/bin/env bash
# The installer and the uninstaller with their pages, as a user clicks
# through them in a fresh Wine prefix: the welcome, folder and options pages,
# the desktop shortcut when its box (off at first) is ticked, the finish page;
# the uninstaller asks whether the settings go too, and Yes removes them with
# everything else.
# E2E_SHOT=<folder>: the pages as installer-welcome.png, installer-folder.png,
# installer-options.png, installer-finish.png and uninstall-question.png there.
source "$(dirname "$0")/e2e_lib.sh"
export WINEDLLOVERRIDES="winemenubuilder.exe=d"

make_package "$WORK/dist"
SETUP="$WORK/dist/Ruvelto-$(project_version)-setup.exe"
in_fresh_prefix wineprefix-installer

# titled <part of a title>: a shown window whose title holds it (xdotool's own
# name search misreads a Japanese pattern).
titled() {
  local w
  for w in $(xdotool search --onlyvisible --name 'Ruvelto' 2>/dev/null); do
    title_has "$w" "$1" && { echo "$w"; return 0; }
  done
  return 1
}
pixels() { import -window "$1" rgb:- 2>/dev/null | md5sum; }
# next_page <window> <keys...>: presses the keys and waits until the window
# shows something else and has stopped changing.
next_page() {
  local w=$1 before
  shift
  before=$(pixels "$w")
  xdotool key --clearmodifiers "$@"
  poll eval '[ "$(pixels "$w")" != "$before" ]' || fail "the page stayed after $*"
  stable_shot "$WORK/page.png" -crop "$(window_box "$w")"
}
window_box() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
}
keep_page() { [ -z "${E2E_SHOT:-}" ] || cp "$WORK/page.png" "$E2E_SHOT/$1"; }

start_program "$SETUP"
poll titled セットアップ >/dev/null || fail "the installer did not open"
SETUP_WIN=$(titled セットアップ)
ensure_focus "$SETUP_WIN" "the installer"
stable_shot "$WORK/page.png" -crop "$(window_box "$SETUP_WIN")"
keep_page installer-welcome.png
next_page "$SETUP_WIN" Return
keep_page installer-folder.png
next_page "$SETUP_WIN" Return
keep_page installer-options.png
# The list of parts has the focus: the program (always), then the desktop
# shortcut, ticked here.
next_page "$SETUP_WIN" Down space
[ ! -e "$INSTALLED/ruvelto.exe" ] || fail "installed before the last page was confirmed"
next_page "$SETUP_WIN" Return
poll test -f "$INSTALLED/uninstall.exe" || fail "nothing installed"
stable_shot "$WORK/page.png" -crop "$(window_box "$SETUP_WIN")"
keep_page installer-finish.png
xdotool key --clearmodifiers Return
wait_exit
[ -f "$USER_DIR/Desktop/Ruvelto.lnk" ] || fail "no desktop shortcut although its box was ticked"
[ -f "$USER_DIR/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Ruvelto.lnk" ] || fail "no Start menu shortcut"

# The uninstaller runs on in a copy of itself: its windows are found by title.
printf '[Settings]\r\nOpenMode=2\r\n' > "$INSTALLED/ruvelto.ini"
mkdir -p "$INSTALLED/macro" "$USER_DIR/AppData/Local/Ruvelto/backup"
printf 'x' > "$INSTALLED/macro/mine.js"
(exec wine "$INSTALLED/uninstall.exe" >/dev/null 2>&1 </dev/null) &
poll titled アンインストール >/dev/null || fail "the uninstaller did not open"
UN_WIN=$(titled アンインストール)
ensure_focus "$UN_WIN" "the uninstaller"
xdotool key --clearmodifiers Return
# The question: a box of its own over the uninstaller, No the default.
question() {
  local w
  for w in $(xdotool search --onlyvisible --name 'Ruvelto' 2>/dev/null); do
    [ "$w" != "$UN_WIN" ] && title_has "$w" アンインストール && { echo "$w"; return 0; }
  done
  return 1
}
poll question >/dev/null || fail "the uninstaller did not ask about the settings"
ASK=$(question)
ensure_focus "$ASK" "the question"
[ -f "$INSTALLED/ruvelto.ini" ] || fail "the settings went before the answer"
[ -z "${E2E_SHOT:-}" ] || shot_of_windows "$E2E_SHOT/uninstall-question.png" "$UN_WIN" "$ASK"
xdotool key y
poll eval '[ ! -e "$INSTALLED" ]' || fail "left after Yes: $(cd "$INSTALLED" && find . | tr '\n' ' ')"
[ ! -e "$USER_DIR/AppData/Local/Ruvelto" ] || fail "the backups stayed after Yes"
[ ! -e "$USER_DIR/Desktop/Ruvelto.lnk" ] || fail "the desktop shortcut stayed"
ensure_focus "$UN_WIN" "the uninstaller's last page"
xdotool key --clearmodifiers Return
poll eval '! titled アンインストール >/dev/null' || fail "the uninstaller did not close"
echo "PASS"
