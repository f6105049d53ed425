// Layout, painting, scrolling and the caret of the text control. Positions come
// from one walk over a line's characters (ForEachChar), so what is painted and
// what EM_POSFROMCHAR answers always agree: every character is drawn with the
// advance width that the walk gave it. Only visible lines are ever laid out.
#include <algorithm>
#include "platform/cp932_wide.h"
#include "platform/textctl/text_control_impl.h"

#include <imm.h>

namespace rv::textctl {

namespace {

std::string LineText(const EditState* s, int line) {
  const TextModel& m = s->model;
  return m.Range(m.LineStart(line), m.LineLength(line));
}

int HExtent(const EditState* s) { return std::max(s->measuredExtent, s->estimatedColumns * s->aveCharWidth); }

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

void RecalcTabStops(EditState* s) {
  s->tabStopsPx.clear();
  if (s->tabStopsDu.empty()) {
    s->tabStopsPx.push_back(32 * s->aveCharWidth / 4);
  } else {
    for (int du : s->tabStopsDu) s->tabStopsPx.push_back(du * s->aveCharWidth / 4);
  }
  if (s->tabStopsPx.size() == 1 && s->tabStopsPx[0] <= 0) s->tabStopsPx[0] = s->aveCharWidth * 8;
}

void ApplyFont(EditState* s, HFONT font) {
  s->font = font;
  if (!s->measureDc) {
    s->measureDc = CreateCompatibleDC(nullptr);
    s->measureOldFont = SelectObject(s->measureDc, GetStockObject(SYSTEM_FONT));
  }
  SelectObject(s->measureDc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  TEXTMETRICA tm = {};
  GetTextMetricsA(s->measureDc, &tm);
  s->lineHeight = tm.tmHeight > 0 ? tm.tmHeight : 16;
  s->aveCharWidth = tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 8;
  s->widthCache.assign(65536, 0);
  s->blankGlyphs = BlankGlyphs();  // a deleted font's handle may come back for another
  for (int b = 0; b < 256; ++b) {
    char c = static_cast<char>(b);
    wchar_t w = L'\x30FB';
    if (!cp932::IsLeadByte(c)) cp932::ToWide(&c, 1, &w, 1);
    s->singleByteWide[b] = w;
  }
  RecalcTabStops(s);
  s->measuredExtent = 0;
  if (s->focused) {
    CreateCaret(s->hwnd, nullptr, 1, s->lineHeight);
    s->caretShown = false;
  }
  if (s->hwnd && IsWindow(s->hwnd)) {
    ScrollTo(s, s->topLine, s->xOffset);
    UpdateScrollBars(s);
    UpdateCaret(s);
  }
}

void RecalcFormatRect(EditState* s) {
  RECT client;
  GetClientRect(s->hwnd, &client);
  s->formatRect = client;
  s->formatRect.left += s->leftMargin;
  s->formatRect.right -= s->rightMargin;
  if (s->formatRect.right <= s->formatRect.left) s->formatRect.right = s->formatRect.left + 1;
  if (s->formatRect.bottom <= s->formatRect.top) s->formatRect.bottom = s->formatRect.top + 1;
}

int CharWidth(EditState* s, wchar_t ch) {
  uint16_t& slot = s->widthCache[static_cast<uint16_t>(ch)];
  if (!slot) {
    SIZE size = {};
    GetTextExtentPoint32W(s->measureDc, &ch, 1, &size);
    slot = static_cast<uint16_t>(std::clamp<LONG>(size.cx, 0, 0xFFFE) + 1);
  }
  return slot - 1;
}

int XOfPos(EditState* s, TextPos pos) {
  const TextModel& m = s->model;
  int line = m.LineFromPos(pos);
  TextPos start = m.LineStart(line);
  TextPos end = std::min(m.BoundaryAtOrBefore(pos), m.LineEnd(line));
  if (end <= start) return 0;
  return ForEachChar(s, m.Range(start, end - start), start, [](TextPos, int, int, int, wchar_t) { return true; });
}

int LineWidth(EditState* s, int line) {
  return ForEachChar(s, LineText(s, line), 0, [](TextPos, int, int, int, wchar_t) { return true; });
}

TextPos PosAtX(EditState* s, int line, int x) {
  const TextModel& m = s->model;
  TextPos start = m.LineStart(line);
  TextPos found = m.LineEnd(line);
  ForEachChar(s, LineText(s, line), start, [&](TextPos pos, int, int cx, int width, wchar_t) {
    if (x < cx + width / 2) {
      found = pos;
      return false;
    }
    return true;
  });
  return found;
}

POINT ClientPosOf(EditState* s, TextPos pos) {
  pos = std::clamp(pos, 0, s->model.Length());
  int line = s->model.LineFromPos(pos);
  POINT p;
  p.x = s->formatRect.left - s->xOffset + XOfPos(s, pos);
  p.y = s->formatRect.top + (line - s->topLine) * s->lineHeight;
  return p;
}

TextPos PosAtPoint(EditState* s, int x, int y, int* lineOut) {
  int line = s->topLine + FloorDiv(y - s->formatRect.top, s->lineHeight);
  line = std::clamp(line, 0, s->model.LineCount() - 1);
  if (lineOut) *lineOut = line;
  return PosAtX(s, line, x - s->formatRect.left + s->xOffset);
}

int VisibleLines(EditState* s) {
  return std::max(1, static_cast<int>((s->formatRect.bottom - s->formatRect.top) / s->lineHeight));
}

void NoteLineWidth(EditState* s, int width) {
  // Grows with some room to spare, so that typing at the end of the longest line
  // does not reset the scroll bar at every character.
  if (width > s->measuredExtent) s->measuredExtent = width + 16 * s->aveCharWidth;
}

namespace {

struct PaintColours {
  COLORREF text, back, selText, selBack;
  HBRUSH brush;
};

// Draws a run of characters in the DC's colours over its rectangle r, each
// character with its advance from dx, and fills the boxes of those that the
// font leaves blank in the text colour.
void DrawRun(EditState* s, HDC dc, const RECT& r, const std::wstring& run, const std::vector<int>& dx) {
  ExtTextOutW(dc, r.left, r.top, ETO_OPAQUE | ETO_CLIPPED, &r, run.data(), static_cast<UINT>(run.size()), dx.data());
  s->blankGlyphs.FillRun(dc, r.left, r.top, run.data(), run.size(), dx.data(), s->lineHeight, GetTextColor(dc), &r);
}

// Draws one line at y: runs of characters with the same selected state in one
// ExtTextOutW call each, with the walk's advance widths, tabs as filled gaps.
void PaintLine(EditState* s, HDC dc, int line, int y, const PaintColours& c, bool showSel) {
  const TextModel& m = s->model;
  const RECT& f = s->formatRect;
  TextPos start = m.LineStart(line);
  TextPos selStart = showSel ? s->SelStart() : 0, selEnd = showSel ? s->SelEnd() : 0;
  int x0 = f.left - s->xOffset;
  std::wstring run;
  std::vector<int> dx;
  int runX = 0, runWidth = 0;
  bool runSelected = false, runIsTab = false;
  auto flush = [&]() {
    if (runWidth <= 0) return;
    RECT r = {x0 + runX, y, x0 + runX + runWidth, y + s->lineHeight};
    if (r.right > f.left && r.left < f.right) {
      SetTextColor(dc, runSelected ? c.selText : c.text);
      SetBkColor(dc, runSelected ? c.selBack : c.back);
      if (runIsTab)
        ExtTextOutW(dc, r.left, y, ETO_OPAQUE | ETO_CLIPPED, &r, L"", 0, nullptr);
      else
        DrawRun(s, dc, r, run, dx);
    }
    run.clear();
    dx.clear();
    runWidth = 0;
  };
  bool complete = true;
  int width = ForEachChar(s, LineText(s, line), start, [&](TextPos pos, int, int x, int w, wchar_t ch) {
    if (x0 + x > f.right) {
      complete = false;
      return false;
    }
    if (x0 + x + w <= f.left) return true;  // left of the window: measured only
    bool selected = pos >= selStart && pos < selEnd;
    bool isTab = ch == L'\t';
    if (runWidth > 0 && (selected != runSelected || isTab || runIsTab)) flush();
    if (runWidth == 0) {
      runX = x;
      runSelected = selected;
      runIsTab = isTab;
    }
    if (!isTab) {
      run.push_back(ch);
      dx.push_back(w);
    }
    runWidth += w;
    return true;
  });
  flush();
  if (complete) NoteLineWidth(s, width);
  RECT rest = {std::max<LONG>(x0 + width, f.left), y, f.right, y + s->lineHeight};
  if (rest.right > rest.left) FillRect(dc, &rest, c.brush);
}

}  // namespace

void Paint(EditState* s) {
  HWND hwnd = s->hwnd;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  HWND parent = GetParent(hwnd);
  HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(
                              SendMessageA(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)))
                        : nullptr;
  if (!brush) {
    brush = GetSysColorBrush(COLOR_WINDOW);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  }
  PaintColours colours;
  colours.text = IsWindowEnabled(hwnd) ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);
  colours.back = GetBkColor(dc);
  colours.selText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  colours.selBack = GetSysColor(COLOR_HIGHLIGHT);
  colours.brush = brush;
  bool showSel = s->focused || (s->style & ES_NOHIDESEL);
  HGDIOBJ oldFont = SelectObject(dc, s->font ? static_cast<HGDIOBJ>(s->font) : GetStockObject(SYSTEM_FONT));
  SetBkMode(dc, OPAQUE);

  // Margins and the strips outside the format rectangle.
  RECT client;
  GetClientRect(hwnd, &client);
  const RECT& f = s->formatRect;
  RECT strips[4] = {{client.left, client.top, f.left, client.bottom},
                    {f.right, client.top, client.right, client.bottom},
                    {f.left, client.top, f.right, f.top},
                    {f.left, f.bottom, f.right, client.bottom}};
  for (RECT& r : strips) {
    RECT clip;
    if (IntersectRect(&clip, &r, &ps.rcPaint)) FillRect(dc, &clip, brush);
  }

  int saved = SaveDC(dc);
  IntersectClipRect(dc, f.left, f.top, f.right, f.bottom);
  int h = s->lineHeight;
  int first = s->topLine + std::max(0, static_cast<int>((ps.rcPaint.top - f.top) / h));
  int bottom = std::min(ps.rcPaint.bottom, f.bottom);
  for (int line = first;; ++line) {
    int y = f.top + (line - s->topLine) * h;
    if (y >= bottom) break;
    if (line >= s->model.LineCount()) {
      RECT r = {f.left, y, f.right, bottom};
      FillRect(dc, &r, brush);
      break;
    }
    PaintLine(s, dc, line, y, colours, showSel);
  }
  RestoreDC(dc, saved);
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
  UpdateScrollBars(s);
}

void InvalidateLines(EditState* s, int first, int last) {
  if (!s->redraw) return;
  const RECT& f = s->formatRect;
  int h = s->lineHeight;
  long top = f.top + static_cast<long>(first - s->topLine) * h;
  long bottom = last < 0 ? f.bottom : f.top + static_cast<long>(last - s->topLine + 1) * h;
  RECT r = {f.left, static_cast<LONG>(std::max<long>(top, f.top)), f.right,
            static_cast<LONG>(std::min<long>(bottom, f.bottom))};
  if (r.bottom > r.top) InvalidateRect(s->hwnd, &r, FALSE);
}

void InvalidateAll(EditState* s) {
  if (s->redraw) InvalidateRect(s->hwnd, nullptr, FALSE);
}

void ScrollTo(EditState* s, int topLine, int xOffset) {
  int maxTop = std::max(0, s->model.LineCount() - VisibleLines(s));
  topLine = std::clamp(topLine, 0, maxTop);
  int width = s->formatRect.right - s->formatRect.left;
  int maxX = std::max(0, HExtent(s) + s->aveCharWidth - width);
  xOffset = std::clamp(xOffset, 0, std::max(maxX, s->xOffset));
  int dy = (s->topLine - topLine) * s->lineHeight;
  int dx = s->xOffset - xOffset;
  if (!dx && !dy) return;
  s->topLine = topLine;
  s->xOffset = xOffset;
  if (s->redraw) {
    const RECT& f = s->formatRect;
    if (std::abs(dy) < f.bottom - f.top && std::abs(dx) < f.right - f.left)
      ScrollWindowEx(s->hwnd, dx, dy, &f, &f, nullptr, nullptr, SW_INVALIDATE);
    else
      InvalidateRect(s->hwnd, &f, FALSE);
  }
  UpdateScrollBars(s);
  s->caretAt = {-1, -1};  // scrolling the bits may have moved the caret
  UpdateCaret(s);
  if (dx) Notify(s, EN_HSCROLL);
  if (dy) Notify(s, EN_VSCROLL);
}

void ScrollCaretIntoView(EditState* s) {
  const TextModel& m = s->model;
  int line = m.LineFromPos(s->caret);
  int top = s->topLine;
  int visible = VisibleLines(s);
  if (line < top) top = line;
  else if (line >= top + visible) top = line - visible + 1;
  int x = XOfPos(s, s->caret);
  NoteLineWidth(s, x + s->aveCharWidth);
  int width = s->formatRect.right - s->formatRect.left;
  int left = s->xOffset;
  if (x < left) {
    left = std::max(0, x - width / 3);
  } else if (x >= left + width - 1) {
    left = x - width * 2 / 3;
    NoteLineWidth(s, left + width);
  }
  ScrollTo(s, top, left);
}

void UpdateScrollBars(EditState* s) {
  if (!s->redraw) return;
  DWORD style = GetWindowLongA(s->hwnd, GWL_STYLE);
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  if (style & WS_VSCROLL) {
    int max = s->model.LineCount() - 1, page = VisibleLines(s);
    if (max != s->lastVMax || page != s->lastVPage || s->topLine != s->lastVPos) {
      si.nMin = 0;
      si.nMax = max;
      si.nPage = page;
      si.nPos = s->topLine;
      SetScrollInfo(s->hwnd, SB_VERT, &si, TRUE);
      s->lastVMax = max, s->lastVPage = page, s->lastVPos = s->topLine;
    }
  }
  if (style & WS_HSCROLL) {
    int page = s->formatRect.right - s->formatRect.left;
    int max = std::max(HExtent(s) + s->aveCharWidth, s->xOffset + page) - 1;
    if (max != s->lastHMax || page != s->lastHPage || s->xOffset != s->lastHPos) {
      si.nMin = 0;
      si.nMax = max;
      si.nPage = page;
      si.nPos = s->xOffset;
      SetScrollInfo(s->hwnd, SB_HORZ, &si, TRUE);
      s->lastHMax = max, s->lastHPage = page, s->lastHPos = s->xOffset;
    }
  }
}

void UpdateCaret(EditState* s) {
  if (!s->focused || !s->redraw) return;
  POINT p = ClientPosOf(s, s->caret);
  const RECT& f = s->formatRect;
  bool inside = p.x >= f.left - 1 && p.x <= f.right && p.y >= f.top && p.y < f.bottom;
  POINT at = {inside ? p.x : -20000, inside ? p.y : -20000};
  if (s->caretShown && at.x == s->caretAt.x && at.y == s->caretAt.y) return;
  SetCaretPos(at.x, at.y);
  s->caretAt = at;
  if (!s->caretShown) {
    ShowCaret(s->hwnd);
    s->caretShown = true;
  }
  if (s->composing) PlaceComposition(s);
}

void PlaceComposition(EditState* s) {
  HIMC imc = ImmGetContext(s->hwnd);
  if (!imc) return;
  COMPOSITIONFORM form = {};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = ClientPosOf(s, s->caret);
  ImmSetCompositionWindow(imc, &form);
  LOGFONTA lf;
  if (s->font && GetObjectA(s->font, sizeof(lf), &lf)) ImmSetCompositionFontA(imc, &lf);
  ImmReleaseContext(s->hwnd, imc);
}

void OnVScroll(EditState* s, int code) {
  int top = s->topLine, visible = VisibleLines(s);
  switch (code) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= visible; break;
    case SB_PAGEDOWN: top += visible; break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = s->model.LineCount(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si = {};
      si.cbSize = sizeof(si);
      si.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(s->hwnd, SB_VERT, &si)) top = si.nTrackPos;
      break;
    }
    default: return;
  }
  ScrollTo(s, top, s->xOffset);
}

void OnHScroll(EditState* s, int code) {
  int x = s->xOffset, width = s->formatRect.right - s->formatRect.left;
  switch (code) {
    case SB_LINELEFT: x -= s->aveCharWidth; break;
    case SB_LINERIGHT: x += s->aveCharWidth; break;
    case SB_PAGELEFT: x -= width; break;
    case SB_PAGERIGHT: x += width; break;
    case SB_LEFT: x = 0; break;
    case SB_RIGHT: x = HExtent(s); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si = {};
      si.cbSize = sizeof(si);
      si.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(s->hwnd, SB_HORZ, &si)) x = si.nTrackPos;
      break;
    }
    default: return;
  }
  ScrollTo(s, s->topLine, x);
}

}  // namespace rv::textctl
