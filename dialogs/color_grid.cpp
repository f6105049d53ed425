// The colour grid model; see color_grid.h.
#include "dialogs/color_grid.h"

namespace colorgrid {
namespace {
constexpr uint32_t Rgb(uint32_t rrggbb) {
  return ((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16);
}
}  // namespace

const NamedColor kColors[kColorCount] = {
    {Rgb(0x000000), "Black"},          {Rgb(0xA52A00), "Brown"},
    {Rgb(0x004040), "Dark Olive Green"}, {Rgb(0x005500), "Dark Green"},
    {Rgb(0x00005E), "Dark Teal"},      {Rgb(0x00008B), "Dark blue"},
    {Rgb(0x4B0082), "Indigo"},         {Rgb(0x282828), "Dark grey"},
    {Rgb(0x8B0000), "Dark red"},       {Rgb(0xFF6820), "Orange"},
    {Rgb(0x8B8B00), "Dark yellow"},    {Rgb(0x009300), "Green"},
    {Rgb(0x388E8E), "Teal"},           {Rgb(0x0000FF), "Blue"},
    {Rgb(0x7B7BC0), "Blue-grey"},      {Rgb(0x666666), "Grey - 40"},
    {Rgb(0xFF0000), "Red"},            {Rgb(0xFFAD5B), "Light orange"},
    {Rgb(0x32CD32), "Lime"},           {Rgb(0x3CB371), "Sea green"},
    {Rgb(0x7FFFD4), "Aqua"},           {Rgb(0x7D9EC0), "Light blue"},
    {Rgb(0x800080), "Violet"},         {Rgb(0x7F7F7F), "Grey - 50"},
    {Rgb(0xFFC0CB), "Pink"},           {Rgb(0xFFD700), "Gold"},
    {Rgb(0xFFFF00), "Yellow"},         {Rgb(0x00FF00), "Bright green"},
    {Rgb(0x40E0D0), "Turquoise"},      {Rgb(0xC0FFFF), "Skyblue"},
    {Rgb(0x480048), "Plum"},           {Rgb(0xC0C0C0), "Light grey"},
    {Rgb(0xFFE4E1), "Rose"},           {Rgb(0xD2B48C), "Tan"},
    {Rgb(0xFFFFE0), "Light yellow"},   {Rgb(0x98FB98), "Pale green "},
    {Rgb(0xAFEEEE), "Pale turquoise"}, {Rgb(0x68838B), "Pale blue"},
    {Rgb(0xE6E6FA), "Lavender"},       {Rgb(0xFFFFFF), "White"},
};

int BoxSize(int box, int margin) { return box - (2 * margin + 2) < 5 ? 2 * margin + 7 : box; }

Layout::Layout(int x, int y, int margin, int box, bool hasAuto, bool hasCustom, int textWidth, int textHeight)
    : m_margin(margin), m_box(BoxSize(box, margin)), m_hasAuto(hasAuto), m_hasCustom(hasCustom) {
  const int m = m_margin;
  m_window = {x, y, x + kColumns * m_box + 2 * m, y + kRows * m_box + 2 * m};
  const int tw = textWidth + 2 * m;
  const int th = textHeight + 4 * m + 2;
  auto widen = [&] {
    if (m_window.Width() < tw) m_window.right = m_window.left + tw;
  };
  if (m_hasAuto) {
    widen();
    m_auto = {m, m, m_window.Width() - m, 2 * m + th};
    m_window.bottom += 3 * m + th;
  }
  if (m_hasCustom) {
    if (!m_hasAuto) widen();
    const int h = m_window.Height();
    m_custom = {m, h, m_window.Width() - m, h + m + th};
    m_window.bottom += 3 * m + th;
  }
}

void Layout::KeepOnScreen(int screenWidth, int screenHeight, int buttonHeight) {
  int dx = 0, dy = 0;
  if (m_window.right > screenWidth) dx = screenWidth - m_window.right;
  if (m_window.left + dx < 0) dx = -m_window.left;
  if (m_window.bottom > screenHeight) dy = -(m_window.Height() + buttonHeight);
  m_window = {m_window.left + dx, m_window.top + dy, m_window.right + dx, m_window.bottom + dy};
}

Rect Layout::CellRect(int cell) const {
  if (cell == kCustomCell) return m_custom;
  if (cell == kAutoCell) return m_auto;
  if (cell < 0 || cell >= kColorCount) return Rect{};
  Rect r;
  r.left = m_margin + (cell % kColumns) * m_box;
  r.top = m_margin + (cell / kColumns) * m_box + (m_hasAuto ? m_auto.Height() + m_margin : 0);
  r.right = r.left + m_box;
  r.bottom = r.top + m_box;
  return r;
}

bool Layout::IsColorCell(int row, int column) const {
  return row >= 0 && row < kRows && column >= 0 && column < kColumns && row * kColumns + column < kColorCount;
}

int Layout::HitTest(int x, int y) const {
  // The boxes are tested against the point less the margin, as the cells are.
  x -= m_margin;
  y -= m_margin;
  if (m_hasCustom && m_custom.Contains(x, y)) return kCustomCell;
  if (m_hasAuto && m_auto.Contains(x, y)) return kAutoCell;
  if (m_hasAuto) y -= m_auto.Height();
  // Division truncates toward zero: the left and top margins belong to the
  // first column and row.
  const int row = y / m_box, column = x / m_box;
  return IsColorCell(row, column) ? row * kColumns + column : kNoCell;
}

int Layout::FirstSpecial(int fallback) const {
  if (m_hasAuto) return kAutoCell;
  if (m_hasCustom) return kCustomCell;
  return fallback;
}

int Layout::Move(int hot, Key key) const {
  const int last = kColorCount - 1;
  const bool special = hot < 0;  // -3, -2, -1: row and column are the index itself
  const int row = special ? hot : hot / kColumns;
  const int column = special ? hot : hot % kColumns;
  // After the table: customize, else automatic, else cell 0.
  auto pastTable = [&] { return m_hasCustom ? kCustomCell : FirstSpecial(0); };
  // Before the table: customize, else the last cell.
  auto customOrLast = [&] { return m_hasCustom ? kCustomCell : last; };
  switch (key) {
    case Key::Down:
      if (hot == kAutoCell) return 0;
      if (hot == kCustomCell) return m_hasAuto ? kAutoCell : 0;
      return IsColorCell(row + 1, column) ? (row + 1) * kColumns + column : pastTable();
    case Key::Up:
      if (hot == kAutoCell) return customOrLast();
      if (hot == kCustomCell) return last;
      if (row > 0) return (row - 1) * kColumns + column;
      return FirstSpecial(last);
    case Key::Right: {
      if (hot == kAutoCell) return 0;
      if (hot == kCustomCell) return m_hasAuto ? kAutoCell : 0;
      int r = row, c = column + 1;
      if (c >= kColumns) {
        c = 0;
        ++r;
      }
      return IsColorCell(r, c) ? r * kColumns + c : pastTable();
    }
    case Key::Left: {
      if (hot == kAutoCell) return customOrLast();
      if (hot == kCustomCell) return last;
      if (hot <= 0) return FirstSpecial(last);  // cell 0 or none
      int r = row, c = column - 1;
      if (c < 0) {
        c = kColumns - 1;
        --r;
      }
      return r * kColumns + c;
    }
  }
  return hot;
}

int Layout::ChosenCell(uint32_t color) const {
  if (color == kAutomaticColor && m_hasAuto) return kAutoCell;
  for (int i = 0; i < kColorCount; ++i)
    if (kColors[i].color == color) return i;
  return m_hasCustom ? kCustomCell : kNoCell;
}

}  // namespace colorgrid
