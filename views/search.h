// The search of the find commands over CP932 bytes, without any Windows header:
// candidates only at character starts (a match never begins on a trail byte
// nor ends inside a character), forwards from the selection or backwards to
// the nearest match before it, never wrapping. The comparison itself is the
// caller's (the system's locale-aware one in the program), so what counts as
// equal is the platform's.
//
// The text is read in place in up to two pieces (the halves of a gap buffer);
// only a candidate that straddles the two is copied.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "platform/textctl/text_reader.h"

// A text read in place: the two spans of a text reader.
using SearchSource = rv::textctl::TextSpans;

// The comparison of two byte strings (not NUL-terminated), case-sensitive or not.
class SearchComparer {
 public:
  virtual bool Equal(const char* a, int na, const char* b, int nb, bool matchCase) = 0;

 protected:
  ~SearchComparer() = default;
};

// Which first characters a case-insensitive candidate may start with: every
// character (single- or double-byte) that the comparer finds equal to the
// first character of the find text. Built once per first character from the
// comparer itself, since the system's comparison makes characters of different
// lead bytes equal where plain ASCII folding would not.
class SearchFilter {
 public:
  // Makes the table for `find`'s first character (kept when it is the same).
  void Prepare(const std::string& find, SearchComparer& compare);
  bool Accepts(unsigned code) const { return m_table[code >> 3] & (1u << (code & 7)); }

 private:
  std::string m_key;
  std::vector<unsigned char> m_table = std::vector<unsigned char>(65536 / 8);
};

struct SearchRequest {
  std::string find;  // never matched when empty
  bool down = true;
  bool matchCase = false;
};

// True when [selStart, selEnd) holds exactly `find` by the comparison.
bool SearchSelectionEquals(const SearchSource& text, int selStart, int selEnd, const std::string& find,
                           bool matchCase, SearchComparer& compare);

// The start of the next match from the selection [selStart, selEnd), or -1.
// Down: from selStart, or past the character at selStart when the selection is
// itself a match; up: the last match that starts before selStart. `filter` is
// prepared here for a case-insensitive search.
int SearchText(const SearchSource& text, int selStart, int selEnd, const SearchRequest& request,
               SearchComparer& compare, SearchFilter& filter);
