// Native (Linux) sanitizer check of the pure encoding code, not part of the
// Wine test run: random and edge inputs through every test and byte converter
// in heap buffers of exactly the documented sizes, so that AddressSanitizer
// reports any read or write outside them. Also checks the length contracts and
// that well-formed Shift-JIS survives the EUC-JP and JIS round trips.
// Build and run with run_fuzz.sh.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "document/encoding.h"

namespace {

std::uint64_t state = 0x9E3779B97F4A7C15ull;
unsigned Next(unsigned bound) {
  state ^= state << 13, state ^= state >> 7, state ^= state << 17;
  return static_cast<unsigned>(state % bound);
}

// Bytes that start or end something in one of the encodings.
const unsigned char kEdges[] = {0x1B, '$', '(', 'B', '@', 'J', 'I', 0x0E, 0x0F, 0x0D, 0x0A, 0x80,
                                0x81, 0x82, 0x8E, 0x8F, 0x9F, 0xA0, 0xA1, 0xDF, 0xE0, 0xEF, 0xF0,
                                0xFC, 0xFD, 0xFE, 0xFF, 0xC2, 0xE3, 0xEF, 0xBB, 0xBF, 0x21, 0x7E};

void Fail(const char* what, const std::string& input) {
  std::fprintf(stderr, "FAIL %s:", what);
  for (unsigned char c : input) std::fprintf(stderr, " %02X", c);
  std::fprintf(stderr, "\n");
  std::exit(1);
}

// A heap copy holding exactly `capacity` bytes, the text and its zero first.
std::unique_ptr<char[]> Exact(const std::string& text, std::size_t capacity) {
  std::unique_ptr<char[]> p(new char[capacity]);
  std::memcpy(p.get(), text.c_str(), text.size() + 1);
  return p;
}

void CheckAny(const std::string& input) {  // may hold zero bytes
  const std::size_t len = std::strlen(input.c_str());
  auto b = Exact(input, input.size() + 1);
  (void)DetectEncoding(b.get());
  (void)IsShiftJisText(b.get());
  if (JisToShiftJis(Exact(input, input.size() + 1).get()) > len) Fail("jis longer", input);
  if (EucToShiftJis(Exact(input, input.size() + 1).get()) > len) Fail("euc longer", input);
  const std::string text = input.c_str();
  if (ShiftJisToEuc(Exact(text, ShiftJisToEucCapacity(len)).get()) >= ShiftJisToEucCapacity(len))
    Fail("euc capacity", input);
  if (ShiftJisToJis(Exact(text, ShiftJisToJisCapacity(len)).get()) >= ShiftJisToJisCapacity(len))
    Fail("jis capacity", input);
}

void CheckRoundTrips(const std::string& sjis) {  // well-formed, no ESC SO SI
  auto euc = Exact(sjis, ShiftJisToEucCapacity(sjis.size()));
  ShiftJisToEuc(euc.get());
  EucToShiftJis(euc.get());
  if (sjis != euc.get()) Fail("euc round trip", sjis);
  auto jis = Exact(sjis, ShiftJisToJisCapacity(sjis.size()));
  ShiftJisToJis(jis.get());
  JisToShiftJis(jis.get());
  if (sjis != jis.get()) Fail("jis round trip", sjis);
}

}  // namespace

int main(int argc, char** argv) {
  const long rounds = argc > 1 ? std::atol(argv[1]) : 1000000;
  for (long r = 0; r < rounds; ++r) {
    std::string any;
    for (unsigned n = Next(40); n > 0; --n)
      any += static_cast<char>(Next(4) ? kEdges[Next(sizeof kEdges)] : Next(8) ? Next(256) : 0);
    CheckAny(any);

    std::string sjis;
    for (unsigned n = Next(20); n > 0; --n) {
      switch (Next(3)) {
        case 0: { char c = static_cast<char>(1 + Next(127)); if (c != 0x1B && c != 0x0E && c != 0x0F) sjis += c; break; }
        case 1: sjis += static_cast<char>(0xA1 + Next(0xDF - 0xA1 + 1)); break;
        default: {
          const unsigned lead = Next(2) ? 0x81 + Next(0x9F - 0x81 + 1) : 0xE0 + Next(0xEF - 0xE0 + 1);
          unsigned trail = 0x40 + Next(0xFC - 0x40 + 1);
          if (trail == 0x7F) trail = 0x80;
          sjis += static_cast<char>(lead);
          sjis += static_cast<char>(trail);
        }
      }
    }
    CheckRoundTrips(sjis);
  }
  std::printf("ok: %ld rounds\n", rounds);
  return 0;
}
