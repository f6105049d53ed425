#!/usr/bin/env bash
# Printing with the real program: "ruvelto.exe /p file" prints through the
# prefix's PostScript printer (installed by the set-up scripts) without a
# dialog and ends; the PostScript has the pages the text needs, and page 1,
# rasterised by Ghostscript, has ink where the header, the body and the
# footer "- 1 -" go and none in the side margins. A JScript file prints its
# keywords in the keyword colour, and in black once カラー印刷 is off
# (PrintColor=0 in the settings file). Then print preview from the
# File menu: its window shows, Page Down and Escape reach it, and the main
# window gets the keyboard back. With E2E_SHOT=<png> the preview is kept as a
# picture.
source "$(dirname "$0")/e2e_lib.sh"
install_copy
write_ini 0 0 760 520 AutoKanji=0
# 70 short lines: two pages for any line height that puts 35 to 69 lines on
# a page (about 45 with the default font on the printer's A4 paper).
python3 - "$WORK/print.js" <<'PY'
import sys
lines = ['// 印刷の確認 %d: 日本語とASCII' % i if i % 2 else '\tif (%d) WScript.Echo("行 %d");' % (i, i) for i in range(1, 71)]
open(sys.argv[1], 'wb').write('\r\n'.join(lines).encode('cp932') + b'\r\n')
PY

# Where the printer writes: the spooler's target of its port.
OUT=$(wine reg query 'HKCU\Software\Wine\Printing\Spooler' /v 'LPT1:' </dev/null 2>/dev/null |
      tr -d '\r' | sed -n 's/^ *LPT1: *REG_SZ *//p')
[ -n "$OUT" ] || fail "the prefix has no file printer (scripts/lib.sh install_printer)"
rm -f "$OUT"
start_app /p "Z:$WORK/print.js"
wait_exit
poll eval 'grep -q "^%%EOF" "$OUT" 2>/dev/null' || fail "no complete print job in $OUT"
pages=$(grep -c '^%%Page:' "$OUT")
[ "$pages" = 2 ] || fail "the job has $pages pages, not 2"

gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pnggray -r50 -dFirstPage=1 -dLastPage=1 \
   -sOutputFile="$WORK/page1.png" "$OUT" || fail "Ghostscript could not rasterise the job"
read -r W H < <(identify -format '%w %h\n' "$WORK/page1.png")
# ink <x0%> <x1%> <y0%> <y1%>: true when that part of the page is not all white.
ink() {
  local x=$((W * $1 / 100)) y=$((H * $3 / 100)) w=$((W * ($2 - $1) / 100)) h=$((H * ($4 - $3) / 100)) mean
  mean=$(convert "$WORK/page1.png" -crop "${w}x${h}+${x}+${y}" +repage -format '%[fx:mean]' info:)
  python3 -c "import sys; sys.exit(0 if float('$mean') < 0.995 else 1)"
}
# Margins: 7.5 % at the sides, 5 % at top and bottom; the header stands just
# above the top margin line, the footer just below the bottom one.
ink 20 80 2 5 || fail "no header on page 1"
ink 8 50 10 40 || fail "no body on page 1"
ink 45 55 95 98 || fail "no footer on page 1"
ink 0 6 0 100 && fail "ink in the left margin"
ink 94 100 0 100 && fail "ink in the right margin"
ink 20 40 95 98 && fail "the footer is not centred"

# Colours: how many pixels of page 1 of a /p job of a file of keywords are
# clearly the keyword colour (blue); the header and plain text are black.
python3 - "$WORK/keywords.js" <<'PY'
import sys
open(sys.argv[1], 'wb').write(b'var a = 1;\r\nwhile (a) { break; }\r\nfunction f() { return a; }\r\n' * 8)
PY
blue_pixels() {
  rm -f "$OUT"
  start_app /p "Z:$WORK/keywords.js"
  wait_exit
  poll eval 'grep -q "^%%EOF" "$OUT" 2>/dev/null' || fail "no complete print job of keywords.js"
  gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=png16m -r50 -dFirstPage=1 -dLastPage=1 \
     -sOutputFile="$WORK/keywords.png" "$OUT" || fail "Ghostscript could not rasterise the job"
  convert "$WORK/keywords.png" -fx '(b > 0.6 && r < 0.4 && g < 0.4) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}
blue=$(blue_pixels)
[ "$blue" -gt 100 ] || fail "the keywords did not print in the keyword colour ($blue blue pixels)"
write_ini 0 0 760 520 AutoKanji=0 PrintColor=0
blue=$(blue_pixels)
[ "$blue" -eq 0 ] || fail "with カラー印刷 off the page still has $blue blue pixels"
write_ini 0 0 760 520 AutoKanji=0

# Print preview from the File menu.
start_app "Z:$WORK/print.js"
WIN=$(wait_main_window)
xdotool key --clearmodifiers alt+f
wait_menu "File"
xdotool key v
poll window_titled "印刷プレビュー" >/dev/null || fail "no print preview window"
PREVIEW=$(window_titled "印刷プレビュー")
poll has_focus "$PREVIEW" || fail "the preview did not get the keyboard"
if [ -n "${E2E_SHOT:-}" ]; then
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  stable_shot "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}"
fi
xdotool key Next
xdotool key Escape
poll eval '! window_titled "印刷プレビュー" >/dev/null' || fail "Escape did not close the preview"
poll has_focus "$WIN" || fail "the main window did not get the keyboard back"
exit_through_menu "$WIN"
wait_exit
echo "PASS"
