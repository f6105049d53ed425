// fuzz-sources: macros/macro_protocol.cpp macros/macro_inbox.cpp
// The editor's reading of the helper's stream on arbitrary bytes, as its
// reader thread runs it: read in pieces of arbitrary sizes (the first byte
// chooses them) into a bounded inbox that the editor empties between reads.
// Properties: the loop ends, as Closed only after whole messages and otherwise
// as Cut or Malformed (the run is then reported lost); a length larger than
// any body (text printed to the pipe, a huge length) is refused as soon as its
// four bytes are in, without reading on; and what is held never exceeds the
// bytes read, the inbox's limit or one message.
#include <cstdint>
#include <string>

#include "macros/macro_inbox.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 64;
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  MacroInbox inbox(256);
  size_t at = 0, messages = 0;
  auto read = [&](char* into, size_t room) -> size_t {
    // The editor takes what arrived before the reader reads on.
    for (MacroMessage m; inbox.Pop(m);) ++messages;
    const size_t n = std::min({piece, room, input.size() - at});
    input.copy(into, n, at);
    at += n;
    return n;
  };
  const MacroStreamEnd end = ReadMacroStream(read, inbox);
  Check(end == MacroStreamEnd::Closed || end == MacroStreamEnd::Cut || end == MacroStreamEnd::Malformed,
        "the stream ended in an unexpected way", input);
  Check(inbox.Bytes() <= 256 || inbox.Bytes() <= at, "the inbox holds more than it may", input);
  if (input.size() >= 4) {
    const uint32_t first = static_cast<uint8_t>(input[0]) | static_cast<uint8_t>(input[1]) << 8 |
                           static_cast<uint8_t>(input[2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(input[3])) << 24;
    if (first > MacroMessageReader::kMaxBody)
      Check(end == MacroStreamEnd::Malformed && at <= std::max<size_t>(4, piece) + piece,
            "a length past any body was waited for", input);
  }
  if (end == MacroStreamEnd::Closed) Check(at == input.size(), "closed before the stream's end", input);
  return 0;
}
