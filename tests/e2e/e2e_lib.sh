# Helpers for end-to-end tests: run the real ruvelto.exe under Wine in the
# test display, find its windows with xdotool, drive it with keys. Every key
# waits for the window or menu it is meant for; nothing waits a fixed time.
# Inside scripts/test.sh a test uses that run's display and Wine server; run
# alone (bash tests/e2e/e2e_x.sh build/out/ruvelto.exe) it starts its own.
set -euo pipefail
E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
EXE_SRC="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/rv-e2e.XXXXXX")"
APP_PID=""
OWN_SESSION=""
cleanup() {
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill "$APP_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
  if [ -n "$OWN_SESSION" ]; then test_session_end; fi
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The set-up's steps (scripts/lib.sh) serve the tests too; sourced once, as
# it keeps the display it started.
export RUVELTO_BUILD="${RUVELTO_BUILD:-$(dirname "$(dirname "$EXE_SRC")")}"  # <build>/out/ruvelto.exe
source "$E2E_DIR/../../scripts/lib.sh"
if [ -z "${RUVELTO_TEST_SESSION:-}" ]; then
  OWN_SESSION=1
  test_session_begin
fi

# poll_within <tenths> <command...>: runs the command every 0.1 s until it
# succeeds; false after that many tenths of a second.
poll_within() {
  local n=$1 _
  shift
  for _ in $(seq "$n"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
# poll <command...>: as poll_within, for up to 30 s.
poll() { poll_within 300 "$@"; }

# window_titled <title>: the program's window with exactly this title (by the
# whole title: xdotool's own name search misreads a Japanese pattern).
window_titled() {
  local w
  for w in $(app_windows); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && { echo "$w"; return 0; }
  done
  return 1
}
# wait_focused_window <title>: waits until that window is open and has the
# keyboard focus; prints its id.
# Now and then Wine leaves the X focus on the main window although the dialog
# it opened from a menu is the active one (unmanaged windows); after a few
# seconds the focus is handed over as a window manager would.
wait_focused_window() {
  poll window_titled "$1" >/dev/null || fail "no window '$1' opened"
  local w
  w=$(window_titled "$1")
  ensure_focus "$w" "'$1'"
  echo "$w"
}
# ensure_focus <window> <what>: waits until the window has the X focus,
# handing it over after five seconds (see above).
ensure_focus() {
  if ! poll_within 50 has_focus "$1"; then
    echo "note: $2 opened without the X focus; handing it over" >&2
    xdotool windowfocus "$1" 2>/dev/null || true
    poll has_focus "$1" || fail "$2 did not get the focus"
  fi
}
# at_units <window> <width units> <height units> <x> <y> [clicks]: clicks at a
# point of the dialog given in dialog units, scaled from the window's size
# (frame and caption taken off). A click puts the focus where the keys after it go.
at_units() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local cw=$((WIDTH - 6)) ch=$((HEIGHT - 26))
  xdotool mousemove $((X + 3 + $4 * cw / $2)) $((Y + 23 + $5 * ch / $3)) click --repeat "${6:-1}" 1
}
# marker_is <line>: the file marker.txt in $DIR holds exactly that line.
marker_is() { [ -f "$DIR/marker.txt" ] && [ "$(tr -d '\r' < "$DIR/marker.txt")" = "$1" ]; }

# saves_after_macro <file> <wanted>: once the macro chosen last has ended,
# Ctrl+S writes exactly the bytes of <wanted> to <file>. The editor takes no
# keys while a macro runs, so Ctrl+S is pressed again until the file is right.
saved_now() { xdotool key --clearmodifiers ctrl+s; poll_within 10 cmp -s "$1" "$2"; }
saves_after_macro() {
  poll_within 60 saved_now "$1" "$2" || { xxd "$1" | head; fail "$(basename "$1") was not saved with the macro's result"; }
}

# stable_shot <png> [import options...]: a screenshot taken once two captures
# in a row are the same, so that a window that is still painting is not caught.
stable_shot() {
  local out=$1 last="" now
  shift
  for _ in $(seq 50); do
    import -window root "$@" "$out"
    now=$(convert "$out" rgb:- | md5sum)  # the pixels, not the file's time stamps
    [ "$now" = "$last" ] && return 0
    last=$now
  done
}

# shot_of_windows <png> <window...>: a stable picture of the smallest part of
# the screen that holds all these windows (a box together with its owner).
# A box may still move after it shows: the part is measured again after the
# picture until it stays the same.
shot_of_windows() {
  local out=$1 crop="" last=""
  shift
  windows_span() {
    local w left=99999 top=99999 right=0 bottom=0 WINDOW X Y WIDTH HEIGHT SCREEN
    for w in "$@"; do
      eval "$(xdotool getwindowgeometry --shell "$w")"
      left=$((X < left ? X : left)) top=$((Y < top ? Y : top))
      right=$((X + WIDTH > right ? X + WIDTH : right)) bottom=$((Y + HEIGHT > bottom ? Y + HEIGHT : bottom))
    done
    echo "$((right - left))x$((bottom - top))+${left}+${top}"
  }
  for _ in $(seq 20); do
    crop=$(windows_span "$@")
    [ "$crop" = "$last" ] && return 0
    stable_shot "$out" -crop "$crop"
    last=$crop
  done
}

install_copy() {  # a fresh installation folder with the executable, its macro helper and encoder
  cp "$EXE_SRC" "$WORK/ruvelto.exe"
  cp "$(dirname "$EXE_SRC")/ruvelto-macro.exe" "$(dirname "$EXE_SRC")/ruvelto_encoder.dll" "$WORK/"
  # The backups live in the prefix's user folder: none from an earlier test.
  rm -rf "$(dirname "$(backup_folder)")"
}
# backup_folder: the Unix path of the program's backup folder in this prefix
# (%LOCALAPPDATA%\Ruvelto\backup; Wine sets LOCALAPPDATA itself).
backup_folder() {
  local users="${WINEPREFIX:?}/drive_c/users"
  echo "$users/$(ls "$users" | grep -vx Public | head -n 1)/AppData/Local/Ruvelto/backup"
}

# backups_hold <text file...>: the backup folder ($BACKUPS) holds exactly these texts,
# each in a whole record (the text after the header's blank line).
backups_hold() {
  python3 - "$BACKUPS" "$@" <<'PY'
import glob, os, sys
folder, wanted = sys.argv[1], sorted(open(p, 'rb').read() for p in sys.argv[2:])
texts = []
for p in glob.glob(os.path.join(folder, '*.rvb')):
    data = open(p, 'rb').read()
    head, sep, text = data.partition(b'\r\n\r\n')
    if not sep or b'length:%d\r\n' % len(text) not in head + b'\r\n': sys.exit(1)
    texts.append(text)
sys.exit(0 if sorted(texts) == wanted else 1)
PY
}

# plant_hosts <dir>: a WScript.exe, a CScript.exe and a CScript.bat in <dir>,
# each writing "planted" to marker.txt there: the program must never start them.
plant_hosts() {
  local planted
  planted="$(dirname "$(dirname "$EXE_SRC")")/tests/planted_host.exe"  # <build>/out/ruvelto.exe
  cp "$planted" "$1/WScript.exe"
  cp "$planted" "$1/CScript.exe"
  printf '@echo planted> marker.txt\r\n' > "$1/CScript.bat"
}

start_app() { start_program "$WORK/ruvelto.exe" "$@"; }  # the installation copy
start_program() {  # start_program <exe> [args...]; the windows carry this process id
  (cd "$WORK" && exec wine "$@" >/dev/null 2>&1 </dev/null) &
  APP_PID=$!
}

app_windows() { xdotool search --onlyvisible --pid "$APP_PID" "$@" 2>/dev/null; }
main_window() { app_windows --name '^Ruvelto' | head -n 1 | grep .; }

# Prints the X window id of the main window once it is shown and has the
# keyboard focus (Wine hands the focus of an unmanaged window to X when the
# program activates it, so keys from then on reach the program; when it does
# not, after a box closed, the focus is handed over as for a dialog).
wait_main_window() {
  local id
  poll main_window >/dev/null || fail "main window did not appear"
  id=$(main_window)
  ensure_focus "$id" "the main window"
  echo "$id"
}
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
# fill_replace_dialog <find> <replacement>: Ctrl+H from the start of the text,
# then both texts typed into the Replace dialog; sets DLG to the dialog.
fill_replace_dialog() {
  xdotool key --clearmodifiers ctrl+Home ctrl+h
  DLG=$(wait_focused_window "文字列の置換") || exit 1
  xdotool type --delay 30 "$1"
  xdotool key Tab
  xdotool type --delay 30 "$2"
}

# A shown popup menu of the program: a window of its own without a title.
menu_window() {
  local id
  for id in $(app_windows); do
    [ -z "$(xdotool getwindowname "$id" 2>/dev/null)" ] && { echo "$id"; return 0; }
  done
  return 1
}
wait_menu() { poll menu_window >/dev/null || fail "no menu opened ($1)"; }
wait_menu_closed() { poll eval '! menu_window >/dev/null' || fail "the menu stayed open ($1)"; }

title_has() { case "$(xdotool getwindowname "$1" 2>/dev/null)" in *"$2"*) return 0;; esac; return 1; }

program_ended() {
  kill -0 "$APP_PID" 2>/dev/null && return 1
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
}
wait_exit() { poll program_ended || fail "program did not exit"; }

# The File menu's exit command, through the keyboard: Alt+F, then X.
exit_through_menu() {
  poll has_focus "$1" || fail "main window lost the keyboard focus"
  xdotool key --clearmodifiers alt+f
  wait_menu "File"
  xdotool key x
}

# File menu of a window that has just come up: Alt+F may reach it before it
# takes keys, and is pressed again then.
open_file_menu() {
  local _
  for _ in 1 2 3; do
    xdotool key --clearmodifiers alt+f
    poll_within 50 menu_window >/dev/null && return 0
  done
  wait_menu "File ($1)"
}

# The installation copy's macro helper runs (Wine shows its Windows path, its
# pipes' handles after it).
# (ps is read whole first: in a pipe, it could list the grep, whose own
# arguments hold the name.)
helper_running() {
  local all
  all=$(ps -eo args=)
  grep -qF "Z:$(echo "$WORK" | tr / '\\')\\ruvelto-macro.exe " <<< "$all"
}
# run_macro <downs>: the Macro menu's item that many places below its first
# (Add, Organize, separator, Language, separator, then the macros).
run_macro() {
  poll has_focus "$WIN" || fail "the main window does not have the focus"
  xdotool key --clearmodifiers alt+m
  wait_menu "Macro"
  local _
  for _ in $(seq "$1"); do xdotool key Down; done
  xdotool key Return
  wait_menu_closed "Macro"
}

# write_ini <left> <top> <right> <bottom> [key=value...]: a settings file that
# places the main window (shown normally) at that rectangle, with these keys.
write_ini() {
  python3 - "$WORK/ruvelto.ini" "$@" <<'PY'
import struct, sys
path, left, top, right, bottom, *keys = sys.argv[1:]
rec = struct.pack('<11i', 44, 0, 1, -1, -1, -1, -1, int(left), int(top), int(right), int(bottom))
enc = ''.join(chr(65 + (v & 15)) + chr(65 + (v >> 4)) for v in rec)
open(path, 'w', newline='\r\n').write('[Settings]\nWindow=%s\n' % enc + ''.join(k + '\n' for k in keys))
PY
}

ini() {  # ini <section> <key>: prints the value or <absent>
  python3 - "$WORK/ruvelto.ini" "$1" "$2" <<'PY'
import sys
path, section, key = sys.argv[1:]
cur = None; val = "<absent>"
for raw in open(path, 'rb').read().decode('cp932').splitlines():
    line = raw.strip()
    if line.startswith('['): cur = line[1:-1]; continue
    if cur == section and '=' in line and line.split('=', 1)[0] == key: val = line.split('=', 1)[1]
print(val)
PY
}

# output_text <main window> <file>: the 出力 window's text (it has the focus),
# copied into a new script saved as <file> (a Unix path), printed as UTF-8
# without carriage returns.
output_text() {
  xdotool key --clearmodifiers ctrl+a ctrl+c ctrl+n
  poll title_has "$1" 無題 || fail "no new window: '$(xdotool getwindowname "$1")'"
  xdotool key --clearmodifiers ctrl+v ctrl+s
  wait_focused_window "名前を付けて保存" >/dev/null || exit 1
  xdotool key Home shift+End
  xdotool type --delay 20 "$(echo "Z:$2" | tr / '\\')"
  xdotool key Return
  poll test -f "$2" || fail "the pasted text was not saved"
  iconv -f CP932 -t UTF-8 < "$2" | tr -d '\r'
}

# in_fresh_prefix <name>: the rest of the test runs in a new prefix
# $BUILD/<name> as a user's machine has it (see fresh_prefix), with a server of
# its own; on exit the program (APP_PID) and the server end, the prefix goes
# and the session's own prefix is back. Sets USER_DIR (the user's folder) and
# INSTALLED (where the installer puts the program by default).
in_fresh_prefix() {
  FRESH_PREFIX="$BUILD/$1"
  TEST_SESSION_PREFIX="$WINEPREFIX"
  fresh_prefix "$FRESH_PREFIX" || fail "no fresh prefix"
  use_prefix "$FRESH_PREFIX"
  trap leave_fresh_prefix EXIT
  start_wineserver
  USER_DIR="$WINEPREFIX/drive_c/users/$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -n 1)"
  INSTALLED="$USER_DIR/AppData/Local/Programs/Ruvelto"
}
leave_fresh_prefix() {
  if [ -n "${APP_PID:-}" ] && kill -0 "$APP_PID" 2>/dev/null; then kill "$APP_PID" 2>/dev/null || true; fi
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$FRESH_PREFIX"
  export WINEPREFIX="$TEST_SESSION_PREFIX"
  cleanup
}
