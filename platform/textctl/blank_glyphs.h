// Glyphs that a font's hinting leaves without a pixel. A thin stroke can vanish
// when hinting fits it to the pixel grid: under Wine the underscore of the IPA
// gothic face has no pixel at 16 to 20 pixels and some other sizes, so
// "run_log" reads "run log". Such a glyph - blank as hinted, inked without
// hinting - is drawn as its hinted black box, a bar where the font puts the
// stroke, kept inside the line's band. Used by every pass that draws text on
// the screen (the text control, the colouring over it).
#pragma once
#include <windows.h>
#include <cstdint>
#include <utility>
#include <vector>

class BlankGlyphs {
 public:
  // The box to fill for `ch` in the DC's current font, relative to the top-left
  // corner of its cell in a line `lineHeight` high, or null when the font draws
  // it itself. What is learnt is kept per font; a new font starts afresh.
  const RECT* Box(HDC dc, wchar_t ch, int lineHeight);
  // Fills, in `colour`, the boxes of the glyphs of `run` that the font leaves
  // blank; the run is drawn from (x, y) with the advances `dx` (null: the
  // font's own), and nothing is filled outside `clip` (null: anywhere).
  void FillRun(HDC dc, int x, int y, const wchar_t* run, size_t length, const int* dx, int lineHeight,
               COLORREF colour, const RECT* clip = nullptr);

 private:
  // Starts afresh when the DC's font is not the one learnt.
  void FollowFont(HDC dc);
  const RECT* BoxInFont(HDC dc, wchar_t ch, int lineHeight);

  HFONT m_font = nullptr;
  int m_ascent = 0;
  // Per UTF-16 unit: 0 unknown, 1 drawn by the font, 2 blank (a box below).
  std::vector<uint8_t> m_kinds;
  std::vector<std::pair<wchar_t, RECT>> m_boxes;
};
