// Regular-expression search over code page 932 text, in JScript's dialect,
// without any Windows header. The engine is Boost.Regex over UTF-16 code
// units, run through an iterator that decodes the CP932 bytes in place (no
// copy of the text) and gives back byte offsets: a match always starts and
// ends at a character start, so `.` takes a double-byte character once and
// `\\` never matches the 0x5C trail byte of a character such as 表.
//
// Use from any code that has CP932 text (the editor's spans, a decoded file):
//
//   std::string error;
//   CompiledRegex re = CompileRegex(pattern, matchCase, error);
//   if (!re.Valid()) { report error (the library's reason, English) }
//   RegexStatus st = RegexSearchAll(re, text, [&](int start, int end) {
//     ...;            // one match [start, end) in bytes, left to right
//     return true;    // false stops the search
//   });
//   if (st == RegexStatus::kTooComplex) { the search was abandoned }
//
// The dialect: classes \d \w \s \b and their negations, [...] with ranges of
// Japanese characters, groups, (?:...), alternation, greedy and lazy
// quantifiers, lookahead, back-references; ^ and $ at every line start and end
// (CR LF is one line break); `.` any character but a line break; \uXXXX and
// \xXX. Without matchCase, letters match either case, full-width Latin,
// Greek and Cyrillic ones included.
//
// A compiled pattern is immutable and may be shared between threads; each
// search keeps its state on its own stack.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/textctl/text_reader.h"

struct RegexProgram;  // the compiled Boost.Regex pattern (regex_search.cpp)

class CompiledRegex {
 public:
  bool Valid() const { return m_program != nullptr; }
  const RegexProgram* Program() const { return m_program.get(); }
  explicit CompiledRegex(std::shared_ptr<const RegexProgram> program = nullptr) : m_program(std::move(program)) {}

 private:
  std::shared_ptr<const RegexProgram> m_program;
};

enum class RegexStatus {
  kDone,        // searched to the end, or stopped by the caller
  kTooComplex,  // the engine gave up (an explosive pattern): results incomplete
};

// Compiles a JScript pattern given in CP932 bytes. Invalid: an object that is
// not Valid() and the library's reason in `error`.
CompiledRegex CompileRegex(std::string_view pattern, bool matchCase, std::string& error);

// One match: byte offsets [start, end) into the text searched.
using RegexMatchFound = std::function<bool(int start, int end)>;

// Every non-overlapping match from left to right (an empty match never twice
// at the same place), reported to `found` until it answers false.
RegexStatus RegexSearchAll(const CompiledRegex& re, const rv::textctl::TextSpans& text, const RegexMatchFound& found);
RegexStatus RegexSearchAll(const CompiledRegex& re, std::string_view text, const RegexMatchFound& found);

// ---- for the editor's Find and Replace

// A match with its groups as byte offsets; groups[0] is the whole match, a
// group that took no part is {-1, -1}. Empty when nothing was found.
struct RegexMatch {
  std::vector<std::pair<int, int>> groups;
  bool Found() const { return !groups.empty(); }
  int Start() const { return groups[0].first; }
  int End() const { return groups[0].second; }
};

// The first match that starts at or after `from` (the text before it is seen
// by ^, \b and lookbehind); with `notEmptyAtFrom`, an empty match at `from`
// itself does not count. Nothing found leaves `match` empty.
RegexStatus RegexFindFrom(const CompiledRegex& re, const rv::textctl::TextSpans& text, int from, bool notEmptyAtFrom,
                          RegexMatch& match);
// Every match that starts at or after `from`, with its groups, left to right,
// until `found` answers false.
RegexStatus RegexFindAllFrom(const CompiledRegex& re, const rv::textctl::TextSpans& text, int from,
                             const std::function<bool(const RegexMatch&)>& found);
// Whether [start, end) is itself a match (for Replace on the selection).
RegexStatus RegexMatchExactly(const CompiledRegex& re, const rv::textctl::TextSpans& text, int start, int end,
                              RegexMatch& match);

// The replacement for one match in JScript's form: $1-$99 (two digits when
// that group exists), $& the match, $$ a dollar sign, \n a line break (CR LF),
// \t a tab, \\ a backslash; anything else as written. CP932 in, CP932 out.
std::string ExpandReplacement(std::string_view replacement, const RegexMatch& match,
                              const rv::textctl::TextSpans& text);
