#!/usr/bin/env bash
# A text grown past the size that opens comes back whole after a kill: a
# 600 KB script is doubled by a paste (1.2 MB), its backup awaited, the
# process killed hard; the next start asks, Yes restores it with its path,
# and Ctrl+S (after the question about a file too large to open again) writes
# every byte. The backups live in the user's local application-data folder,
# not beside the executable.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
DIR="$WORK/docs"
mkdir -p "$DIR"
python3 - "$DIR/big.js" <<'PY'
import sys
line = 'var line%06d = "0123456789abcdefghijklmnopqrstuvwxyz";\r\n'
open(sys.argv[1], 'wb').write(b''.join((line % i).encode() for i in range(10000)))
PY
cat "$DIR/big.js" "$DIR/big.js" > "$WORK/want"
[ "$(stat -c %s "$WORK/want")" -gt 1048575 ] || fail "the pasted text would not pass the size that opens"
BACKUPS="$(backup_folder)"

# backup_holds <file>: one backup, a whole record of exactly that text.
backup_holds() {
  python3 -c 'import glob, sys; f = glob.glob(sys.argv[1] + "/*.rvb"); want = open(sys.argv[2], "rb").read()
head, _, text = open(f[0], "rb").read().partition(b"\r\n\r\n") if len(f) == 1 else (b"", b"", None)
sys.exit(0 if text == want and b"length:%d\r\n" % len(want) in head + b"\r\n" else 1)' "$BACKUPS" "$1"
}

start_app "Z:$DIR/big.js"
WIN=$(wait_main_window)
poll title_has "$WIN" big.js || fail "title '$(xdotool getwindowname "$WIN")' does not name the file"
ensure_focus "$WIN" "the main window"
xdotool key ctrl+a ctrl+c ctrl+End ctrl+v
poll backup_holds "$WORK/want" || fail "no backup of the pasted text in $BACKUPS: $(ls "$BACKUPS" 2>&1)"
[ ! -e "$WORK/backup" ] || fail "a backup folder beside the executable"

pids=$(pgrep -f "$(basename "$WORK").*ruvelto.exe") || fail "no process of ruvelto.exe found"
kill -9 $pids
wait_exit

start_app
wait_focused_window Ruvelto >/dev/null
xdotool key Return  # Yes, the default
WIN=$(wait_main_window)
poll title_has "$WIN" big.js || fail "the text did not come back as big.js: '$(xdotool getwindowname "$WIN")'"
ensure_focus "$WIN" "the restored window"
xdotool key ctrl+s
wait_focused_window Ruvelto >/dev/null  # larger than the editor opens: save anyway?
xdotool key y
poll cmp -s "$DIR/big.js" "$WORK/want" || fail "big.js was not saved whole ($(stat -c %s "$DIR/big.js") bytes)"
poll eval '! ls "$BACKUPS"/*.rvb >/dev/null 2>&1' || fail "the saved text's backup stayed: $(ls "$BACKUPS")"
ensure_focus "$WIN" "the main window after saving"
exit_through_menu "$WIN"
wait_exit
[ ! -e "$BACKUPS" ] || [ -z "$(ls -A "$BACKUPS")" ] || fail "the exit left backups behind: $(ls "$BACKUPS")"
echo "PASS"
