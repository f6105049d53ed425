#!/usr/bin/env bash
# The packages as a user meets them, in a fresh Wine prefix of their own
# (never the test prefix: nothing registered, nothing installed before).
# setup.exe /S installs into %LOCALAPPDATA%\Programs\Ruvelto with the Start
# menu shortcut, the Explorer command for .js and .vbs and the uninstall entry;
# the installed program, started by the Explorer command's command line on a
# .js, writes its encoded copy with no encoder registered; a setup while it
# runs ends with an exit code and changes nothing; a second setup keeps a
# changed ruvelto.ini; uninstall.exe /S leaves only the user's settings and
# macros. The portable zip unpacked into a folder named with blanks and
# Japanese runs, encodes and keeps its settings beside itself.
source "$(dirname "$0")/e2e_lib.sh"
# Shortcuts made in the prefix stay there (no menu entries on this machine).
export WINEDLLOVERRIDES="winemenubuilder.exe=d"

started=$SECONDS
make_package "$WORK/dist"
VERSION=$(project_version)
SETUP="$WORK/dist/Ruvelto-$VERSION-setup.exe"
ZIP="$WORK/dist/Ruvelto-$VERSION-portable.zip"
[ -f "$SETUP" ] && [ -f "$ZIP" ] || fail "the package did not come out: $(ls "$WORK/dist")"
echo "package: $((SECONDS - started)) s, setup $(stat -c %s "$SETUP") bytes, zip $(stat -c %s "$ZIP") bytes"

in_fresh_prefix wineprefix-install
SHORTCUT="$USER_DIR/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Ruvelto.lnk"
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ruvelto'
verb_key() { echo "HKCU\\Software\\Classes\\SystemFileAssociations\\$1\\shell\\Ruvelto.Edit"; }
# reg_value <key> <name>: the value as text (the default value for ""), or fails.
reg_value() {
  local out
  if [ -z "$2" ]; then out=$(wine reg query "$1" /ve </dev/null 2>/dev/null); else out=$(wine reg query "$1" /v "$2" </dev/null 2>/dev/null); fi
  echo "$out" | tr -d '\r' | iconv -f CP932 -t UTF-8 | sed -n 's/^ *[^ ].*  *REG_[A-Z_]*  *//p' | head -n 1
  echo "$out" | grep -q REG_
}
installed_files() { (cd "$INSTALLED" 2>/dev/null && find . -mindepth 1 | sort | tr '\n' ' '); }

# encode_in <exe> <folder> <script>: starts the program as the Explorer
# command does on <folder>/<script> (Unix paths) and writes the encoded copy
# through the encode command under the name it proposes; the program ends.
encode_in() {
  start_program "$1" "$(winepath -w "$2/$3" 2>/dev/null)"
  WIN=$(wait_main_window)
  poll title_has "$WIN" "$3" || fail "title '$(xdotool getwindowname "$WIN")' does not name $3"
  xdotool key --clearmodifiers alt+c
  wait_menu "Command"
  xdotool key e
  local save
  save=$(wait_focused_window "名前を付けて保存")
  xdotool key Return
  poll test -f "$2/${3%.js}.jse" || fail "no encoded copy beside $3: $(ls "$2")"
  head -c 4 "$2/${3%.js}.jse" | grep -q '#@~^' || fail "not in the encoded form: $(head -c 40 "$2/${3%.js}.jse")"
  wait_focused_window Ruvelto >/dev/null
  xdotool key Return
  poll eval '! xdotool getwindowname "$save" >/dev/null 2>&1' || true
  ensure_focus "$WIN" "the main window after the report"
  exit_through_menu "$WIN"
  wait_exit
}

# The silent install.
wine "$SETUP" /S </dev/null >/dev/null 2>&1 || fail "setup.exe /S failed ($?)"
expected="./macro ./ruvelto-macro.exe ./ruvelto.exe ./ruvelto.html ./ruvelto_encoder.dll ./sample ./sample/version.wsf ./uninstall.exe "
[ -d "$BUILD/out/macro" ] || expected="${expected/.\/macro /}"
[ "$(installed_files)" = "$expected" ] || fail "installed: '$(installed_files)'"
cmp -s "$INSTALLED/ruvelto.exe" "$BUILD/out/ruvelto.exe" || fail "the installed ruvelto.exe is not the build's"
[ -f "$SHORTCUT" ] || fail "no Start menu shortcut: $(ls "$(dirname "$SHORTCUT")")"
[ ! -e "$USER_DIR/Desktop/Ruvelto.lnk" ] || fail "a desktop shortcut although its box is off by default"
EXE_WIN=$(winepath -w "$INSTALLED/ruvelto.exe" 2>/dev/null)
for ext in .js .vbs; do
  [ "$(reg_value "$(verb_key $ext)" "")" = "Ruvelto で編集(&R)" ] || fail "$ext: command text '$(reg_value "$(verb_key $ext)" "")'"
  [ "$(reg_value "$(verb_key $ext)\\command" "")" = "\"$EXE_WIN\" \"%1\"" ] ||
    fail "$ext: command line '$(reg_value "$(verb_key $ext)\\command" "")', not for $EXE_WIN"
done
! reg_value 'HKCU\Software\Classes\.js' "" >/dev/null || fail "the .js files' own type was changed"
[ "$(reg_value "$UNINSTALL_KEY" DisplayVersion)" = "$VERSION" ] || fail "uninstall entry version '$(reg_value "$UNINSTALL_KEY" DisplayVersion)'"
[ "$(reg_value "$UNINSTALL_KEY" InstallLocation)" = "${EXE_WIN%\\ruvelto.exe}" ] || fail "uninstall entry location"
[ "$(reg_value "$UNINSTALL_KEY" QuietUninstallString)" = "\"${EXE_WIN%\\ruvelto.exe}\\uninstall.exe\" /S" ] || fail "quiet uninstall"
for name in DisplayName Publisher DisplayIcon UninstallString EstimatedSize NoModify NoRepair; do
  reg_value "$UNINSTALL_KEY" "$name" >/dev/null || fail "the uninstall entry has no $name"
done

# The Explorer command's command line on a .js, with the encoder registered nowhere.
! wine reg query 'HKCR\CLSID\{32DA2B15-CFED-11D1-B747-00C04FC2B085}\InprocServer32' </dev/null 2>&1 | grep -qi ruvelto ||
  fail "the fresh prefix has the program's encoder registered"
DIR="$WORK/スクリプト dir"
mkdir -p "$DIR"
printf '%s\r\n' 'var s = "a<b>@";' 'WScript.Echo(s);' > "$DIR/my script.js"
command=$(reg_value "$(verb_key .js)\\command" "")
exe=${command%\" \"%1\"}
encode_in "${exe#\"}" "$DIR" "my script.js"
[ -f "$INSTALLED/ruvelto.ini" ] || fail "the installed program wrote no settings beside itself"

# Setup while the program runs: an exit code, nothing replaced.
start_program "$EXE_WIN"
WIN=$(wait_main_window)
touch -d '2001-01-01' "$INSTALLED/ruvelto.html"
code=0
wine "$SETUP" /S </dev/null >/dev/null 2>&1 || code=$?
[ "$code" = 2 ] || fail "setup over the running program answered $code"
[ "$(stat -c %Y "$INSTALLED/ruvelto.html")" = "$(date -d 2001-01-01 +%s)" ] || fail "setup replaced files while the program ran"
exit_through_menu "$WIN"
wait_exit

# Installing again keeps the settings.
printf '[Kept]\r\nMine=1\r\n' >> "$INSTALLED/ruvelto.ini"
cp "$INSTALLED/ruvelto.ini" "$WORK/ini.before"
wine "$SETUP" /S </dev/null >/dev/null 2>&1 || fail "the second setup.exe /S failed"
cmp -s "$INSTALLED/ruvelto.ini" "$WORK/ini.before" || fail "the second setup changed ruvelto.ini"
[ "$(stat -c %Y "$INSTALLED/ruvelto.html")" != "$(date -d 2001-01-01 +%s)" ] || fail "the second setup did not install"

# The silent uninstall (it goes on in a copy of itself) leaves the settings and the macro folder only.
wine "$INSTALLED/uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "uninstall.exe /S failed"
poll eval '[ ! -e "$INSTALLED/uninstall.exe" ] && [ ! -e "$INSTALLED/sample" ]' || fail "the uninstaller did not finish: $(installed_files)"
[ "$(installed_files)" = "./macro ./ruvelto.ini " ] || fail "left after uninstall: '$(installed_files)'"
cmp -s "$INSTALLED/ruvelto.ini" "$WORK/ini.before" || fail "the uninstaller changed ruvelto.ini"
[ ! -e "$SHORTCUT" ] || fail "the Start menu shortcut stayed"
for key in "$(verb_key .js)" "$(verb_key .vbs)" "$(verb_key .txt)" "$UNINSTALL_KEY"; do
  ! reg_value "$key" "" >/dev/null || fail "$key stayed"
done

# The portable zip, unpacked into a folder with blanks and Japanese in its name.
PORTABLE="$WORK/ポータブル 版"
mkdir -p "$PORTABLE"
unzip -q "$ZIP" -d "$PORTABLE"
APP="$PORTABLE/Ruvelto-$VERSION"
[ -f "$APP/ruvelto.exe" ] && [ -f "$APP/ruvelto_encoder.dll" ] || fail "the zip holds: $(cd "$PORTABLE" && find . | tr '\n' ' ')"
rm -f "$DIR/my script.jse"
encode_in "$(winepath -w "$APP/ruvelto.exe" 2>/dev/null)" "$DIR" "my script.js"
[ -f "$APP/ruvelto.ini" ] || fail "the portable program wrote no settings beside itself"
echo "e2e_package: $((SECONDS - started)) s"
echo "PASS"
