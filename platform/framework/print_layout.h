// The printed page of a text view without a Windows header: the frame of a
// page (margins, header, rules, body, footer) and the layout of the body
// (lines wrapped at word boundaries to the body width, tabs expanded, pages
// cut after the last line that fits). Widths come from a callback that knows
// the printer font; all positions are device units of the printer.
#pragma once
#include <cstddef>
#include <functional>
#include <vector>

namespace printlayout {

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Where the parts of a page go, for the page's drawing rectangle R and the
// height h of the page's default font.
struct PageFrame {
  Box inner;           // R less mx = (w - w*85/100)/2 at the sides, my = (h - h*90/100)/2 at top and bottom
  int gap = 0;         // g = h / 4
  Box header;          // one line just above inner.top, from inner.left to inner.right
  int headerRule = 0;  // y of the rule under the header (T + g)
  Box body;            // the text; its top is T + h + 2g with a header, T without
  int footerRule = 0;  // y of the rule above the footer (B - g)
  Box footer;          // one line just below inner.bottom, its bottom at B + h
};
PageFrame FramePage(const Box& r, int textHeight, bool hasHeader);

// Width of one character in device units; `code` is the byte of a
// single-byte character or lead * 256 + trail of a double-byte one.
using CharWidthFn = std::function<int(unsigned code)>;

// The code of the character at text[i] and its length in bytes (1 or 2).
unsigned CharCode(const char* text, size_t i, size_t n, size_t* length);

// The x where a tab at `x` ends: the next multiple of `tabWidth` after x.
int NextTabStop(int x, int tabWidth);

struct BodyMetrics {
  int width = 1;         // body width
  int tabWidth = 1;      // distance of the tab stops
  int linesPerPage = 1;  // lines that fit the body's height (at least 1)
};

// One printed line: bytes [begin, end) are drawn; the next line starts at `next`.
struct Line {
  size_t begin = 0, end = 0, next = 0;
};

// The line that starts at `pos` (a character boundary, pos < n): the rest of
// the text line when it fits, else the longest part that fits and ends at a
// word boundary (after a blank or tab, or beside a double-byte character);
// without such a boundary, as many characters as fit (at least one). A break
// never splits a double-byte character; blanks at a break are not carried
// to the next line. A line break ends a line and is skipped.
Line NextLine(const char* text, size_t n, size_t pos, const BodyMetrics& m, const CharWidthFn& width);

// Where the page after the page that starts at `pos` starts; n when the text
// ends on that page.
size_t NextPage(const char* text, size_t n, size_t pos, const BodyMetrics& m, const CharWidthFn& width);

// Where the printed line that starts at `pos` hands over (Line::next), for a
// text laid out a line at a time by its reader.
using NextLineFn = std::function<size_t(size_t pos)>;

// Page starts kept once found, so that paging back and forth costs nothing.
class Pagination {
 public:
  void Reset() { m_starts.assign(1, 0); m_complete = false; }
  // Lays out pages until page `page` (from 1) has a start or the text ends.
  // True when that page exists.
  bool PaginateTo(unsigned page, const char* text, size_t n, const BodyMetrics& m, const CharWidthFn& width);
  // The same for a text of n bytes whose lines come from `nextLine`.
  bool PaginateTo(unsigned page, size_t n, int linesPerPage, const NextLineFn& nextLine);
  size_t PageStart(unsigned page) const { return m_starts[page - 1]; }
  unsigned KnownPages() const { return static_cast<unsigned>(m_starts.size()); }
  bool Complete() const { return m_complete; }
  // The last page whose first character is at or before `index`.
  unsigned PageOf(size_t index) const;

 private:
  std::vector<size_t> m_starts{0};  // invariant: non-empty, increasing
  bool m_complete = false;          // the last page of the text is known
};

}  // namespace printlayout
