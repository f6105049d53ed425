#!/usr/bin/env bash
# The real program restores its window from the stored placement record, and
# stores where the user moved it.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 100 80 740 560 OpenMode=2
start_app
WIN=$(wait_main_window)
geometry() { eval "$(xdotool getwindowgeometry --shell "$WIN")"; }
at_stored_place() {
  geometry
  [ "$WIDTH" -eq 640 ] && [ "$HEIGHT" -eq 480 ] && [ "$X" -ge 100 ] && [ "$X" -le 110 ] && [ "$Y" -ge 80 ] && [ "$Y" -le 110 ]
}
poll at_stored_place || fail "started at $X,$Y size ${WIDTH}x${HEIGHT}, expected 640x480 near 100,80"
echo "started at $X,$Y size ${WIDTH}x${HEIGHT}"
SX=$X; SY=$Y
# Move it the keyboard way: the window menu's Move, arrow keys (8 pixels each),
# Enter. The move starts by putting the pointer on the caption, away from where
# it was parked.
xdotool mousemove 1279 1023
pointer_on_caption() { [ "$(xdotool getmouselocation)" != "$PARKED" ]; }
PARKED=$(xdotool getmouselocation)
xdotool key --clearmodifiers alt+space
wait_menu "window menu"
xdotool key m
wait_menu_closed "window menu"
poll pointer_on_caption || fail "the keyboard move did not start"
for _ in $(seq 20); do xdotool key Right; done
for _ in $(seq 10); do xdotool key Down; done
xdotool key Return
# (A loaded machine may drop a repeated key: the test takes where it ended,
# right of and below where it was, once it has stayed put for half a second.)
LX=-1; LY=-1; STILL=0
moved() {
  geometry
  if [ "$X" -eq "$LX" ] && [ "$Y" -eq "$LY" ]; then STILL=$((STILL + 1)); else STILL=0; fi
  LX=$X; LY=$Y
  [ "$STILL" -ge 5 ] && [ "$X" -gt $((SX + 80)) ] && [ "$Y" -gt $((SY + 40)) ]
}
poll moved || fail "window did not move right and down by the arrow keys (at $X,$Y)"
echo "moved to $X,$Y"
MX=$X; MY=$Y
exit_through_menu "$WIN"
wait_exit
python3 - "$WORK/ruvelto.ini" "$MX" "$MY" <<'PY' || fail "stored placement"
import struct, sys
text = open(sys.argv[1], 'rb').read().decode('cp932')
enc = [l.split('=', 1)[1] for l in text.splitlines() if l.startswith('Window=')][0]
raw = bytes((ord(enc[i]) - 65) | ((ord(enc[i + 1]) - 65) << 4) for i in range(0, len(enc), 2))
rec = struct.unpack('<11i', raw)
length, flags, show, _, _, _, _, l, t, r, b = rec
print("stored", rec)
assert length == 44 and (r - l, b - t) == (640, 480), rec
mx, my = int(sys.argv[2]), int(sys.argv[3])
assert (l, t) == (mx, my), (rec, mx, my)
PY
echo "PASS"
