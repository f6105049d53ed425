// Regular-expression search over CP932 text, headless: what a pattern finds
// (as byte ranges), over text split across the two spans of a gap buffer,
// the replacement syntax, and bad and explosive patterns.
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "views/regex_search.h"

namespace {

using rv::textctl::TextSpans;

// The text in two spans, split after `split` bytes (the gap of a buffer).
TextSpans Split(const std::string& text, int split) {
  TextSpans t;
  t.part1 = text.data();
  t.length1 = split;
  t.part2 = text.data() + split;
  t.length2 = static_cast<int>(text.size()) - split;
  return t;
}

// Every match as "start-end", joined by spaces, or the compile error.
std::string FindAll(const std::string& pattern, const std::string& text, bool matchCase = true, int split = -1) {
  std::string error;
  const CompiledRegex re = CompileRegex(pattern, matchCase, error);
  if (!re.Valid()) return "error";
  std::string out;
  const TextSpans spans = Split(text, split < 0 ? static_cast<int>(text.size()) / 2 : split);
  const RegexStatus status = RegexSearchAll(re, spans, [&](int s, int e) {
    out += (out.empty() ? "" : " ") + std::to_string(s) + "-" + std::to_string(e);
    return true;
  });
  return status == RegexStatus::kTooComplex ? "too complex" : out;
}

TEST(RegexSearch, FindsWholeCharactersOfCp932Text) {
  const struct {
    const char* pattern;
    std::string text;
    bool matchCase;
    const char* found;
  } cases[] = {
      // 表 and ソ end in 0x5C: a backslash in the pattern never takes that byte.
      {"\\\\", "表ソ\\", true, "4-5"},
      {"\\x5C", "表\\", true, "2-3"},
      // `.` takes a double-byte character once, never a line break.
      {"^.$", "あ\r\nb\r\n", true, "0-2 4-5"},
      {"a.c", "aあc", true, "0-4"},
      {"[ぁ-ん]+", "abcひらがなカナ", true, "3-11"},
      {"[ァ-ヶー]+[0-9]{3}", "xカーソル123y", true, "1-12"},
      {"\\u3042", "aあ", true, "1-3"},
      // ^ and $ at every line, CR LF one break; a match across lines.
      {"^\\w+$", "ab\r\ncd\nef", true, "0-2 4-6 7-9"},
      {"b\\r\\nc", "ab\r\ncd", true, "1-5"},
      {"a[\\s\\S]*d", "ab\r\ncd", true, "0-6"},
      // Case: ASCII and full-width Latin fold without matchCase only.
      {"ＡＢ", "ａｂＡＢ", false, "0-4 4-8"},
      {"ＡＢ", "ａｂＡＢ", true, "4-8"},
      {"create", "CreateObject", false, "0-6"},
      // JScript's classes: \d is 0-9 only, \w ASCII word characters.
      {"\\d+", "１２34", true, "4-6"},
      {"\\w+", "あab_1い", true, "2-6"},
      {"\\s", "a\x81\x40" "b", true, "1-3"},
      // \b and \B between ASCII word characters only, in every build.
      {"\\ba\\B", "あab a", true, "2-3"},
      {"[\\b\\v]", "a\b\v\n", true, "1-2 2-3"},
      // Groups, lazy quantifiers, lookahead, back-references, alternation.
      {"(a+?)b", "aab", true, "0-3"},
      {"foo(?=bar)", "foobaz foobar", true, "7-10"},
      {"(\\w)\\1", "abccd", true, "2-4"},
      {"猫|犬", "犬と猫", true, "0-2 4-6"},
      // An empty match is reported once per place; the search after one at
      // the text's start looks at no byte before it.
      {"x*", "ab", true, "0-0 1-1 2-2"},
      {"^|$", "\r\n" + std::string(18, 'x'), true, "0-0 2-2 20-20"},
  };
  for (const auto& c : cases) {
    for (int split : {0, 1, static_cast<int>(c.text.size())})
      EXPECT_EQ(c.found, FindAll(c.pattern, c.text, c.matchCase, split)) << c.pattern << " split " << split;
  }
}

TEST(RegexSearch, BadAndExplosivePatterns) {
  std::string error;
  EXPECT_FALSE(CompileRegex("(ab", true, error).Valid());
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(CompileRegex("[z-a]", true, error).Valid());
  EXPECT_EQ("too complex", FindAll("(a+)+b", std::string(1000, 'a')));
  EXPECT_EQ("", FindAll("(a+)+b", std::string(8, 'a')));
}

TEST(RegexSearch, FindFromAndExactMatch) {
  const std::string text = "abc\r\nabd";
  const TextSpans spans = Split(text, 3);
  std::string error;
  const CompiledRegex re = CompileRegex("^ab(.)", true, error);
  RegexMatch m;
  RegexFindFrom(re, spans, 1, false, m);
  ASSERT_TRUE(m.Found());
  EXPECT_EQ(5, m.Start());  // ^ sees the text before the start
  EXPECT_EQ((std::pair<int, int>(7, 8)), m.groups[1]);
  RegexMatchExactly(re, spans, 0, 3, m);
  EXPECT_TRUE(m.Found());
  RegexMatchExactly(re, spans, 0, 2, m);
  EXPECT_FALSE(m.Found());
}

TEST(RegexSearch, ExpandsJScriptReplacements) {
  const std::string text = "k=表示";
  const TextSpans spans = Split(text, 2);
  RegexMatch m;
  // Groups 1 to 11 (only 1 and 2 take part), the match 0-6.
  m.groups = {{0, 6}, {0, 1}, {2, 6}};
  for (int g = 3; g <= 11; ++g) m.groups.emplace_back(-1, -1);
  m.groups[10] = {2, 4};
  const struct {
    const char* replacement;
    const char* expanded;
  } cases[] = {
      {"$2=$1", "表示=k"},   {"[$&]", "[k=表示]"}, {"$$1", "$1"},     {"$10", "表"},
      {"$13", "k3"},        {"$0$x$", "$0$x$"},   {"a\\nb\\t\\\\", "a\r\nb\t\\"},
      {"表\\n", "表\r\n"},  // the trail byte 0x5C of 表 starts no escape
  };
  for (const auto& c : cases) EXPECT_EQ(c.expanded, ExpandReplacement(c.replacement, m, spans)) << c.replacement;
}

}  // namespace
