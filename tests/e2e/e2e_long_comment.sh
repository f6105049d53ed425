#!/usr/bin/env bash
# The real program's colouring after a jump: a JScript file whose 60-line
# block comment runs past the first screen is opened and Ctrl+End pressed;
# the comment lines at the end are drawn in the comment colour, and none of
# the keywords inside them in the keyword colour. With E2E_SHOT=<png> the
# window is kept as a picture.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
# A 760x520 main window at the top-left corner, JScript colouring, the default colours.
write_ini 0 0 760 520 AutoKanji=0 Stress=1
{
  printf 'var total = 0;\r\n/* Notes kept in the script itself:\r\n'
  for i in $(seq 1 60); do printf '   %02d: var if while for return - not code, only words\r\n' "$i"; done
  printf '*/\r\ntotal = total + 1;\r\n'
} > "$WORK/notes.js"
start_app "Z:$WORK/notes.js"
WIN=$(wait_main_window)
poll title_has "$WIN" notes.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"

# The window as opened, painted to the end, then the jump; the picture is
# taken once the jump has shown.
eval "$(xdotool getwindowgeometry --shell "$WIN")"
opened="$WORK/opened.png" shot="$WORK/shot.png"
stable_shot "$opened" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}"
xdotool key --clearmodifiers ctrl+End
jumped() {
  stable_shot "$shot" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}"
  [ "$(convert "$opened" rgb:- | md5sum)" != "$(convert "$shot" rgb:- | md5sum)" ]
}
poll jumped || fail "Ctrl+End changed nothing on the screen"
# The middle of the text area: comment lines only, after the jump.
band() { convert "$shot" +repage -crop "$((WIDTH - 80))x$((HEIGHT / 3))+40+$((HEIGHT / 3))" +repage txt:- | grep -ci "$1" || true; }
keyword=$(band '#0000FF')
comment=$(band '#C00000')
[ "$keyword" -eq 0 ] || fail "$keyword pixels of the keyword colour inside the comment after Ctrl+End"
[ "$comment" -gt 100 ] || fail "only $comment pixels of the comment colour after Ctrl+End"
[ -z "${E2E_SHOT:-}" ] || cp "$shot" "$E2E_SHOT"

exit_through_menu "$WIN"
wait_exit
echo "PASS"
