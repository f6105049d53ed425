// The text model alone: byte indexes, CP932 character boundaries, CR LF, and line
// starts kept right under inserts and deletes (checked against a plain rescan).
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>
#include "platform/textctl/text_model.h"

using rv::textctl::TextModel;

namespace {
// Allocations left before one fails with bad_alloc; -1: none fails.
long g_allocationsBeforeFailure = -1;
}  // namespace

// Every allocation of this test program passes here, so a test can make the
// n-th one from now fail.
void* operator new(std::size_t size) {
  if (g_allocationsBeforeFailure == 0) {
    g_allocationsBeforeFailure = -1;
    throw std::bad_alloc();
  }
  if (g_allocationsBeforeFailure > 0) --g_allocationsBeforeFailure;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

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

namespace {

// Word movement stepping back one character at a time, as a reference for the
// model's single walks: skip a line break, then blanks, then one run of a kind.
int SlowWordStartBefore(const TextModel& m, int pos) {
  int p = m.BoundaryAtOrBefore(pos);
  auto kindBefore = [&](int q) { return m.WordClassAt(m.PrevBoundary(q)); };
  if (p > 0 && kindBefore(p) == TextModel::kBreakClass) p = m.PrevBoundary(p);
  while (p > 0 && kindBefore(p) == TextModel::kBlankClass) p = m.PrevBoundary(p);
  if (p > 0) {
    int kind = kindBefore(p);
    if (kind != TextModel::kBreakClass) {
      while (p > 0 && kindBefore(p) == kind) p = m.PrevBoundary(p);
    }
  }
  return p;
}

std::pair<int, int> SlowWordAround(const TextModel& m, int pos) {
  int p = m.BoundaryAtOrBefore(pos);
  if (p >= m.Length() || m.WordClassAt(p) == TextModel::kBreakClass) {
    if (p == 0 || m.WordClassAt(m.PrevBoundary(p)) == TextModel::kBreakClass) return {p, p};
    p = m.PrevBoundary(p);
  }
  int kind = m.WordClassAt(p), s = p, e = p;
  while (s > 0 && m.WordClassAt(m.PrevBoundary(s)) == kind) s = m.PrevBoundary(s);
  while (e < m.Length() && m.WordClassAt(e) == kind) e = m.NextBoundary(e);
  return {s, e};
}

}  // namespace

TEST(TextModel, WordMovementMatchesACharacterByCharacterWalk) {
  std::mt19937 rng(99);
  const char* pieces[] = {"ab", " ", "\t", ".", "\r\n", "\r", "\n", "日本", "です", "カナ", "\xB1",
                          "亜", "\x82", "\xE9", "A", "_1", "表\\"};
  for (int round = 0; round < 300; ++round) {
    std::string t;
    for (int i = static_cast<int>(rng() % 12); i > 0; --i) t += pieces[rng() % 17];
    TextModel m = Make(t);
    for (int pos = 0; pos <= m.Length(); ++pos) {
      SCOPED_TRACE(testing::Message() << "text [" << t << "] pos " << pos);
      ASSERT_EQ(m.WordStartBefore(pos), SlowWordStartBefore(m, pos));
      int s = -1, e = -1;
      m.WordAround(pos, &s, &e);
      ASSERT_EQ(std::make_pair(s, e), SlowWordAround(m, pos));
    }
  }
}

// 亜 is 88 9F: both bytes have lead values, the case where finding the previous
// character means walking from the line start.
TEST(TextModel, WordsInALongRunOfDoubleByteCharacters) {
  std::string run;
  for (int i = 0; i < 16000; ++i) run += "亜";
  TextModel m = Make("x " + run + " y\r\n" + run);
  const int runStart = 2, runEnd = 2 + 32000, second = runEnd + 4;
  EXPECT_EQ(m.WordStartBefore(runEnd), runStart);
  EXPECT_EQ(m.WordStartBefore(runEnd + 1), runStart);
  EXPECT_EQ(m.WordStartBefore(runEnd + 3), runEnd + 1);
  EXPECT_EQ(m.WordStartBefore(m.Length()), second);
  EXPECT_EQ(m.WordStartBefore(second), runEnd + 1);  // over the break to "y"
  int s = 0, e = 0;
  m.WordAround(runStart + 16001, &s, &e);  // inside a character
  EXPECT_EQ(s, runStart);
  EXPECT_EQ(e, runEnd);
  m.WordAround(m.Length(), &s, &e);
  EXPECT_EQ(s, second);
  EXPECT_EQ(e, m.Length());
  EXPECT_EQ(m.WordStartAfter(runStart), runEnd + 1);
}

// A change that runs out of memory at any of its allocations leaves the text
// and its line starts as they were; with enough memory it is made.
TEST(TextModel, AnEditThatRunsOutOfMemoryChangesNothing) {
  const std::string start = "one\r\ntwo\rthree\nfour 日本";
  std::string many;
  for (int i = 0; i < 300; ++i) many += i % 3 ? "line\r\n" : "行\r";
  struct Edit {
    const char* name;
    void (*apply)(TextModel&, const std::string&);
    std::string after;
  };
  const Edit edits[] = {
      {"replace", [](TextModel& m, const std::string& t) { m.Replace(5, 3, t.data(), static_cast<int>(t.size())); },
       start.substr(0, 5) + many + start.substr(8)},
      {"set text", [](TextModel& m, const std::string& t) { m.SetText(t.data(), static_cast<int>(t.size())); }, many},
  };
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.name);
    for (long failAt = 0;; ++failAt) {
      ASSERT_LT(failAt, 100);
      TextModel m = Make(start);
      g_allocationsBeforeFailure = failAt;
      bool failed = false;
      try {
        edit.apply(m, many);
      } catch (const std::bad_alloc&) {
        failed = true;
      }
      g_allocationsBeforeFailure = -1;
      if (!failed) {
        ExpectLinesMatch(m, edit.after);
        EXPECT_EQ(m.Range(0, m.Length()), edit.after);
        break;
      }
      SCOPED_TRACE(failAt);
      ExpectLinesMatch(m, start);
      EXPECT_EQ(m.Range(0, m.Length()), start);
    }
  }
}

// Reads through the text reader: bytes in place as at most two spans, lines at
// the ends and around the gap, an empty text; no read moves the gap.
TEST(TextModel, ReadsInPlaceAcrossTheGapWithoutMovingIt) {
  struct Case {
    const char* text;
    int gap, line, pos, count;  // line -1: the range [pos, pos + count)
    const char* want;
    int spans;
  } const cases[] = {
      {"", 0, 0, 0, 0, "", 0},
      {"abcdef", 3, -1, 1, 4, "bcde", 2},
      {"abcdef", 3, -1, 3, 2, "de", 1},
      {"abcdef", 3, -1, -2, 100, "abcdef", 2},
      {"abcdef", 3, -1, 7, 2, "", 0},
      {"ab\r\n日本\r\nxyz", 5, 1, 0, 0, "日本", 2},  // the gap inside a double-byte character
      {"ab\r\n日本\r\nxyz", 5, 0, 0, 0, "ab", 1},
      {"ab\r\n日本\r\nxyz", 11, 2, 0, 0, "xyz", 2},
      {"ab\r\n", 1, 1, 0, 0, "", 0},  // the empty last line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " gap " + std::to_string(c.gap) + " line " + std::to_string(c.line));
    TextModel m = Make(c.text);
    m.Replace(c.gap, 0, "#", 1);
    m.Replace(c.gap, 1, "", 0);
    const rv::textctl::TextReader& reader = m;
    const rv::textctl::TextSpans got = c.line < 0 ? reader.Spans(c.pos, c.count) : reader.LineSpans(c.line);
    std::string scratch;
    EXPECT_EQ(std::string(got.Contiguous(scratch), static_cast<size_t>(got.Length())), c.want);
    EXPECT_EQ((got.length1 > 0) + (got.length2 > 0), c.spans);
    EXPECT_EQ(m.Spans(0, m.Length()).length1, c.gap) << "the gap moved";
  }
}
