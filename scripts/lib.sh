# Shared steps of the set-up scripts: packages, builds, Wine prefixes, virtual
# display, test sessions. Sourced by the scripts here and by the end-to-end
# tests; every step is idempotent.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${RUVELTO_BUILD:-$ROOT/build}"
# The editor that run.sh starts lives in USER_PREFIX; tests use their own
# prefix, hence their own Wine server, and never stop the user's.
USER_PREFIX="$BUILD/wineprefix"
TEST_PREFIX="$BUILD/wineprefix-test"
use_prefix() { export WINEPREFIX="$1"; }
export WINEARCH=win64
export WINEDEBUG=-all
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8

PACKAGES="cmake make g++-mingw-w64-i686 mingw-w64-tools googletest wine wine32:i386 wine64
          xvfb xauth xdotool x11-utils locales fonts-ipafont-gothic fonts-wine imagemagick python3
          g++ clang ghostscript libboost1.81-dev nsis zip unzip"

log() { echo "== $*" >&2; }

ensure_packages() {
  local missing=()
  for p in $PACKAGES; do
    [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" = "install ok installed" ] || missing+=("$p")
  done
  # libFuzzer comes with clang's runtime libraries, which clang only recommends.
  compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null ||
    missing+=(libclang-rt-14-dev)
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing: ${missing[*]}"
    dpkg --print-foreign-architectures | grep -x i386 >/dev/null || dpkg --add-architecture i386
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  # (grep reads to the end: under pipefail, an early exit could fail the writer)
  if ! locale -a 2>/dev/null | grep -i '^ja_JP.utf8$' >/dev/null; then
    log "generating ja_JP.UTF-8"
    sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
}

build_all() {
  if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  cmake --build "$BUILD" -j"$(nproc)" "$@"
}

# A display for Wine: the caller's when it works, otherwise our own Xvfb.
OWN_XVFB_PID=""
start_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${1:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    OWN_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  done
  log "could not start Xvfb"; return 1
}

stop_display() {
  if [ -n "$OWN_XVFB_PID" ]; then
    kill "$OWN_XVFB_PID" 2>/dev/null || true
    wait "$OWN_XVFB_PID" 2>/dev/null || true
  fi
  OWN_XVFB_PID=""
}

# Creates the prefix once, with the settings below; the program's own set-up
# (the printer) follows.
prepare_prefix() {
  create_prefix
  forget_encoder_registration
  install_printer
}

create_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null || true
    wineserver -w
  fi
  import_prefix_settings
}

# Maps the Japanese faces the program asks for onto the installed IPA Gothic.
# The settings count as made only once they read back, so a failed import is
# tried again next time.
import_prefix_settings() {
  if [ ! -f "$WINEPREFIX/.ruvelto-settings-2" ]; then
    local reg="$BUILD/prefix-settings.reg"
    # Windows are not handed to a window manager (there is none in the virtual
    # display, and hiding a managed window would wait for one); .wsf files run
    # under the script host as on Windows.
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n' > "$reg"
    printf '[HKEY_CLASSES_ROOT\\.wsf]\r\n@="WSFFile"\r\n\r\n' >> "$reg"
    printf '[HKEY_CLASSES_ROOT\\WSFFile\\shell\\open\\command]\r\n@="\\"C:\\\\windows\\\\system32\\\\wscript.exe\\" \\"%%1\\" %%*"\r\n\r\n' >> "$reg"
    # .js and .jse open under the script host as on Windows (the prefix has no
    # open command for .js and no .jse type); .jse reads with JScript.Encode.
    printf '[HKEY_CLASSES_ROOT\\.jse]\r\n@="JSEFile"\r\n\r\n[HKEY_CLASSES_ROOT\\JSEFile\\ScriptEngine]\r\n@="JScript.Encode"\r\n\r\n' >> "$reg"
    for type in JSFile JSEFile; do
      printf '[HKEY_CLASSES_ROOT\\%s\\shell\\open\\command]\r\n@="\\"C:\\\\windows\\\\system32\\\\wscript.exe\\" \\"%%1\\" %%*"\r\n\r\n' "$type" >> "$reg"
    done
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n' >> "$reg"
    for face in "ＭＳ ゴシック" "ＭＳ Ｐゴシック" "MS Gothic" "MS PGothic" "ＭＳ 明朝" "MS UI Gothic"; do
      printf '"%s"="IPAGothic"\r\n' "$face" | iconv -f UTF-8 -t CP932 >> "$reg"
    done
    wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 </dev/null || true
    # The first and the last value of the file read back; regedit imports in order.
    local first last
    first=$(wine reg query 'HKCU\Software\Wine\X11 Driver' /v Managed </dev/null 2>/dev/null) || true
    last=$(wine reg query 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' </dev/null 2>/dev/null) || true
    wineserver -w
    if ! [[ "$first" =~ REG_SZ\ +N && "$last" =~ REG_SZ\ +IPAGothic ]]; then
      log "the settings of $WINEPREFIX did not import ($reg); they are tried again next time"
      return 1
    fi
    touch "$WINEPREFIX/.ruvelto-settings-2"
  fi
}

# fresh_prefix <dir>: a new prefix at <dir> as a user's machine has it: the
# display and font settings above and nothing of the program's (no printer,
# nothing registered, nothing installed). Copied from a template made once
# ($BUILD/wineprefix-fresh), its files linked but the registry's, which Wine
# rewrites; the program's files land in folders of the copy's own.
fresh_prefix() {
  local template="$BUILD/wineprefix-fresh"
  if [ ! -f "$template/.ruvelto-template-1" ]; then
    (use_prefix "$template" && create_prefix && wineserver -w) || return 1
    touch "$template/.ruvelto-template-1"
  fi
  rm -rf "$1"
  cp -al "$template" "$1"
  local reg link
  for reg in "$1"/*.reg; do rm "$reg"; cp "$template/$(basename "$reg")" "$reg"; done
  # The user's folders (Desktop...) are links to this machine's home: folders
  # of the copy's own instead, so that shortcuts stay in the prefix.
  for link in "$1"/drive_c/users/*/*; do
    [ -L "$link" ] && rm "$link" && mkdir "$link"
  done
  return 0
}

# Where the printer of a prefix writes its jobs (each job replaces the file):
# build/printed.ps for the editor's prefix, build/printed-test.ps for the tests'.
print_output() {
  if [ "$WINEPREFIX" = "$TEST_PREFIX" ]; then echo "$BUILD/printed-test.ps"; else echo "$BUILD/printed.ps"; fi
}

# Once per prefix: a PostScript printer that writes to print_output, made the
# default printer (tests/support/add_printer.cpp does the Windows side).
install_printer() {
  local helper="$BUILD/tests/add_printer.exe"
  [ -f "$helper" ] || return 0
  [ -f "$WINEPREFIX/.ruvelto-printer-1" ] && return 0
  if wine "$helper" "Ruvelto PostScript" "$(print_output)" </dev/null >/dev/null; then
    touch "$WINEPREFIX/.ruvelto-printer-1"
  else
    log "the printer of $WINEPREFIX was not installed; it is tried again next time"
  fi
}

# The program finds its stand-in script encoder beside itself; nothing is
# registered. Prefixes made by earlier set-ups had the build's copy registered
# as the class of "Scripting.Encoder"; the class gets back what a new prefix
# has (Wine's scrrun.dll, which does not make it), so that every run meets the
# encoder as a fresh prefix does.
forget_encoder_registration() {
  local key='HKCR\CLSID\{32DA2B15-CFED-11D1-B747-00C04FC2B085}\InprocServer32'
  local reg32='C:\windows\syswow64\reg.exe' now
  [ -f "$WINEPREFIX/.ruvelto-encoder-unregistered" ] && return 0
  now=$(wine "$reg32" query "$key" /ve </dev/null 2>/dev/null) || true
  if [[ "$now" == *ruvelto_encoder.dll* ]]; then
    wine "$reg32" add "$key" /ve /d 'C:\windows\system32\scrrun.dll' /f >/dev/null 2>&1 </dev/null || return 0
    wine "$reg32" add "$key" /v ThreadingModel /d Apartment /f >/dev/null 2>&1 </dev/null || return 0
  fi
  touch "$WINEPREFIX/.ruvelto-encoder-unregistered"
}

# A persistent, warm Wine server so that each test process starts quickly.
start_wineserver() {
  (wineserver -p >/dev/null 2>&1 </dev/null &)
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# What tests run in: a virtual display of their own, the test prefix and its
# warm server. RUVELTO_TEST_SESSION tells a test that it runs inside one.
test_session_begin() {
  use_prefix "$TEST_PREFIX"
  start_display own
  prepare_prefix
  stop_wineserver  # one left behind by an interrupted run serves a display that is gone
  start_wineserver
  export RUVELTO_TEST_SESSION=1
}

test_session_end() {
  stop_wineserver
  stop_display
}

# The pure modules built for the host with the sanitizers (tests/native): their
# unit tests with g++, the fuzz drivers with clang++ and libFuzzer.
NATIVE="$BUILD/native"
build_native() {
  local dir
  for dir in unit fuzz; do
    if [ ! -f "$NATIVE/$dir/CMakeCache.txt" ]; then
      local src="$ROOT/tests/native" cxx=g++
      [ "$dir" = fuzz ] && src="$ROOT/tests/native/fuzz" cxx=clang++
      cmake -S "$src" -B "$NATIVE/$dir" -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
    fi
    cmake --build "$NATIVE/$dir" -j"$(nproc)"
  done
}

# The files a user gets, as paths under the build's out folder; the macro
# folder goes with them when the build has one. The installer and the zip
# both hold exactly these.
PACKAGE_FILES="ruvelto.exe ruvelto-macro.exe ruvelto_encoder.dll ruvelto.html sample/version.wsf"

project_version() {  # the version the build was configured with (resources/version.h)
  sed -n 's/^#define RV_VERSION "\(.*\)"$/\1/p' "$BUILD/generated/resources/version.h"
}

# make_package <dist folder>: from the built program, the installer
# Ruvelto-<version>-setup.exe (packaging/ruvelto.nsi) and the portable
# Ruvelto-<version>-portable.zip, whose one folder Ruvelto-<version> holds the
# same files.
make_package() {
  local dist="$1" version stage f dir
  version=$(project_version)
  [ -n "$version" ] || { log "no version in $BUILD/generated/resources/version.h"; return 1; }
  stage="$BUILD/package/Ruvelto-$version"
  rm -rf "$BUILD/package"
  mkdir -p "$stage" "$dist"
  dist=$(cd "$dist" && pwd)  # the zip is written from the staging folder
  local nsh="$BUILD/package/files.nsh"
  local install="!macro InstallProgramFiles" remove="!macro RemoveProgramFiles" dirs="" last="-"
  for f in $PACKAGE_FILES; do
    [ -f "$BUILD/out/$f" ] || { log "$BUILD/out/$f is missing; build first"; return 1; }
    mkdir -p "$stage/$(dirname "$f")"
    cp "$BUILD/out/$f" "$stage/$f"
    dir=$(dirname "$f" | sed 's|^\.$||; s|/|\\|g')
    [ "$dir" = "$last" ] || install+=$'\n'"  SetOutPath \"\$INSTDIR${dir:+\\$dir}\""
    install+=$'\n'"  File \"\${STAGE}\\${f//\//\\}\""
    last=$dir
    remove+=$'\n'"  Delete \"\$INSTDIR\\${f//\//\\}\""
    [ -n "$dir" ] && [[ " $dirs " != *" $dir "* ]] && dirs+=" $dir"
  done
  for dir in $dirs; do remove+=$'\n'"  RMDir \"\$INSTDIR\\$dir\""; done
  printf '%s\n  SetOutPath "$INSTDIR"\n!macroend\n%s\n!macroend\n' "$install" "$remove" > "$nsh"
  if [ -d "$BUILD/out/macro" ]; then
    cp -r "$BUILD/out/macro" "$stage/macro"
    echo '!define HAVE_MACROS' >> "$nsh"
  fi
  rm -f "$dist/Ruvelto-$version-setup.exe" "$dist/Ruvelto-$version-portable.zip"
  makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DICON="$ROOT/resources/ruvelto.ico" \
    -DOUTFILE="$dist/Ruvelto-$version-setup.exe" "$ROOT/packaging/ruvelto.nsi" >&2
  (cd "$BUILD/package" && zip -q -r -X "$dist/Ruvelto-$version-portable.zip" "Ruvelto-$version")
  log "wrote $dist/Ruvelto-$version-setup.exe and $dist/Ruvelto-$version-portable.zip"
}
