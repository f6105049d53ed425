#!/usr/bin/env bash
# The real program, first start without a settings file: it shows its main
# window, ends through the exit command and writes its settings file.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
[ ! -e "$WORK/ruvelto.ini" ] || fail "settings file exists before the first start"
start_app
WIN=$(wait_main_window)
TITLE=$(xdotool getwindowname "$WIN")
case "$TITLE" in Ruvelto*) ;; *) fail "unexpected title '$TITLE'";; esac
[ -d "$WORK/macro" ] || fail "macro folder not created"
exit_through_menu "$WIN"
wait_exit
[ -f "$WORK/ruvelto.ini" ] || fail "no settings file written"
python3 - "$WORK/ruvelto.ini" <<'PY' || fail "settings file content"
import sys
text = open(sys.argv[1], 'rb').read().decode('cp932')
sections = [l.strip() for l in text.splitlines() if l.startswith('[')]
keys = {}
cur = None
for l in text.splitlines():
    l = l.strip()
    if l.startswith('['): cur = l[1:-1]; keys[cur] = []; continue
    if '=' in l: keys[cur].append(tuple(l.split('=', 1)))
assert sections[0] == '[Settings]', sections
names = [k for k, _ in keys['Settings']]
assert names == ['Window', 'AutoKanji', 'TabStops', 'AutoIndent', 'Stress', 'Directory', 'FilterIndex',
                 'HelpPath', 'Language', 'Font', 'Font-Family', 'Colors', 'Editor', 'OpenMode'], names
v = dict(keys['Settings'])
assert len(v['Window']) == 88 and set(v['Window']) <= set('ABCDEFGHIJKLMNOP'), v['Window']
assert v['AutoKanji'] == '0' and v['TabStops'] == '4' and v['AutoIndent'] == '1' and v['Stress'] == '1', v
assert v['Colors'] == 'FF0000,0000C0,808000' and v['Editor'] == '000000,FFFFFF', v
assert v['Font-Family'] == 'FixedSys' and len(v['Font'].split(',')) == 13, v
assert v['OpenMode'] == '0', v
assert 'PreviewPages' not in v
assert not keys.get('Recent File List'), keys.get('Recent File List')
print("settings file ok:", names)
PY
echo "PASS"
