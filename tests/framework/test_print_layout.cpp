// The printed page without a printer: the page frame's margins and parts, and
// the body's lines and pages with a fake font (10 units a single-byte
// character, 20 a double-byte one).
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "platform/cp932.h"
#include "platform/framework/print_layout.h"

using namespace printlayout;

namespace {

int FakeWidth(unsigned code) { return code > 0xFF ? 20 : 10; }

std::vector<std::string> Lines(const std::string& text, int width, int tab = 40) {
  BodyMetrics m;
  m.width = width;
  m.tabWidth = tab;
  std::vector<std::string> out;
  for (size_t pos = 0; pos < text.size();) {
    Line l = NextLine(text.data(), text.size(), pos, m, FakeWidth);
    out.push_back(text.substr(l.begin, l.end - l.begin));
    EXPECT_GT(l.next, pos);
    pos = l.next;
  }
  return out;
}

}  // namespace

TEST(PrintLayout, PageFrameKeepsTheMarginsHeaderRulesAndFooter) {
  PageFrame f = FramePage(Box{0, 0, 2479, 3508}, 100, true);
  // mx = (2479 - 2107) / 2 = 186, my = (3508 - 3157) / 2 = 175: each division truncated.
  EXPECT_EQ(186, f.inner.left);
  EXPECT_EQ(2479 - 186, f.inner.right);
  EXPECT_EQ(175, f.inner.top);
  EXPECT_EQ(3508 - 175, f.inner.bottom);
  const int T = 175, B = 3333, g = 25;
  EXPECT_EQ(g, f.gap);
  EXPECT_EQ(T - 100, f.header.top);
  EXPECT_EQ(T, f.header.bottom);
  EXPECT_EQ(T + g, f.headerRule);
  EXPECT_EQ(T + 100 + 2 * g, f.body.top);
  EXPECT_EQ(B - 100 - 2 * g, f.body.bottom);
  EXPECT_EQ(B - g, f.footerRule);
  EXPECT_EQ(B, f.footer.top);
  EXPECT_EQ(B + 100, f.footer.bottom);
  EXPECT_EQ(f.inner.left, f.body.left);
  EXPECT_EQ(f.inner.right, f.body.right);

  // Without a header the body starts at T; an offset rectangle keeps its offset.
  PageFrame n = FramePage(Box{10, 20, 1010, 2020}, 42, false);
  EXPECT_EQ(20 + 100, n.body.top);
  EXPECT_EQ(10 + 75, n.body.left);
  EXPECT_EQ(10, n.gap);  // 42 / 4 truncated
}

TEST(PrintLayout, LongLinesWrapAtWordBoundariesAndLineBreaksEndLines) {
  EXPECT_EQ((std::vector<std::string>{"aaaa bbbb ", "cccc"}), Lines("aaaa bbbb cccc", 100));
  // A word longer than the body is cut where it stops fitting.
  EXPECT_EQ((std::vector<std::string>{"abcde", "fghij", "kl"}), Lines("abcdefghijkl", 50));
  // Blanks at a break are dropped, with the line break right after them.
  EXPECT_EQ((std::vector<std::string>{"aaaa ", "b"}), Lines("aaaa      \r\nb", 50));
  // CR LF, a lone CR and a lone LF each end a line; an empty line stays.
  EXPECT_EQ((std::vector<std::string>{"a", "", "b", "c"}), Lines("a\r\n\r\nb\rc", 100));
  // Tabs end at the next stop; a tab is a blank to break after.
  EXPECT_EQ((std::vector<std::string>{"aaaaaaa\t", "bbb"}), Lines("aaaaaaa\tbbb", 100));
  EXPECT_EQ(40, NextTabStop(0, 40));
  EXPECT_EQ(80, NextTabStop(40, 40));
  EXPECT_EQ(80, NextTabStop(79, 40));
}

TEST(PrintLayout, WrapsOfDoubleByteTextNeverSplitACharacter) {
  // "a" and ten double-byte characters whose trail bytes look like ASCII
  // ("表" is 95 5C, "ソ" 83 5C): the breaks fall on odd byte offsets.
  std::string text = "a";
  for (int i = 0; i < 5; ++i) text += "表ソ";
  std::vector<std::string> lines = Lines(text, 95);
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(std::string("a表ソ表ソ"), lines[0]);  // 10 + 4 * 20 = 90
  for (const std::string& l : lines) {
    size_t i = 0;
    while (i < l.size()) i += cp932::CharLength(l.data(), i, l.size());
    EXPECT_EQ(l.size(), i);
    for (size_t k = 0; k < l.size();) {
      size_t len = cp932::CharLength(l.data(), k, l.size());
      EXPECT_TRUE(len == 2 || l[k] == 'a') << "a lone byte in " << l;
      k += len;
    }
  }
  // A double-byte character is a word of its own beside ASCII words.
  EXPECT_EQ((std::vector<std::string>{"abc日本", "defgh"}), Lines("abc日本defgh", 80));
}

TEST(PrintLayout, PagesEndAfterTheLastLineThatFitsAndAreKept) {
  std::string text;
  for (int i = 0; i < 9; ++i) text += "line\r\n";
  BodyMetrics m;
  m.width = 1000;
  m.linesPerPage = 3;
  Pagination p;
  EXPECT_TRUE(p.PaginateTo(2, text.data(), text.size(), m, FakeWidth));
  EXPECT_EQ(2u, p.KnownPages());
  EXPECT_FALSE(p.Complete());
  EXPECT_FALSE(p.PaginateTo(65535, text.data(), text.size(), m, FakeWidth));
  // Nine lines ending with a line break: three pages, no empty fourth one.
  EXPECT_EQ(3u, p.KnownPages());
  EXPECT_TRUE(p.Complete());
  EXPECT_EQ(0u, p.PageStart(1));
  EXPECT_EQ(18u, p.PageStart(2));
  EXPECT_EQ(36u, p.PageStart(3));
  EXPECT_EQ(1u, p.PageOf(0));
  EXPECT_EQ(1u, p.PageOf(17));
  EXPECT_EQ(2u, p.PageOf(18));
  EXPECT_EQ(3u, p.PageOf(text.size()));

  // A wrapped line takes its rows on the page: 2 + 1 + 1 rows, then a page.
  std::string wrapped = "aaaa bbbb\r\nc\r\nd\r\ne";
  m.width = 50;
  p.Reset();
  p.PaginateTo(65535, wrapped.data(), wrapped.size(), m, FakeWidth);
  ASSERT_EQ(2u, p.KnownPages());
  EXPECT_EQ(wrapped.find('d'), p.PageStart(2));

  // An empty text is one page.
  p.Reset();
  EXPECT_TRUE(p.PaginateTo(1, "", 0, m, FakeWidth));
  EXPECT_FALSE(p.PaginateTo(2, "", 0, m, FakeWidth));
}
