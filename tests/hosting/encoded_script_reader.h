// A reader of the encoded-script form written from its description in
// encoded_script.h, for the tests and the fuzz driver: it gives back the
// plain text of every block and checks each block's length and checksum.
#pragma once
#include <cstdint>
#include <string>
#include "platform/encoder/encoded_script.h"

namespace encoded_script_reader {
// Six base64 digits and "==" as a 32-bit little-endian number; false when malformed.
inline bool ReadNumber(const std::u16string& s, size_t at, uint32_t& value) {
  static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  if (at + 8 > s.size() || s[at + 6] != u'=' || s[at + 7] != u'=') return false;
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) {
    size_t d = s[at + i] < 128 ? digits.find(static_cast<char>(s[at + i])) : std::string::npos;
    if (d == std::string::npos) return false;
    bits = bits << 6 | d;
  }
  bits >>= 4;  // 36 bits hold the 32 of the four bytes
  value = 0;
  for (int i = 3; i >= 0; --i, bits >>= 8) value |= static_cast<uint32_t>(bits & 0xff) << (8 * i);
  return true;
}

// Decodes every block of `s`; false on a malformed block or a wrong checksum.
inline bool Decode(const std::u16string& s, std::u16string& out) {
  out.clear();
  for (size_t i = 0; i < s.size();) {
    if (s.compare(i, 4, u"#@~^") != 0) {
      out += s[i++];
      continue;
    }
    uint32_t length, checksum, sum = 0;
    if (!ReadNumber(s, i + 4, length) || i + 12 + length > s.size()) return false;
    size_t p = i + 12, end = p + length, position = 0;
    for (; p < end; ++p, ++position) {
      char16_t c = s[p];
      if (c == u'@') {
        const std::u16string from = u"#&!*$", to = u"\r\n<>@";
        size_t k = p + 1 < end ? from.find(s[++p]) : std::u16string::npos;
        if (k == std::u16string::npos) return false;
        c = to[k];
      } else if (c < 128) {
        c = kEncodedScriptTable[c][kEncodedScriptPick[position % 64]];
      }
      sum += c;
      out += c;
    }
    if (!ReadNumber(s, end, checksum) || checksum != sum || s.compare(end + 8, 4, u"^#~@") != 0) return false;
    i = end + 12;
  }
  return true;
}
}  // namespace encoded_script_reader
