// fuzz-sources: views/regex_search.cpp document/encoding_utf8.cpp
// The CP932 iterator and the regular-expression search on arbitrary bytes,
// read in two pieces split anywhere (the halves of the text control's gap
// buffer). Properties: the iterator stands exactly on the character starts a
// forward walk finds, going forwards and backwards alike, and reads each
// character as one unit; every match of a set of patterns starts and ends on
// a character start, in order, without overlap.
// CP932 bytes are written as escapes (clang has no -fexec-charset).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "tests/fuzz/fuzz_check.h"
#include "views/cp932_iterator.h"
#include "views/regex_search.h"

namespace {

// ., \\ (never the trail 5C), [ぁ-ん]+, ^$ at lines, \b, a lookbehind, an
// empty match, a pattern across lines.
const char* const kPatterns[] = {".", "\\\\", "[\x82\x9F-\x82\xF1]+", "^|$", "\\b", "(?<=.)\\S", "a*", "\\r\\n[\\s\\S]"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string text = input.substr(2);
  const int n = static_cast<int>(text.size());
  rv::textctl::TextSpans spans;
  const int split = data[0] % (n + 1);
  spans.part1 = text.data();
  spans.length1 = split;
  spans.part2 = text.data() + split;
  spans.length2 = n - split;

  std::vector<int> starts;
  std::vector<bool> isStart(static_cast<size_t>(n) + 1, false);
  for (int i = 0; i < n; i += static_cast<int>(cp932::CharLength(text.data(), i, text.size()))) {
    starts.push_back(i);
    isStart[static_cast<size_t>(i)] = true;
  }
  isStart[static_cast<size_t>(n)] = true;

  Cp932Iterator it(&spans, 0);
  for (int s : starts) {
    Check(it.Pos() == s, "forward walk off a character start", input);
    const unsigned code = cp932::CharLength(text.data(), s, text.size()) == 2
                              ? (static_cast<unsigned char>(text[s]) << 8u) | static_cast<unsigned char>(text[s + 1])
                              : static_cast<unsigned char>(text[s]);
    Check(*it == static_cast<wchar_t>(Cp932CharToUnit(code)), "unit read", input);
    ++it;
  }
  Check(it.Pos() == n, "forward walk past the end", input);
  for (auto s = starts.rbegin(); s != starts.rend(); ++s)
    Check((--it).Pos() == *s, "backward walk off a character start", input);

  std::string error;
  const CompiledRegex re = CompileRegex(kPatterns[data[1] % (sizeof kPatterns / sizeof *kPatterns)], true, error);
  Check(re.Valid(), "pattern compiles", input);
  int last = 0;
  RegexSearchAll(re, spans, [&](int s, int e) {
    Check(s >= last && s <= e && e <= n, "matches in order, inside the text", input);
    Check(isStart[static_cast<size_t>(s)] && isStart[static_cast<size_t>(e)], "match on character starts", input);
    last = e;
    return true;
  });
  return 0;
}
