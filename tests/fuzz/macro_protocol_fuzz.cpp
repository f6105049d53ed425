// fuzz-sources: macros/macro_protocol.cpp
// The editor's reader of the macro helper's messages on arbitrary bytes, fed in
// pieces of arbitrary sizes (the first byte chooses them). Properties: it never
// reads outside what it was given; the messages it returns, framed again, are
// exactly the bytes they came from; once it refuses the stream it stays
// refused; and the same bytes fed whole give the same messages.
#include <cstdint>
#include <string>
#include <vector>

#include "macros/macro_protocol.h"
#include "tests/fuzz/fuzz_check.h"

namespace {
struct Outcome {
  std::string framed;  // every message returned, framed again
  bool malformed = false;
};

Outcome Read(const std::string& input, size_t piece) {
  MacroMessageReader reader;
  Outcome out;
  for (size_t at = 0;; at += piece) {
    if (at < input.size()) reader.Feed(input.data() + at, std::min(piece, input.size() - at));
    MacroMessage m;
    MacroMessageReader::Result r;
    while ((r = reader.Next(m)) == MacroMessageReader::kMessage) AppendMacroMessage(out.framed, m);
    if (r == MacroMessageReader::kMalformed) {
      out.malformed = true;
      Check(reader.Next(m) == MacroMessageReader::kMalformed, "a refused stream was read again", input);
    }
    if (at >= input.size()) break;
  }
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 16;
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  const Outcome pieces = Read(input, piece);
  const Outcome whole = Read(input, input.size() + 1);
  Check(pieces.framed == whole.framed && pieces.malformed == whole.malformed, "pieces and whole differ", input);
  Check(input.compare(0, whole.framed.size(), whole.framed) == 0, "a message is not the bytes it came from", input);
  return 0;
}
