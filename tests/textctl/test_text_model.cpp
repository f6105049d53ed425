// The text model alone: byte indexes, CP932 character boundaries, CR LF, and line
// starts kept right under inserts and deletes (checked against a plain rescan).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>
#include "platform/textctl/text_model.h"

using rv::textctl::TextModel;

namespace {

TextModel Make(const std::string& text) {
  TextModel m;
  m.SetText(text.data(), static_cast<int>(text.size()));
  return m;
}

// Line starts by the same rule, recomputed from scratch.
std::vector<int> NaiveStarts(const std::string& t) {
  std::vector<int> starts{0};
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\n' || (t[i] == '\r' && (i + 1 == t.size() || t[i + 1] != '\n'))) starts.push_back(static_cast<int>(i + 1));
  }
  return starts;
}

void ExpectLinesMatch(const TextModel& m, const std::string& t) {
  std::vector<int> starts = NaiveStarts(t);
  ASSERT_EQ(m.LineCount(), static_cast<int>(starts.size()));
  for (size_t i = 0; i < starts.size(); ++i) ASSERT_EQ(m.LineStart(static_cast<int>(i)), starts[i]) << "line " << i;
  ASSERT_EQ(m.Length(), static_cast<int>(t.size()));
}

}  // namespace

TEST(TextModel, DoubleByteCharactersAndCrLfCountTwo) {
  // "a", 日, 本, "b", CR LF, "xy": 10 bytes, two lines.
  TextModel m = Make("a日本b\r\nxy");
  EXPECT_EQ(m.Length(), 10);
  EXPECT_EQ(m.LineCount(), 2);
  EXPECT_EQ(m.LineStart(1), 8);
  EXPECT_EQ(m.LineLength(0), 6);
  EXPECT_EQ(m.LineEnd(0), 6);
  EXPECT_EQ(m.LineFromPos(7), 0);  // the LF belongs to the first line
  EXPECT_EQ(m.LineFromPos(8), 1);
  EXPECT_EQ(m.LineFromPos(100), 1);
  EXPECT_EQ(m.NextBoundary(1), 3);
  EXPECT_EQ(m.NextBoundary(6), 8);  // over CR LF in one step
  EXPECT_EQ(m.PrevBoundary(8), 6);
  EXPECT_EQ(m.PrevBoundary(5), 3);
  EXPECT_FALSE(m.IsBoundary(2));
  EXPECT_FALSE(m.IsBoundary(7));
  EXPECT_EQ(m.BoundaryAtOrBefore(4), 3);
  EXPECT_EQ(m.BoundaryAtOrAfter(4), 5);
}

TEST(TextModel, TrailBytesThatLookLikeLeadOrAsciiBytes) {
  // 表 is 95 5C (trail = backslash), 院 is 89 40, 圀 is 8A 9F: trail bytes in the
  // lead range must not shift the boundaries of the characters after them.
  std::string t = "表\\院圀x";
  TextModel m = Make(t);
  ASSERT_EQ(m.Length(), 8);
  std::vector<int> boundaries;
  for (int p = 0; p <= m.Length(); ++p)
    if (m.IsBoundary(p)) boundaries.push_back(p);
  EXPECT_EQ(boundaries, (std::vector<int>{0, 2, 3, 5, 7, 8}));
  // A lead byte before a byte that cannot be a trail stands alone.
  TextModel lone = Make(std::string("\x88\r\nz", 4));
  EXPECT_EQ(lone.CharLengthAt(0), 1);
  EXPECT_EQ(lone.LineCount(), 2);
  TextModel atEnd = Make(std::string("a\x88", 2));
  EXPECT_EQ(atEnd.NextBoundary(1), 2);
}

TEST(TextModel, LoneCrAndLfEndLinesToo) {
  TextModel m = Make("a\rb\nc\r\n");
  EXPECT_EQ(m.LineCount(), 4);
  EXPECT_EQ(m.LineStart(1), 2);
  EXPECT_EQ(m.LineStart(2), 4);
  EXPECT_EQ(m.LineStart(3), 7);
  EXPECT_EQ(m.LineLength(3), 0);
  EXPECT_EQ(m.LineEnd(2), 5);
}

TEST(TextModel, EditsThatJoinAndSplitCrLf) {
  TextModel m = Make("ab\r");
  EXPECT_EQ(m.LineCount(), 2);
  m.Replace(3, 0, "\n", 1);  // CR + LF become one break
  ExpectLinesMatch(m, "ab\r\n");
  m.Replace(3, 0, "x", 1);  // separating them again gives two breaks
  ExpectLinesMatch(m, "ab\rx\n");
  m.Replace(3, 1, "", 0);
  ExpectLinesMatch(m, "ab\r\n");
  m.Replace(0, 4, "", 0);
  ExpectLinesMatch(m, "");
  EXPECT_EQ(m.LineCount(), 1);
}

TEST(TextModel, WordMovementAndDoubleClickWords) {
  TextModel m = Make("foo bar.baz  日本語です\r\nnext");
  EXPECT_EQ(m.WordStartAfter(0), 4);
  EXPECT_EQ(m.WordStartAfter(4), 7);
  EXPECT_EQ(m.WordStartAfter(8), 13);   // word, then blanks
  EXPECT_EQ(m.WordStartAfter(13), 19);  // kanji run ends at the kana
  EXPECT_EQ(m.WordStartAfter(23), 25);  // from the line end to the next line
  EXPECT_EQ(m.WordStartBefore(25), 19); // back over the break into the kana
  EXPECT_EQ(m.WordStartBefore(13), 8);
  EXPECT_EQ(m.WordStartBefore(0), 0);
  int s = 0, e = 0;
  m.WordAround(15, &s, &e);
  EXPECT_EQ(s, 13);
  EXPECT_EQ(e, 19);
  m.WordAround(1, &s, &e);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(e, 3);
}

TEST(TextModel, ContiguousTextIsNulTerminatedAfterMiddleEdits) {
  TextModel m = Make("hello world");
  m.Replace(5, 0, ",", 1);
  m.Replace(0, 1, "H", 1);
  EXPECT_STREQ(m.ContiguousText(), "Hello, world");
  EXPECT_EQ(m.Range(7, 100), "world");
}

// Random edits of a text full of CR, LF and double-byte characters, compared with
// a plain string and a rescan after every step; exercises the pending step in both
// directions and the gap moving.
TEST(TextModel, RandomEditsKeepLineStartsExact) {
  std::mt19937 rng(1234);
  const char* pieces[] = {"a", "\r", "\n", "\r\n", "日", "xyz", "\r\r\n", "\n\r", "表示", ""};
  std::string shadow;
  TextModel m;
  for (int step = 0; step < 3000; ++step) {
    int len = static_cast<int>(shadow.size());
    int pos = len ? static_cast<int>(rng() % (len + 1)) : 0;
    int del = (len - pos) ? static_cast<int>(rng() % std::min(len - pos + 1, 6)) : 0;
    if (step % 500 == 0) pos = static_cast<int>(rng() % (len + 1)), del = 0;  // far jumps
    std::string ins = pieces[rng() % 10];
    if (rng() % 3 == 0) ins += pieces[rng() % 10];
    m.Replace(pos, del, ins.data(), static_cast<int>(ins.size()));
    shadow.replace(pos, del, ins);
    ExpectLinesMatch(m, shadow);
    int probe = shadow.empty() ? 0 : static_cast<int>(rng() % (shadow.size() + 1));
    std::vector<int> starts = NaiveStarts(shadow);
    int expectLine = static_cast<int>(std::upper_bound(starts.begin(), starts.end(), probe) - starts.begin()) - 1;
    ASSERT_EQ(m.LineFromPos(probe), expectLine);
  }
  EXPECT_EQ(m.Range(0, m.Length()), shadow);
}
