// fuzz-sources: views/search.cpp
// The find commands' search on arbitrary CP932 bytes, read in two pieces split
// anywhere (as the halves of the text control's gap buffer), with a plain
// comparison (bytes, or ASCII letters without regard to case). Properties: a
// match starts and ends on character boundaries and holds the find text, and
// it is the one a walk over the characters finds: down, the first from the
// selection (past its first character when the selection is itself a match);
// up, the last starting before the selection.
// CP932 bytes are written as escapes (clang has no -fexec-charset).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/textmodel_fuzz_input.h"
#include "views/search.h"

namespace {

const char kAlphabet[] = {'a', 'A', 'b', ' ', '\r', '\n', '\x82', '\x83', '\x81', '\x9F', '\xE0', '\x40', '\x5C', '\x7D', '\xA0', '\xB1'};

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

struct PlainComparer : SearchComparer {
  bool Equal(const char* a, int na, const char* b, int nb, bool matchCase) override {
    if (na != nb) return false;
    for (int i = 0; i < na; ++i)
      if (matchCase ? a[i] != b[i] : Fold(a[i]) != Fold(b[i])) return false;
    return true;
  }
};

std::string Bytes(FuzzInput& in, unsigned count) {
  std::string s;
  for (unsigned i = 0; i < count; ++i) s += kAlphabet[in.Next() & 15];
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in{data, size};
  const std::string text = Bytes(in, in.Next() % 48);
  SearchRequest request;
  request.find = Bytes(in, 1 + in.Next() % 4);
  const unsigned flags = in.Next();
  request.down = flags & 1;
  request.matchCase = flags & 2;
  const int total = static_cast<int>(text.size());
  const int split = static_cast<int>(in.Below(static_cast<unsigned>(total) + 1));
  const SearchSource source{text.data(), split, text.data() + split, total - split};

  std::vector<int> starts;  // character starts, then the length
  for (size_t i = 0; i < text.size(); i += cp932::CharLength(text.data(), i, text.size())) starts.push_back(static_cast<int>(i));
  starts.push_back(total);
  // The control keeps a selection on character boundaries.
  const unsigned a = in.Below(static_cast<unsigned>(starts.size())), b = in.Below(static_cast<unsigned>(starts.size()));
  const int selStart = starts[a < b ? a : b], selEnd = starts[a < b ? b : a];

  PlainComparer compare;
  SearchFilter filter;
  const int found = SearchText(source, selStart, selEnd, request, compare, filter);

  const int n = static_cast<int>(request.find.size());
  auto isStart = [&](int p) {
    for (int q : starts)
      if (q == p) return true;
    return false;
  };
  // A match holds the find text and ends where a character ends.
  auto matchesAt = [&](int p) {
    return p + n <= total && isStart(p + n) && compare.Equal(text.data() + p, n, request.find.data(), n, request.matchCase);
  };
  int expected = -1;
  if (request.down) {
    int from = selStart;
    if (selStart != selEnd && selEnd - selStart == n && matchesAt(selStart))
      from += static_cast<int>(cp932::CharLength(text.data(), static_cast<size_t>(selStart), text.size()));
    for (int p : starts)
      if (p >= from && p < total && matchesAt(p)) {
        expected = p;
        break;
      }
  } else {
    for (int p : starts)
      if (p < selStart && p < total && matchesAt(p)) expected = p;
  }
  const std::string input(reinterpret_cast<const char*>(data), size);
  if (found >= 0) {
    Check(isStart(found), "a match inside a character", input);
    Check(matchesAt(found), "a match that does not hold the find text or ends inside a character", input);
  }
  Check(found == expected, "not the match a walk over the characters finds", input);
  return 0;
}
