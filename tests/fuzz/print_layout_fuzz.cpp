// fuzz-sources: platform/framework/print_layout.cpp
// The printed body's layout on arbitrary text, body widths, tab widths and
// character widths: every byte is placed once (drawn in exactly one line, or
// a blank or line break skipped between two lines), every line moves on, no
// line starts, ends or wraps inside a double-byte character, a line's drawn
// run stays inside the body unless it is a single character too wide for it,
// and the pages start where their first lines do.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/framework/print_layout.h"
#include "tests/fuzz/fuzz_check.h"

using namespace printlayout;

namespace {

// The character starts of the text, walked as the layout walks it.
std::vector<bool> CharStarts(const std::string& text) {
  std::vector<bool> starts(text.size() + 1, false);
  for (size_t i = 0; i < text.size(); i += cp932::CharLength(text.data(), i, text.size())) starts[i] = true;
  starts[text.size()] = true;
  return starts;
}

bool Skippable(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The width of the drawn part [begin, end), as the page drawing adds it up.
long long DrawnWidth(const std::string& text, const Line& line, const BodyMetrics& m, const CharWidthFn& width,
                     size_t* chars) {
  long long x = 0;
  *chars = 0;
  for (size_t i = line.begin; i < line.end; ++*chars) {
    size_t len = 1;
    if (text[i] == '\t') {
      x = NextTabStop(static_cast<int>(x), m.tabWidth);
    } else {
      x += width(CharCode(text.data(), i, text.size(), &len));
    }
    i += len;
  }
  return x;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  BodyMetrics m;
  m.width = in.ConsumeIntegralInRange(1, 4000);
  m.tabWidth = in.ConsumeIntegralInRange(1, 1000);
  m.linesPerPage = in.ConsumeIntegralInRange(1, 8);
  const int narrow = in.ConsumeIntegralInRange(0, 300), wide = in.ConsumeIntegralInRange(0, 600);
  const unsigned salt = in.ConsumeIntegral<uint8_t>();
  // Widths that differ from character to character, some of them zero.
  const CharWidthFn width = [&](unsigned code) {
    const int base = code > 0xFF ? wide : narrow;
    return base == 0 ? 0 : static_cast<int>((code * 31u + salt) % static_cast<unsigned>(base + 1));
  };
  const std::string text = in.ConsumeRemainingBytesAsString();
  const size_t n = text.size();
  const std::vector<bool> starts = CharStarts(text);

  std::vector<size_t> lineStarts;
  std::vector<int> placed(n, 0);
  for (size_t pos = 0; pos < n;) {
    const Line line = NextLine(text.data(), n, pos, m, width);
    Check(line.begin == pos, "a line does not start where the last one ended", text);
    Check(line.begin <= line.end && line.end <= line.next && line.next <= n, "line bounds out of order", text);
    Check(line.next > pos, "a line that does not move on", text);
    Check(starts[line.end] && starts[line.next], "a line that ends or wraps inside a double-byte character", text);
    for (size_t i = line.begin; i < line.next; ++i) {
      ++placed[i];
      if (i >= line.end) Check(Skippable(text[i]), "a byte skipped that is neither a blank nor a line break", text);
    }
    for (size_t i = line.begin; i < line.end; ++i)
      Check(text[i] != '\r' && text[i] != '\n', "a line break drawn inside a line", text);
    size_t chars = 0;
    const long long drawn = DrawnWidth(text, line, m, width, &chars);
    Check(drawn <= m.width || chars == 1, "a run wider than the body", text);
    lineStarts.push_back(pos);
    pos = line.next;
  }
  for (size_t i = 0; i < n; ++i) Check(placed[i] == 1, "a byte not placed exactly once", text);

  // Pages: each starts at the first line after linesPerPage lines, and a
  // position belongs to the last page that starts at or before it.
  Pagination pages;
  pages.Reset();
  pages.PaginateTo(0xFFFFFFFFu, text.data(), n, m, width);
  Check(pages.Complete(), "pagination stopped before the end", text);
  const size_t expected = lineStarts.empty() ? 1 : (lineStarts.size() + m.linesPerPage - 1) / m.linesPerPage;
  Check(pages.KnownPages() == expected, "page count", text);
  for (unsigned p = 1; p <= pages.KnownPages(); ++p) {
    const size_t start = pages.PageStart(p);
    if (!lineStarts.empty())
      Check(start == lineStarts[(p - 1) * static_cast<size_t>(m.linesPerPage)], "page start", text);
    Check(pages.PageOf(start) == p, "page of the page's start", text);
  }
  return 0;
}
