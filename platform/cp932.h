// The byte rules of code page 932 (Shift-JIS as Windows has it), in one place
// for everything that walks CP932 text: the text model and its window, the
// views, the path helpers and the settings codec. No Windows header.
//
// A double-byte character is a lead byte 81-9F or E0-FC followed by a trail
// byte 40-7E or 80-FC. A lead byte without a valid trail byte is a character
// of one byte, as the system's own text calls treat it.
#pragma once

#include <cstddef>

namespace cp932 {

// True when `b` starts a double-byte character.
constexpr bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsLeadByte(char b) { return IsLeadByte(static_cast<unsigned char>(b)); }

// True when `b` may follow a lead byte.
constexpr bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
constexpr bool IsTrailByte(char b) { return IsTrailByte(static_cast<unsigned char>(b)); }

// Length (1 or 2) of the character that starts at text[i] of a text of `n`
// bytes; i < n. A lead byte counts 2 only with a valid trail byte after it.
constexpr std::size_t CharLength(const char* text, std::size_t i, std::size_t n) {
  return IsLeadByte(text[i]) && i + 1 < n && IsTrailByte(text[i + 1]) ? 2 : 1;
}

// Length of the character at text[i] as the path and settings code counts it:
// a lead byte takes the next byte whatever it is, when there is one.
constexpr std::size_t CharLengthLoose(const char* text, std::size_t i, std::size_t n) {
  return IsLeadByte(text[i]) && i + 1 < n ? 2 : 1;
}

}  // namespace cp932
