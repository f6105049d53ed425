#!/usr/bin/env bash
# scripts/test.sh with stand-ins for the system's tools that record every call:
# a test run works in a Wine prefix (and so a Wine server) of its own, never in
# the one run.sh starts the editor in; a settings import that does not read
# back fails the run and is tried again by the next one, and only then counts
# as done.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
T="$(mktemp -d "${TMPDIR:-/tmp}/rv-scripts.XXXXXX")"
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
mkdir "$T/bin" "$T/build"
export FAKE_LOG="$T/calls.log"

cat > "$T/bin/stand-in" <<'SH'
#!/usr/bin/env bash
tool=$(basename "$0")
echo "$tool prefix=${WINEPREFIX:-} $*" >> "$FAKE_LOG"
case "$tool" in
  dpkg-query) echo "install ok installed" ;;
  locale) echo ja_JP.utf8 ;;
  apt-get | dpkg) echo "$tool must not run here" >&2; exit 1 ;;
  Xvfb) tail -f /dev/null & trap 'kill $!; exit 0' TERM; wait ;;  # runs until stopped, then ends cleanly as Xvfb does
  wineboot) touch "$WINEPREFIX/system.reg" ;;
  winepath) echo "$2" ;;
  wine)
    case "$1" in
      regedit) [ "${FAKE_REGEDIT:-}" = fail ] || cp "$3" "$WINEPREFIX/imported.reg" ;;
      reg)  # reg query <key> /v <name>: the value as the import stored it
        [ -f "$WINEPREFIX/imported.reg" ] || exit 1
        value=$(tr -d '\r' < "$WINEPREFIX/imported.reg" | sed -n "s/^\"$5\"=\"\\(.*\\)\"\$/\\1/p")
        [ -n "$value" ] || exit 1
        printf '\n%s\n    %s    REG_SZ    %s\n\n' "$3" "$5" "$value" ;;
    esac ;;
esac
exit 0
SH
chmod +x "$T/bin/stand-in"
for tool in dpkg-query dpkg apt-get locale cmake ctest Xvfb xdpyinfo wine wineboot wineserver winepath; do
  ln -s stand-in "$T/bin/$tool"
done

run_tests() {  # run_tests <name>: one scripts/test.sh run; its calls in $T/<name>.log
  : > "$FAKE_LOG"
  local status=0
  env -u WINEPREFIX -u RUVELTO_TEST_SESSION PATH="$T/bin:$PATH" RUVELTO_BUILD="$T/build" \
    "$ROOT/scripts/test.sh" > "$T/$1.out" 2>&1 || status=$?
  cp "$FAKE_LOG" "$T/$1.log"
  return "$status"
}
regedit_ran() { grep -q '^wine .* regedit ' "$T/$1.log"; }

FAKE_REGEDIT=fail run_tests failed && { cat "$T/failed.out"; fail "a run whose prefix settings did not import passed"; }
run_tests retried || { cat "$T/retried.out" "$T/retried.log"; fail "the run after a failed import failed"; }
regedit_ran retried || fail "the settings import was not tried again after it failed"
run_tests again || { cat "$T/again.out"; fail "third run failed"; }
regedit_ran again && fail "settings imported again after a successful import"

USER_PREFIX="$T/build/wineprefix"  # where run.sh keeps the editor's prefix (README)
for run in failed retried again; do
  grep -q "^ctest .* --test-dir $T/build " "$T/$run.log" || [ "$run" = failed ] || fail "$run: ctest did not run"
  while read -r tool prefix args; do
    case "$tool $args " in
      wine* | "ctest --test-dir $T/build "*) ;;  # Wine and the tests under it
      *) continue ;;
    esac
    [ "$prefix" != "prefix=" ] || fail "$run: $tool ran without a prefix of its own"
    [ "$prefix" != "prefix=$USER_PREFIX" ] || fail "$run: $tool ran in the editor's prefix: $tool $prefix"
  done < "$T/$run.log"
done
grep -q '^wineserver .* -k' "$T/again.log" || fail "the test run did not stop its Wine server"
echo "PASS"
