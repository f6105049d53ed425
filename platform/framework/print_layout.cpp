// Page frame and body layout of printed text; see print_layout.h.
#include "platform/framework/print_layout.h"

#include <algorithm>
#include "platform/cp932.h"

namespace printlayout {

PageFrame FramePage(const Box& r, int h, bool hasHeader) {
  PageFrame f;
  const int w = r.right - r.left, ht = r.bottom - r.top;
  const int mx = (w - w * 85 / 100) / 2, my = (ht - ht * 90 / 100) / 2;
  f.inner = Box{r.left + mx, r.top + my, r.right - mx, r.bottom - my};
  const int T = f.inner.top, B = f.inner.bottom, g = h / 4;
  f.gap = g;
  f.header = Box{f.inner.left, T - h, f.inner.right, T};
  f.headerRule = T + g;
  f.body = Box{f.inner.left, hasHeader ? T + h + 2 * g : T, f.inner.right, B - h - 2 * g};
  f.footerRule = B - g;
  f.footer = Box{f.inner.left, B, f.inner.right, B + h};
  return f;
}

unsigned CharCode(const char* text, size_t i, size_t n, size_t* length) {
  const size_t len = cp932::CharLength(text, i, n);
  if (length) *length = len;
  const unsigned lead = static_cast<unsigned char>(text[i]);
  return len == 2 ? lead << 8 | static_cast<unsigned char>(text[i + 1]) : lead;
}

int NextTabStop(int x, int tabWidth) {
  if (tabWidth <= 0) return x;
  return (x / tabWidth + 1) * tabWidth;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Past the line break at text[i] (CR LF, CR or LF).
size_t SkipLineBreak(const char* text, size_t n, size_t i) {
  if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') return i + 2;
  return i + 1;
}

}  // namespace

Line NextLine(const char* text, size_t n, size_t pos, const BodyMetrics& m, const CharWidthFn& width) {
  Line line{pos, pos, pos};
  int x = 0;
  size_t boundary = pos;      // the last word boundary after pos seen so far
  bool prevWide = false, prevBlank = false;
  size_t p = pos;
  while (p < n && !IsLineBreak(text[p])) {
    size_t len = 1;
    const bool tab = text[p] == '\t';
    const unsigned code = tab ? '\t' : CharCode(text, p, n, &len);
    const bool wide = len == 2, blank = IsBlank(text[p]);
    if (p > pos && (prevBlank || prevWide || wide || blank)) boundary = p;
    const int next = tab ? NextTabStop(x, m.tabWidth) : x + width(code);
    if (next > m.width) {
      // The character at p does not fit: break at the last boundary, or
      // here, or after one character when not even the first one fits.
      size_t end = boundary > pos ? boundary : (p > pos ? p : p + len);
      line.end = end;
      size_t q = end;
      while (q < n && IsBlank(text[q])) ++q;
      if (q < n && IsLineBreak(text[q])) q = SkipLineBreak(text, n, q);
      line.next = q;
      return line;
    }
    x = next;
    prevWide = wide;
    prevBlank = blank;
    p += len;
  }
  line.end = p;
  line.next = p < n ? SkipLineBreak(text, n, p) : n;
  return line;
}

namespace {

size_t PageAfter(size_t n, size_t pos, int linesPerPage, const NextLineFn& nextLine) {
  const int lines = std::max(1, linesPerPage);
  for (int i = 0; i < lines && pos < n; ++i) pos = nextLine(pos);
  return pos;
}

}  // namespace

size_t NextPage(const char* text, size_t n, size_t pos, const BodyMetrics& m, const CharWidthFn& width) {
  return PageAfter(n, pos, m.linesPerPage, [&](size_t at) { return NextLine(text, n, at, m, width).next; });
}

bool Pagination::PaginateTo(unsigned page, const char* text, size_t n, const BodyMetrics& m,
                            const CharWidthFn& width) {
  return PaginateTo(page, n, m.linesPerPage, [&](size_t at) { return NextLine(text, n, at, m, width).next; });
}

bool Pagination::PaginateTo(unsigned page, size_t n, int linesPerPage, const NextLineFn& nextLine) {
  while (m_starts.size() < page && !m_complete) {
    const size_t next = PageAfter(n, m_starts.back(), linesPerPage, nextLine);
    if (next >= n) {
      m_complete = true;
      break;
    }
    m_starts.push_back(next);
  }
  return page >= 1 && page <= m_starts.size();
}

unsigned Pagination::PageOf(size_t index) const {
  auto it = std::upper_bound(m_starts.begin(), m_starts.end(), index);
  return static_cast<unsigned>(std::max<std::ptrdiff_t>(1, it - m_starts.begin()));
}

}  // namespace printlayout
