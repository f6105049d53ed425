// fuzz-sources: views/syntax_lexer.cpp platform/framework/pathutil.cpp
// The colouring lexers on arbitrary lines: the input's first byte picks the
// language, the rest is split into lines at LF, each lexed in the state the
// line above left. Properties: every run lies inside its line, has bytes,
// follows the one before it and neither starts nor ends inside a double-byte
// character; only control bytes change (into blanks); the state carried on is
// normal code or an open block comment, and a language of none colours nothing.
// CP932 bytes are written as escapes (clang has no -fexec-charset).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "tests/fuzz/fuzz_check.h"
#include "views/syntax_lexer.h"

namespace {

// Offsets that start a character, and the line's length.
std::vector<bool> CharStarts(const std::string& line) {
  std::vector<bool> starts(line.size() + 1, false);
  for (size_t i = 0; i < line.size(); i += cp932::CharLength(line.data(), i, line.size())) starts[i] = true;
  starts[line.size()] = true;
  return starts;
}

void LexOne(int language, const std::string& original, unsigned& state) {
  std::string line = original;
  // The view lexes a copy that ends in zero bytes past its length.
  std::string buffer = line + std::string(3, '\0');
  std::vector<syntax::Run> runs;
  const unsigned next = syntax::LexLine(language, &buffer[0], static_cast<int>(line.size()), state, runs);
  const std::vector<bool> starts = CharStarts(original);
  int end = 0;
  for (const syntax::Run& r : runs) {
    Check(r.length > 0, "a run without bytes", original);
    Check(r.start >= end, "runs out of order or overlapping", original);
    Check(r.start + r.length <= static_cast<int>(line.size()), "a run past the line", original);
    Check(starts[static_cast<size_t>(r.start)], "a run starts inside a character", original);
    Check(starts[static_cast<size_t>(r.start + r.length)], "a run ends inside a character", original);
    Check(r.role <= syntax::kComment, "an unknown role", original);
    end = r.start + r.length;
  }
  for (size_t i = 0; i < line.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(original[i]);
    const bool control = c < 0x20 || c == 0x7F;
    Check(buffer[i] == original[i] || (control && buffer[i] == ' '), "a byte other than a control byte changed", original);
  }
  Check(buffer.compare(line.size(), 3, std::string(3, '\0')) == 0, "a byte past the line changed", original);
  Check(next == syntax::kNormal || next == syntax::kBlockComment, "a state other than code or block comment carried on", original);
  if (language != syntax::kJScript && language != syntax::kVBScript)
    Check(runs.empty() && next == syntax::kNormal, "a language of none coloured something", original);
  state = next;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int language = data[0] % 4;  // none, JScript, VBScript, an unknown value
  unsigned state = data[0] & 4 ? syntax::kBlockComment : syntax::kNormal;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t from = 0;
  while (from <= text.size()) {
    size_t lf = text.find('\n', from);
    if (lf == std::string::npos) lf = text.size();
    LexOne(language, text.substr(from, lf - from), state);
    from = lf + 1;
  }
  return 0;
}
