// fuzz-sources: platform/textctl/text_model.cpp platform/textctl/line_starts.cpp
// The text model against a plain string: random Replace and SetText calls, then
// the text, the line starts, line from position, character boundaries and word
// movement checked against answers worked out from the string alone.
#include <string>
#include <vector>
#include "platform/cp932.h"
#include "platform/textctl/text_model.h"
#include "tests/fuzz/textmodel_fuzz_input.h"

using rv::textctl::TextModel;

namespace {

// Bytes that make the cases: line breaks, lead bytes (also lead-valued trail
// bytes), trail-only bytes, blanks, half-width kana.
const char kAlphabet[] = {'a', ' ', '\t', '\r', '\n', '\x82', '\x88', '\x9F', '\xE9', '\x40', '\x5C', '\xB1', '\xFC', '.', '_', 'A'};

std::string Bytes(FuzzInput& in, unsigned count) {
  std::string s;
  for (unsigned i = 0; i < count; ++i) s += kAlphabet[in.Next() & 15];
  return s;
}

std::vector<int> LineStartsOf(const std::string& t) {
  std::vector<int> starts{0};
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\n' || (t[i] == '\r' && (i + 1 == t.size() || t[i + 1] != '\n'))) starts.push_back(static_cast<int>(i + 1));
  }
  return starts;
}

// Character boundaries from a walk from the start: CR LF and lead + trail count 2.
std::vector<bool> BoundariesOf(const std::string& t) {
  std::vector<bool> b(t.size() + 1, false);
  for (size_t i = 0; i <= t.size();) {
    b[i] = true;
    if (i == t.size()) break;
    i += t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n' ? 2 : cp932::CharLength(t.data(), i, t.size());
  }
  return b;
}

void Check(TextModel& m, const std::string& t, FuzzInput& in) {
  const int n = static_cast<int>(t.size());
  FUZZ_CHECK(m.Length() == n);
  FUZZ_CHECK(m.Range(0, n) == t);
  FUZZ_CHECK(std::string(m.ContiguousText()) == t.substr(0, t.find('\0')));
  const std::vector<int> starts = LineStartsOf(t);
  FUZZ_CHECK(m.LineCount() == static_cast<int>(starts.size()));
  for (size_t i = 0; i < starts.size(); ++i) FUZZ_CHECK(m.LineStart(static_cast<int>(i)) == starts[i]);
  FUZZ_CHECK(m.LineStart(m.LineCount()) == n);
  size_t line = 0;
  for (int pos = 0; pos <= n; ++pos) {
    while (line + 1 < starts.size() && starts[line + 1] <= pos) ++line;
    FUZZ_CHECK(m.LineFromPos(pos) == static_cast<int>(line));
  }
  const std::vector<bool> boundary = BoundariesOf(t);
  int before = 0;
  for (int pos = 0; pos <= n; ++pos) {
    if (boundary[pos]) before = pos;
    FUZZ_CHECK(m.IsBoundary(pos) == boundary[pos]);
    FUZZ_CHECK(m.BoundaryAtOrBefore(pos) == before);
    if (boundary[pos] && pos < n) FUZZ_CHECK(boundary[m.NextBoundary(pos)] && m.PrevBoundary(m.NextBoundary(pos)) == pos);
  }
  // Word movement at a few places: results are boundaries, on the line or the one before.
  for (int k = 0; k < 4; ++k) {
    int pos = static_cast<int>(in.Below(n + 1));
    int w = m.WordStartBefore(pos);
    FUZZ_CHECK(w <= m.BoundaryAtOrBefore(pos) && boundary[w]);
    FUZZ_CHECK(pos == 0 || m.LineFromPos(w) >= m.LineFromPos(m.BoundaryAtOrBefore(pos)) - 1);
    int after = m.WordStartAfter(pos);
    FUZZ_CHECK(after >= m.BoundaryAtOrBefore(pos) && boundary[after]);
    int s = -1, e = -1;
    m.WordAround(pos, &s, &e);
    FUZZ_CHECK(0 <= s && s <= e && e <= n && boundary[s] && boundary[e]);
    FUZZ_CHECK(m.LineFromPos(s) == m.LineFromPos(e) || e == m.LineStart(m.LineFromPos(e)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in{data, size};
  TextModel m;
  std::string shadow;
  while (in.n) {
    const unsigned op = in.Next() % 8;
    if (op == 7) {
      shadow = Bytes(in, in.Next() % 64);
      m.SetText(shadow.data(), static_cast<int>(shadow.size()));
    } else {
      const int len = static_cast<int>(shadow.size());
      const int pos = static_cast<int>(in.Below(len + 1));
      const int remove = static_cast<int>(in.Below(len - pos + 1) % 24);
      const std::string insert = Bytes(in, in.Next() % (op == 6 ? 200 : 12));
      m.Replace(pos, remove, insert.data(), static_cast<int>(insert.size()));
      shadow.replace(pos, remove, insert);
    }
    if (shadow.size() > 4096) {
      shadow.resize(0);
      m.SetText("", 0);
    }
    Check(m, shadow, in);
  }
  return 0;
}
