// Glyphs left blank by hinting, found once per character and font.
#include "platform/textctl/blank_glyphs.h"
#include <algorithm>

namespace {
const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// Whether the glyph's grey-level bitmap in this format has a pixel. Fonts
// without outlines answer no bitmap at all: no ink.
bool GlyphHasInk(HDC dc, wchar_t ch, UINT format) {
  GLYPHMETRICS gm;
  const DWORD size = GetGlyphOutlineW(dc, ch, format, &gm, 0, nullptr, &kIdentity);
  if (size == GDI_ERROR || size == 0) return false;
  std::vector<BYTE> bits(size);
  if (GetGlyphOutlineW(dc, ch, format, &gm, size, bits.data(), &kIdentity) == GDI_ERROR) return false;
  return std::any_of(bits.begin(), bits.end(), [](BYTE b) { return b != 0; });
}
}  // namespace

void BlankGlyphs::FollowFont(HDC dc) {
  HFONT font = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
  if (font == m_font && !m_kinds.empty()) return;
  m_font = font;
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  m_ascent = tm.tmAscent;
  m_kinds.assign(65536, 0);
  m_boxes.clear();
}

const RECT* BlankGlyphs::Box(HDC dc, wchar_t ch, int lineHeight) {
  FollowFont(dc);
  return BoxInFont(dc, ch, lineHeight);
}

const RECT* BlankGlyphs::BoxInFont(HDC dc, wchar_t ch, int lineHeight) {
  uint8_t& kind = m_kinds[static_cast<uint16_t>(ch)];
  if (!kind) {
    kind = 1;
    GLYPHMETRICS gm;
    if (ch != L' ' && ch != L'\x3000' && !GlyphHasInk(dc, ch, GGO_GRAY8_BITMAP) &&
        GlyphHasInk(dc, ch, GGO_GRAY8_BITMAP | GGO_UNHINTED) &&
        GetGlyphOutlineW(dc, ch, GGO_METRICS, &gm, 0, nullptr, &kIdentity) != GDI_ERROR) {
      RECT box = {gm.gmptGlyphOrigin.x, m_ascent - gm.gmptGlyphOrigin.y, 0, 0};
      box.top = std::clamp<LONG>(box.top, 0, std::max(0, lineHeight - 1));
      box.right = box.left + std::max<LONG>(1, gm.gmBlackBoxX);
      box.bottom = std::min<LONG>(box.top + std::max<LONG>(1, gm.gmBlackBoxY), lineHeight);
      m_boxes.emplace_back(ch, box);
      kind = 2;
    }
  }
  if (kind != 2) return nullptr;
  for (const auto& [c, box] : m_boxes)
    if (c == ch) return &box;
  return nullptr;
}

void BlankGlyphs::FillRun(HDC dc, int x, int y, const wchar_t* run, size_t length, const int* dx, int lineHeight,
                          COLORREF colour, const RECT* clip) {
  FollowFont(dc);
  for (size_t i = 0; i < length; ++i) {
    const RECT* box = BoxInFont(dc, run[i], lineHeight);
    if (box) {
      int at = x;
      if (!dx) {  // the font's own advances: the width of what comes before
        SIZE before = {0, 0};
        GetTextExtentPoint32W(dc, run, static_cast<int>(i), &before);
        at += before.cx;
      }
      RECT fill = *box;
      OffsetRect(&fill, at, y);
      if (!clip || IntersectRect(&fill, &fill, clip)) {
        const COLORREF back = SetBkColor(dc, colour);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &fill, L"", 0, nullptr);
        SetBkColor(dc, back);
      }
    }
    if (dx) x += dx[i];
  }
}
