// The find commands' search over CP932 bytes, headless, with a comparison that
// folds ASCII letters and, like the system's, finds two characters of different
// lead bytes equal (0x81E0 and 0x8790, both the approximately-equal sign).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include "views/search.h"

namespace {

std::string Fold(const char* s, int n) {
  std::string out(s, static_cast<size_t>(n));
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(out[i]);
    if (b == 0x87 && i + 1 < out.size() && static_cast<unsigned char>(out[i + 1]) == 0x90) {
      out[i] = '\x81';
      out[i + 1] = '\xE0';
      ++i;
    } else if (b >= 0x81) {
      ++i;  // a double-byte character stays as it is
    } else if (b >= 'a' && b <= 'z') {
      out[i] = static_cast<char>(b - 32);
    }
  }
  return out;
}

class FoldingComparer : public SearchComparer {
 public:
  int calls = 0;
  bool Equal(const char* a, int na, const char* b, int nb, bool matchCase) override {
    ++calls;
    if (matchCase) return std::string(a, na) == std::string(b, nb);
    return Fold(a, na) == Fold(b, nb);
  }
};

struct Searcher {
  FoldingComparer compare;
  SearchFilter filter;
  int Find(const std::string& text, int s, int e, const std::string& find, bool down, bool matchCase,
           int split = -1) {
    if (split < 0) split = static_cast<int>(text.size());
    SearchSource src{text.data(), split, text.data() + split, static_cast<int>(text.size()) - split};
    return SearchText(src, s, e, SearchRequest{find, down, matchCase}, compare, filter);
  }
};

TEST(FindSearch, ATrailByteNeverMatchesInsideADoubleByteCharacter) {
  Searcher s;
  // 表 is 95 5C: its trail byte is a backslash.
  const std::string text = "\x95\x5C\x95\x5C\\x";
  EXPECT_EQ(s.Find(text, 0, 0, "\\", true, true), 4);
  EXPECT_EQ(s.Find(text, 0, 0, "\\x", true, false), 4);
  EXPECT_EQ(s.Find(text, 6, 6, "\\", false, true), 4);
  EXPECT_EQ(s.Find(text, 4, 4, "\\", false, true), -1);  // only trail bytes before it
  // The trail byte and the next character's lead byte together are no match either.
  EXPECT_EQ(s.Find(text, 0, 0, "\x5C\x95", true, true), -1);
  // A find text ending in a lead byte never takes half of a character.
  EXPECT_EQ(s.Find(text, 0, 0, "\x95", true, true), -1);
  EXPECT_EQ(s.Find("a\x95\x5C" "a\x95", 0, 0, "a\x95", true, true), 3);
  EXPECT_EQ(s.Find("a\x95\x5C" "a\x95", 0, 0, "A\x95", true, false), 3);
}

TEST(FindSearch, DownFindsTheMatchAtTheCaretThenTheNextNeverWrapping) {
  Searcher s;
  const std::string text = "ab\x82\xA0" "ab\x82\xA0" "ab";  // ab あ ab あ ab
  EXPECT_EQ(s.Find(text, 2, 2, "\x82\xA0", true, true), 2);
  EXPECT_EQ(s.Find(text, 2, 4, "\x82\xA0", true, true), 6);  // the selected match is skipped
  EXPECT_EQ(s.Find(text, 6, 8, "\x82\xA0", true, true), -1);
  EXPECT_EQ(s.Find(text, 8, 10, "ab", true, true), -1);
  // A selection that is not the find text is searched from its start.
  EXPECT_EQ(s.Find(text, 0, 3, "ab", true, true), 0);
}

TEST(FindSearch, UpFindsTheLastMatchStartingBeforeTheSelection) {
  Searcher s;
  const std::string text = "abXabXab";
  EXPECT_EQ(s.Find(text, 6, 8, "ab", false, true), 3);
  EXPECT_EQ(s.Find(text, 4, 4, "ab", false, true), 3);  // a match overlapping the caret counts
  EXPECT_EQ(s.Find(text, 3, 5, "ab", false, true), 0);
  EXPECT_EQ(s.Find(text, 0, 2, "ab", false, true), -1);  // from the start: fails at once
  EXPECT_EQ(s.Find(text, 8, 8, "ab", false, true), 6);
  // The last candidate of a text ending in a double-byte character starts on it.
  EXPECT_EQ(s.Find("a\x82\xA0", 3, 3, "\xA0", false, true), -1);
}

TEST(FindSearch, CaseOnlyMattersWithMatchCaseAndTheSystemsEqualCharactersAreFound) {
  Searcher s;
  const std::string text = "xx Hello \x87\x90 hello";
  EXPECT_EQ(s.Find(text, 0, 0, "hello", true, true), 12);
  EXPECT_EQ(s.Find(text, 0, 0, "hello", true, false), 3);
  EXPECT_EQ(s.Find(text, 0, 0, "HELLO", true, true), -1);
  // Equal across lead bytes: found through the filter built from the comparison.
  EXPECT_EQ(s.Find(text, 0, 0, "\x81\xE0", true, false), 9);
  EXPECT_EQ(s.Find(text, 0, 0, "\x81\xE0", true, true), -1);
}

TEST(FindSearch, AnEmptyFindTextOrOneLongerThanTheTextFindsNothing) {
  Searcher s;
  EXPECT_EQ(s.Find("abc", 0, 0, "", true, false), -1);
  EXPECT_EQ(s.Find("abc", 3, 3, "", false, false), -1);
  EXPECT_EQ(s.Find("abc", 0, 0, "abcd", true, false), -1);
  EXPECT_EQ(s.compare.calls, 0);
}

// Against a plain search over the text in one piece: every split of the text
// into two parts (the gap anywhere) gives the same answer.
TEST(FindSearch, TextInTwoPartsSearchesAsTheWholeText) {
  std::mt19937 rng(11);
  const char alphabet[] = {'a', 'A', '\x82', '\xA0', '\\', '\x95', '\r', '\n'};
  Searcher s;
  for (int round = 0; round < 300; ++round) {
    std::string text, find;
    const int len = 1 + static_cast<int>(rng() % 24);
    for (int i = 0; i < len; ++i) text += alphabet[rng() % sizeof alphabet];
    const int flen = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < flen; ++i) find += alphabet[rng() % sizeof alphabet];
    const int caret = static_cast<int>(rng() % (text.size() + 1));
    const bool down = rng() % 2, matchCase = rng() % 2;
    const int whole = s.Find(text, caret, caret, find, down, matchCase);
    for (int split = 0; split <= static_cast<int>(text.size()); ++split)
      ASSERT_EQ(s.Find(text, caret, caret, find, down, matchCase, split), whole) << round << " " << split;
  }
}

}  // namespace
