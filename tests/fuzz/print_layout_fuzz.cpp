// fuzz-sources: platform/framework/print_layout.cpp
// The printed body's layout on any text, body, tab and character widths:
// every byte placed once (drawn in one line, or a blank or line break skipped
// between lines), every line moves on, no line ends or wraps inside a
// double-byte character, a drawn run fits the body unless it is one character,
// and each page starts at its first line.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>
#include "platform/cp932.h"
#include "platform/framework/print_layout.h"
#include "tests/fuzz/fuzz_check.h"

using namespace printlayout;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  BodyMetrics m;
  m.width = in.ConsumeIntegralInRange(1, 4000);
  m.tabWidth = in.ConsumeIntegralInRange(1, 1000);
  m.linesPerPage = in.ConsumeIntegralInRange(1, 8);
  const unsigned narrow = in.ConsumeIntegralInRange(0, 300), wide = in.ConsumeIntegralInRange(0, 600);
  // Widths differing from character to character, some zero.
  const CharWidthFn width = [&](unsigned code) { return static_cast<int>(code * 31u % ((code > 0xFF ? wide : narrow) + 1)); };
  const std::string text = in.ConsumeRemainingBytesAsString();
  const size_t n = text.size();
  std::vector<bool> starts(n + 1, true);  // character starts, walked as the layout walks
  for (size_t i = 0; i < n; i += cp932::CharLength(text.data(), i, n))
    if (cp932::CharLength(text.data(), i, n) == 2) starts[i + 1] = false;

  std::vector<size_t> lines;
  for (size_t pos = 0; pos < n;) {
    const Line line = NextLine(text.data(), n, pos, m, width);
    Check(line.begin == pos && line.end <= line.next && line.next <= n && line.next > pos, "line bounds", text);
    Check(starts[line.end] && starts[line.next], "a line ends or wraps inside a double-byte character", text);
    long long x = 0;
    size_t chars = 0;
    for (size_t i = line.begin, len = 1; i < line.end; i += len, ++chars) {
      Check(text[i] != '\r' && text[i] != '\n', "a line break drawn", text);
      len = 1;
      x = text[i] == '\t' ? NextTabStop(static_cast<int>(x), m.tabWidth) : x + width(CharCode(text.data(), i, n, &len));
    }
    Check(x <= m.width || chars == 1, "a run wider than the body", text);
    for (size_t i = line.end; i < line.next; ++i)
      Check(text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n', "a byte skipped", text);
    lines.push_back(pos);
    pos = line.next;
  }

  Pagination pages;
  pages.PaginateTo(0xFFFFFFFFu, text.data(), n, m, width);
  const size_t perPage = static_cast<size_t>(m.linesPerPage);
  Check(pages.Complete() && pages.KnownPages() == std::max<size_t>(1, (lines.size() + perPage - 1) / perPage),
        "page count", text);
  for (unsigned p = 1; p <= pages.KnownPages(); ++p) {
    Check(lines.empty() || pages.PageStart(p) == lines[(p - 1) * perPage], "page start", text);
    Check(pages.PageOf(pages.PageStart(p)) == p, "page of the page's start", text);
  }
  return 0;
}
