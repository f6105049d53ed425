// Find in files without a window: the place lines of the 出力 window read back,
// the masks, and the scan of matching lines over CR LF, CR and LF texts with
// double-byte characters before the match.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>
#include "app/findinfiles_text.h"
#include "app/output_line.h"
#include "platform/cp932.h"

namespace {

// Byte equality, with ASCII letters folded unless the case must match.
class ExactComparer : public SearchComparer {
 public:
  bool Equal(const char* a, int na, const char* b, int nb, bool matchCase) override {
    if (na != nb) return false;
    for (int i = 0; i < na; ++i) {
      char x = a[i], y = b[i];
      if (!matchCase && x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
      if (!matchCase && y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
      if (x != y) return false;
    }
    return true;
  }
};

TEST(OutputLine, PlacesReadBackAsWritten) {
  struct Case {
    std::string line;
    bool place;
    std::string path;
    int row, column;
  } cases[] = {
      {FormatOutputLine("C:\\s\\a.js", 12, 3, "x = 1;"), true, "C:\\s\\a.js", 12, 3},
      // A path with parentheses of its own, and a match text that looks like a place.
      {FormatOutputLine("C:\\Program Files (x86)\\b(2).vbs", 7, 1, "f(1,2): y"), true,
       "C:\\Program Files (x86)\\b(2).vbs", 7, 1},
      // 表 and ソ end in the byte of a backslash.
      {FormatOutputLine("C:\\表\\ソ.js", 2, 5, "x"), true, "C:\\表\\ソ.js", 2, 5},
      {"C:\\a.js(4): no column", true, "C:\\a.js", 4, 1},
      {"C:\\a.js(4)", true, "C:\\a.js", 4, 1},
      {"C:\\a.js(0,1): zero line", false, "", 0, 0},
      {"C:\\a.js(4,x): bad column", false, "", 0, 0},
      {"C:\\a.js(4,1) no colon", false, "", 0, 0},
      {"(4,1): no path", false, "", 0, 0},
      {"C:\\a.js(9999999999,1): too long", false, "", 0, 0},
      {"12 件見つかりました (3 個のファイル、検索 4 個、スキップ 0 個)", false, "", 0, 0},
      // The script hosts' error lines.
      {"C:\\s\\a.js(3, 5) Microsoft JScript runtime error: 'x' is undefined", true, "C:\\s\\a.js", 3, 5},
      {"C:\\表\\b.vbs(12, 1) Microsoft VBScript 実行時エラー: 型が一致しません。", true, "C:\\表\\b.vbs", 12, 1},
      {"C:\\a.js(3, 5) no colon", false, "", 0, 0},
      // A folder "(2) x" before a place line is part of the path, not a host's source.
      {"C:\\d (2) x\\a.js(5,1): text", true, "C:\\d (2) x\\a.js", 5, 1},
      {"C:\\a.js(3, 5) : empty source", false, "", 0, 0},
  };
  for (const Case& c : cases) {
    OutputLocation at;
    bool place = ParseOutputLine(c.line, &at);
    EXPECT_EQ(place, c.place) << c.line;
    if (!place || c.row == 0) continue;
    EXPECT_EQ(at.path, c.path) << c.line;
    EXPECT_EQ(at.line, c.row) << c.line;
    EXPECT_EQ(at.column, c.column) << c.line;
  }
}

TEST(FindInFilesText, MasksMatchNamesInEitherCase) {
  std::vector<std::string> masks = SplitMasks(" *.js; *.VBS ;;a?c.txt");
  ASSERT_EQ(masks.size(), 3u);
  struct Case {
    const char* name;
    bool match;
  } cases[] = {{"x.js", true}, {"X.JS", true}, {"x.js.bak", false}, {"run.vbs", true},
               {"abc.txt", true}, {"abbc.txt", false}, {"スクリプト.js", true}, {"js", false}};
  for (const Case& c : cases) EXPECT_EQ(MatchesAnyMask(c.name, masks), c.match) << c.name;
}

TEST(FindInFilesText, OneResultPerMatchingLineWithItsCharacterColumn) {
  struct Case {
    const char* text;
    const char* find;
    std::vector<std::string> expected;  // "line,column:text"
  } cases[] = {
      {"a\r\nb foo foo\r\nfoo", "foo", {"2,3:b foo foo", "3,1:foo"}},
      {"x\ry foo\nfoo\n", "foo", {"2,3:y foo", "3,1:foo"}},
      // Two double-byte characters before the match count as two columns.
      {"表示 foo\r\n", "foo", {"1,4:表示 foo"}},
      // The trail byte 0x5C of 表 is not a backslash to find.
      {"表\\", "\\", {"1,2:表\\"}},
      {"\r\n\r\nfoo", "foo", {"3,1:foo"}},
      {"nothing here", "foo", {}},
  };
  ExactComparer compare;
  for (const Case& c : cases) {
    LiteralMatcher matcher(c.find, true, compare);
    std::vector<std::string> got;
    ScanMatchingLines(c.text, static_cast<int>(std::strlen(c.text)), matcher, [&](const LineMatch& m) {
      got.push_back(std::to_string(m.line) + "," + std::to_string(m.column) + ":" + m.text);
      return true;
    });
    EXPECT_EQ(got, c.expected) << c.text;
  }
}

// The matcher's first-byte scan finds exactly what the find commands' search
// finds, from every start: texts of lead bytes that are also trail bytes,
// 0x5C and '(' after a lead byte, lone lead bytes, letters of either case.
TEST(FindInFilesText, LiteralMatcherFindsWhatTheFindCommandsFind) {
  const unsigned char alphabet[] = {'a', 'A', 'b', '\\', '(', '\n', 0x81, 0x83, 0x95, 0x5C, 0x9F, 0xE0, 0x40, 0xFC};
  std::mt19937 random(7);
  ExactComparer compare;
  auto pick = [&](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>(alphabet[random() % sizeof alphabet]);
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string text = pick(static_cast<int>(random() % 40));
    const std::string find = pick(1 + static_cast<int>(random() % 3));
    const bool matchCase = round % 2 == 0;
    LiteralMatcher matcher(find, matchCase, compare);
    SearchFilter filter;
    const int length = static_cast<int>(text.size());
    for (int from = 0; from <= length; from += static_cast<int>(from < length ? cp932::CharLength(text.data(), static_cast<size_t>(from), text.size()) : 1)) {
      const int expected = SearchText(SearchSource{text.data(), length, nullptr, 0}, from, from,
                                      SearchRequest{find, true, matchCase}, compare, filter);
      ASSERT_EQ(matcher.FindFrom(text.data(), length, from), expected) << round << " from " << from;
    }
  }
}

TEST(FindInFilesText, PatternsFindLinesWithTheirCharacterColumns) {
  struct Case {
    const char* pattern;
    const char* text;
    std::vector<std::string> expected;  // "line,column"
  } cases[] = {
      {"Set \\w+ = CreateObject", "x\r\n  Set fso = CreateObject(\"a\")\r\nSet = CreateObject", {"2,3"}},
      {"^[ァ-ヶー]+[0-9]{3}", "ア123\r\nxカード999\r\nテスト12", {"1,1"}},
      {"\\\\", "表ソ\r\n表\\ソ", {"2,2"}},  // never the trail byte 5C of 表 or ソ
      {"語.b", "日本語xb\n日本語語b", {"1,3", "2,3"}},
      {"a\\r\\nb", "xa\r\nb\r\na", {"1,2"}},  // a match across lines is reported at its start
  };
  for (const Case& c : cases) {
    std::string error;
    CompiledRegex pattern = CompileRegex(c.pattern, true, error);
    ASSERT_TRUE(pattern.Valid()) << c.pattern << ": " << error;
    RegexMatcher matcher(pattern);
    std::vector<std::string> got;
    ScanMatchingLines(c.text, static_cast<int>(std::strlen(c.text)), matcher, [&](const LineMatch& m) {
      got.push_back(std::to_string(m.line) + "," + std::to_string(m.column));
      return true;
    });
    EXPECT_EQ(got, c.expected) << c.pattern;
    EXPECT_FALSE(matcher.TakeTooComplex()) << c.pattern;
  }
  // An explosive pattern gives up on the text, and says so once.
  std::string error;
  RegexMatcher explosive(CompileRegex("(a+)+b", true, error));
  const std::string run(200, 'a');
  EXPECT_EQ(explosive.FindFrom(run.data(), static_cast<int>(run.size()), 0), -1);
  EXPECT_TRUE(explosive.TakeTooComplex());
  EXPECT_FALSE(explosive.TakeTooComplex());
}

TEST(OutputLine, ColumnsAndBytesConvertBothWays) {
  const char* line = "表a\x83";  // a double-byte character, a letter, a lone lead byte at the end
  int n = static_cast<int>(std::strlen(line));
  int offsets[] = {0, 2, 3, 4};
  for (int column = 1; column <= 4; ++column) {
    EXPECT_EQ(ByteOfColumn(line, n, column), offsets[column - 1]) << column;
    EXPECT_EQ(CharacterColumn(line, n, offsets[column - 1]), column) << column;
  }
}

}  // namespace
