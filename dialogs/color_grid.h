// The colour picker popup's grid without a window: the 40 named colours, the
// layout of the automatic box, the colour cells and the customize box, the hit
// test of a mouse position, the arrow-key moves between cells and the cell of
// a colour. Colours are 0x00BBGGRR. No Windows header.
#pragma once
#include <cstdint>

namespace colorgrid {

constexpr int kColorCount = 40;
constexpr int kColumns = 10;
constexpr int kRows = kColorCount / kColumns + (kColorCount % kColumns ? 1 : 0);
// Cell indexes besides 0..39.
constexpr int kNoCell = -1;
constexpr int kCustomCell = -2;
constexpr int kAutoCell = -3;
// The colour reported for the automatic box; not a colour anything is drawn with.
constexpr uint32_t kAutomaticColor = 0xFF000000u;

struct NamedColor {
  uint32_t color;
  const char* name;
};
extern const NamedColor kColors[kColorCount];

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The box size in use: 18 unless the margin leaves less than 5 pixels of colour.
int BoxSize(int box, int margin);

enum class Key { Up, Down, Left, Right };

class Layout {
 public:
  // `textWidth`/`textHeight`: the larger extent of the two box texts; a box
  // exists when its text is not empty. Window rectangle starts at (x, y).
  Layout(int x, int y, int margin, int box, bool hasAuto, bool hasCustom, int textWidth, int textHeight);

  int margin() const { return m_margin; }
  int box() const { return m_box; }
  bool HasAuto() const { return m_hasAuto; }
  bool HasCustom() const { return m_hasCustom; }
  const Rect& AutoRect() const { return m_auto; }      // client coordinates
  const Rect& CustomRect() const { return m_custom; }  // client coordinates
  const Rect& WindowRect() const { return m_window; }  // screen coordinates

  // Keeps the window on a screen of the given size; one that would reach
  // below it opens above the button of height `buttonHeight`.
  void KeepOnScreen(int screenWidth, int screenHeight, int buttonHeight);

  // A colour cell, the customize box or the automatic box, in client coordinates.
  Rect CellRect(int cell) const;
  // The cell under client point (x, y), or kNoCell where the hot cell stays.
  int HitTest(int x, int y) const;
  // The cell an arrow key moves to from `hot` (kNoCell for none).
  int Move(int hot, Key key) const;
  // The cell of a colour: the automatic box, its first table entry, else the
  // customize box (or no cell without one).
  int ChosenCell(uint32_t color) const;

 private:
  bool IsColorCell(int row, int column) const;
  int FirstSpecial(int fallback) const;  // automatic, else customize, else fallback

  int m_margin, m_box;
  bool m_hasAuto, m_hasCustom;
  Rect m_auto, m_custom, m_window;
};

}  // namespace colorgrid
