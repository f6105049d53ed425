#!/usr/bin/env bash
# The build refuses a source tree that lacks one of its folders, the art or
# the shipped files, instead of building a program or a test run without them.
# Works on a copy of the tree made of links, with one piece taken away at a time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
T="$(mktemp -d "${TMPDIR:-/tmp}/rv-layout.XXXXXX")"
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Links every entry of folder $1 into $2, except the build outputs.
link_tree() {
  local entry
  mkdir -p "$2"
  for entry in "$1"/* "$1"/.[!.]*; do
    [ -e "$entry" ] || continue
    case "$(basename "$entry")" in build | build-* | .git) continue ;; esac
    ln -s "$entry" "$2/$(basename "$entry")"
  done
}
link_tree "$ROOT" "$T/src"

configure() {
  cmake -S "$T/src" -B "$T/build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" > "$T/out" 2>&1
}
# without <path>: configuring a tree without <path> fails and names it.
without() {
  local path="$1" dir
  dir=$(dirname "$path")
  # Replace each linked folder on the way by a real one holding links.
  local part="" p
  for p in $(echo "$dir" | tr / ' '); do
    [ "$dir" = . ] && break
    part="${part:+$part/}$p"
    if [ -L "$T/src/$part" ]; then
      rm "$T/src/$part"
      link_tree "$ROOT/$part" "$T/src/$part"
    fi
  done
  mv "$T/src/$path" "$T/taken"
  if configure; then
    fail "the build configured without $path"
  fi
  grep -qF "src/${path%/CMakeLists.txt}" "$T/out" || { cat "$T/out"; fail "the error does not name $path"; }
  mv "$T/taken" "$T/src/$path"
  echo "refused without $path"
}

configure || { cat "$T/out"; fail "the whole tree does not configure"; }
without views/CMakeLists.txt
without platform/textctl/CMakeLists.txt
without tests/views/CMakeLists.txt
without tests/e2e/CMakeLists.txt
without resources/toolbar.bmp
without resources/ruvelto.ico
without resources/shipped
configure || { cat "$T/out"; fail "the restored tree does not configure"; }
echo "PASS"
