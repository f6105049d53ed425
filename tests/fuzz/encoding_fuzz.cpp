// fuzz-sources: document/encoding.cpp document/encoding_utf8.cpp
// The encoding tests and converters on arbitrary bytes, each in a heap buffer
// of exactly the documented size so that AddressSanitizer sees any access
// outside it, and on well-formed Shift-JIS built from the input over every
// cell of code page 932. Properties: no zero byte comes out of text without
// one, the returned length is that of the zero-terminated result, the
// conversions stay within their sizes, what EUC-JP and JIS can hold comes back
// byte for byte and the rest as the geta mark (counted), UTF-8 output is
// well-formed and reads back to the same characters.
// CP932 bytes are written as escapes (clang has no -fexec-charset).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "document/encoding.h"
#include "platform/cp932.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// A heap buffer of exactly `capacity` bytes that starts with `text` and its zero.
std::unique_ptr<char[]> Exact(const std::string& text, std::size_t capacity) {
  std::unique_ptr<char[]> p(new char[capacity]);
  std::memcpy(p.get(), text.c_str(), text.size() + 1);
  return p;
}

// Runs an in-place converter over `text` (zero-free) in `capacity` bytes and
// checks the length contract; answers the result.
template <class Fn>
std::string Run(const char* name, const std::string& text, std::size_t capacity, Fn fn) {
  auto buffer = Exact(text, capacity);
  const std::size_t length = fn(buffer.get());
  Check(length < capacity, name, text);
  Check(std::strlen(buffer.get()) == length, name, text);  // no zero inside, terminated at length
  return std::string(buffer.get(), length);
}

// Shift-JIS as the save converters read it back through EUC-JP or JIS: every
// character JIS X 0208's layout holds unchanged, every other one the geta mark.
std::string AsSavedAndReadBack(const std::string& sjis, std::size_t* replaced) {
  std::string back;
  *replaced = 0;
  for (std::size_t i = 0; i < sjis.size();) {
    const unsigned char c = static_cast<unsigned char>(sjis[i]);
    const std::size_t n = cp932::CharLength(sjis.data(), i, sjis.size());
    const bool held = c < 0x80 || (c >= 0xA1 && c <= 0xDF) || (n == 2 && c <= 0xEF);
    back += held ? sjis.substr(i, n) : "\x81\xAC";
    *replaced += !held;
    i += n;
  }
  return back;
}

bool IsWellFormedUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    if (n == 3) {  // no overlong form, no surrogate
      const unsigned char second = static_cast<unsigned char>(s[i + 1]);
      if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second >= 0xA0)) return false;
    }
    i += n;
  }
  return true;
}

// Any bytes: the tests and every converter.
void FuzzBytes(const std::string& input) {
  const std::string text = input.c_str();  // what the zero-terminated functions see
  (void)DetectEncoding(Exact(input, input.size() + 1).get());
  Check(Run("JisToShiftJis", text, text.size() + 1, JisToShiftJis).size() <= text.size(), "JIS longer", input);
  Check(Run("EucToShiftJis", text, text.size() + 1, EucToShiftJis).size() <= text.size(), "EUC longer", input);
  std::size_t eucLost = 0, jisLost = 0, replaced = 0;
  const std::string euc = Run("ShiftJisToEuc", text, ShiftJisToEucCapacity(text.size()),
                              [&](char* b) { return ShiftJisToEuc(b, &eucLost); });
  const std::string jis = Run("ShiftJisToJis", text, ShiftJisToJisCapacity(text.size()),
                              [&](char* b) { return ShiftJisToJis(b, &jisLost); });
  const std::string expected = AsSavedAndReadBack(text, &replaced);
  Check(eucLost == replaced && jisLost == replaced, "count of what EUC-JP and JIS cannot hold", input);
  Check(Run("EUC back", euc, euc.size() + 1, EucToShiftJis) == expected, "EUC-JP round trip", input);
  if (text.find_first_of("\x1B\x0E\x0F") == std::string::npos)  // those would read as JIS modes
    Check(Run("JIS back", jis, jis.size() + 1, JisToShiftJis) == expected, "JIS round trip", input);

  // UTF-8 takes every byte, zeros included.
  const bool zeroFree = text.size() == input.size();
  auto utf8Buffer = Exact(input, input.size() + 1);
  std::memcpy(utf8Buffer.get(), input.data(), input.size());
  std::size_t lost = 0;
  const std::size_t sjisLength = Utf8ToShiftJis(utf8Buffer.get(), input.size(), &lost);
  Check(sjisLength <= input.size(), "UTF-8 result longer", input);
  Check(utf8Buffer[sjisLength] == '\0', "UTF-8 result not terminated", input);
  Check(!zeroFree || std::strlen(utf8Buffer.get()) == sjisLength, "UTF-8 result holds a zero", input);

  std::size_t undefined = 0;
  const std::string utf8 = ShiftJisToUtf8(input, &undefined);
  Check(IsWellFormedUtf8(utf8), "ill-formed UTF-8", input);
  Check(!zeroFree || std::strlen(utf8.c_str()) == utf8.size(), "UTF-8 holds a zero", input);
  if (undefined == 0 && utf8.compare(0, 3, "\xEF\xBB\xBF") != 0) {
    // The characters survive the way back (duplicate cells may change to
    // the one the system prefers, so the UTF-8 is compared).
    std::string back = utf8;
    std::size_t backLost = 0;
    back.resize(Utf8ToShiftJis(&back[0], utf8.size(), &backLost));
    Check(backLost == 0 && ShiftJisToUtf8(back) == utf8, "UTF-8 round trip", input);
  }
}

// Well-formed Shift-JIS from the input: each byte below 80 that is not a
// mode byte of JIS stays, other bytes pick a half-width katakana or, with
// the next byte, any double-byte cell (lead 81-9F or E0-FC, trail 40-7E or
// 80-FC).
std::string MakeShiftJis(const std::string& input) {
  static const std::string kLeads = [] {
    std::string leads;
    for (int b = 0x81; b <= 0xFC; ++b) {
      if (cp932::IsLeadByte(static_cast<unsigned char>(b))) leads += static_cast<char>(b);
    }
    return leads;
  }();
  std::string sjis;
  for (std::size_t i = 0; i < input.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(input[i]);
    if (b < 0x80) {
      if (b != 0 && b != 0x1B && b != 0x0E && b != 0x0F) sjis += static_cast<char>(b);
    } else if (b < 0x90 || i + 1 == input.size()) {
      sjis += static_cast<char>(0xA1 + b % 63);
    } else {
      const unsigned trail = 0x40 + static_cast<unsigned char>(input[++i]) % 188;
      sjis += kLeads[(b - 0x90) % kLeads.size()];
      sjis += static_cast<char>(trail >= 0x7F ? trail + 1 : trail);
    }
  }
  return sjis;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  FuzzBytes(input);
  FuzzBytes(MakeShiftJis(input));
  return 0;
}
