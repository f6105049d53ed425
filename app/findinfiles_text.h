// What find in files does with names and texts, without any Windows header:
// the file-name masks (`*.js;*.vbs`), the matcher that a search runs over a
// decoded text (literal through the find commands' own search, or a regular
// expression through theirs), and the scan that
// gives one result per matching line with its line and character column.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "views/regex_search.h"
#include "views/search.h"

// The masks of a `;`-separated list, blanks around each trimmed, empty ones dropped.
std::vector<std::string> SplitMasks(const std::string& list);
// True when `name` (a file name without its folder) matches one of `masks`:
// `*` any run, `?` one character, ASCII letters in either case.
bool MatchesAnyMask(const std::string& name, const std::vector<std::string>& masks);

// Finds the first match at or after byte `from` of a whole text; -1 when none.
// `end`, when given, receives where the match ends.
class TextMatcher {
 public:
  virtual ~TextMatcher() = default;
  virtual int FindFrom(const char* text, int length, int from, int* end = nullptr) = 0;
  // True once after a search was given up as too complex (results incomplete).
  virtual bool TakeTooComplex() { return false; }
};

// The literal search of the find commands (character starts only, the
// comparer's idea of equal, case-sensitive or not), over one contiguous text:
// candidates are found by their first byte alone, and only those are checked
// for standing at a character start (by the lead bytes before them) and
// compared.
class LiteralMatcher : public TextMatcher {
 public:
  LiteralMatcher(std::string find, bool matchCase, SearchComparer& compare);
  int FindFrom(const char* text, int length, int from, int* end = nullptr) override;

 private:
  SearchRequest m_request;
  SearchComparer& m_compare;
  SearchFilter m_filter;
  bool m_wholeCharacters = false;      // the find text does not end in a lone lead byte
  unsigned char m_firstBytes[256] = {};  // 1 for the bytes a match may begin with
};

// A JScript regular expression (views/regex_search.h) over the text; `^` and
// `\b` see the text before `from`.
class RegexMatcher : public TextMatcher {
 public:
  explicit RegexMatcher(CompiledRegex pattern) : m_pattern(std::move(pattern)) {}
  int FindFrom(const char* text, int length, int from, int* end = nullptr) override;
  bool TakeTooComplex() override { return std::exchange(m_tooComplex, false); }

 private:
  CompiledRegex m_pattern;
  bool m_tooComplex = false;
};

// One matching line of a text.
struct LineMatch {
  int line = 0;        // from 1
  int column = 0;      // in characters, from 1
  std::string text;    // the line, without its line end
};

// Calls `found` once for each line of `text` (CR LF, CR or LF end a line) that
// holds a match, with the first match's column, in order; stops when `found`
// answers false. Returns the number of lines reported.
int ScanMatchingLines(const char* text, int length, TextMatcher& matcher,
                      const std::function<bool(const LineMatch&)>& found);
