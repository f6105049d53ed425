// What find in files does with names and texts, without any Windows header:
// the file-name masks (`*.js;*.vbs`), the matcher that a search runs over a
// decoded text (literal through the find commands' own search; a regular
// expression engine plugs in behind the same interface), and the scan that
// gives one result per matching line with its line and character column.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "views/search.h"

// The masks of a `;`-separated list, blanks around each trimmed, empty ones dropped.
std::vector<std::string> SplitMasks(const std::string& list);
// True when `name` (a file name without its folder) matches one of `masks`:
// `*` any run, `?` one character, ASCII letters in either case.
bool MatchesAnyMask(const std::string& name, const std::vector<std::string>& masks);

// Finds the first match at or after byte `from` of a whole text; -1 when none.
class TextMatcher {
 public:
  virtual ~TextMatcher() = default;
  virtual int FindFrom(const char* text, int length, int from) = 0;
};

// The literal search of the find commands (character starts only, the
// comparer's idea of equal, case-sensitive or not), over one contiguous text:
// candidates are found by their first byte alone, and only those are checked
// for standing at a character start (by the lead bytes before them) and
// compared.
class LiteralMatcher : public TextMatcher {
 public:
  LiteralMatcher(std::string find, bool matchCase, SearchComparer& compare);
  int FindFrom(const char* text, int length, int from) override;

 private:
  SearchRequest m_request;
  SearchComparer& m_compare;
  SearchFilter m_filter;
  bool m_wholeCharacters = false;      // the find text does not end in a lone lead byte
  unsigned char m_firstBytes[256] = {};  // 1 for the bytes a match may begin with
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
