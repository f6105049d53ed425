// The iterator that the regular-expression search runs over: code page 932
// text read in place from a text's spans, one UTF-16 unit per character (code
// page 932 has none outside the BMP), standing on character starts only, so
// its positions are byte offsets that never split a character. No Windows
// header; no copy of the text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "document/cp932_table.h"
#include "document/encoding.h"
#include "platform/cp932.h"
#include "platform/textctl/text_reader.h"

// Every character's unit by its code (a byte, or lead << 8 | trail), made
// once from the converter's tables so that reading a character is one look-up.
inline const std::vector<std::uint16_t> kCp932Units = [] {
  std::vector<std::uint16_t> units(0x10000);
  for (unsigned code = 0; code < 0x10000; ++code) {
    const bool pair = code >= 0x100 && cp932::IsLeadByte(static_cast<unsigned char>(code >> 8)) &&
                      cp932::IsTrailByte(static_cast<unsigned char>(code & 0xFF));
    if (code < 0x100 || pair) units[code] = Cp932CharToUnit(code);
  }
  return units;
}();

// A bidirectional iterator over CP932 spans that yields one UTF-16 unit per
// character (code page 932 has none outside the BMP) and stands on character
// starts only. The unit under it is decoded once, when it moves there.
class Cp932Iterator {
 public:
  using iterator_category = std::bidirectional_iterator_tag;
  using value_type = wchar_t;
  using difference_type = std::ptrdiff_t;
  using pointer = const wchar_t*;
  using reference = wchar_t;

  Cp932Iterator() = default;
  Cp932Iterator(const rv::textctl::TextSpans* text, int pos) : m_text(text), m_pos(pos) { Decode(); }

  int Pos() const { return m_pos; }
  wchar_t operator*() const { return m_unit; }
  Cp932Iterator& operator++() {
    m_pos += m_length;
    Decode();
    return *this;
  }
  Cp932Iterator operator++(int) {
    Cp932Iterator before = *this;
    ++*this;
    return before;
  }
  // The previous character starts after the last byte before this one that
  // is no lead byte (such a byte always ends a character): walk from there.
  Cp932Iterator& operator--() {
    int p = m_pos - 1;
    while (p > 0 && cp932::IsLeadByte(m_text->At(p - 1))) --p;
    int previous = p;
    while (p < m_pos) {
      previous = p;
      p += LengthAt(p);
    }
    m_pos = previous;
    Decode();
    return *this;
  }
  Cp932Iterator operator--(int) {
    Cp932Iterator before = *this;
    --*this;
    return before;
  }
  bool operator==(const Cp932Iterator& o) const { return m_pos == o.m_pos; }
  bool operator!=(const Cp932Iterator& o) const { return m_pos != o.m_pos; }

 private:
  int LengthAt(int p) const {
    return p + 1 < m_text->Length() && cp932::IsLeadByte(m_text->At(p)) && cp932::IsTrailByte(m_text->At(p + 1)) ? 2
                                                                                                                 : 1;
  }
  void Decode() {
    const rv::textctl::TextSpans* t = m_text;
    if (!t || m_pos >= t->Length()) {
      m_length = 0;
      m_unit = 0;
      return;
    }
    const unsigned char b = t->At(m_pos);
    if (b < 0x80) {
      m_length = 1;
      m_unit = b;
      return;
    }
    const unsigned char next = m_pos + 1 < t->Length() ? t->At(m_pos + 1) : 0;
    m_length = (cp932_table::kRoles.role[b] & cp932_table::kRoles.role[next] >> 1 & 1) ? 2 : 1;
    m_unit = static_cast<wchar_t>(kCp932Units[m_length == 2 ? (b << 8u) | next : b]);
  }

  const rv::textctl::TextSpans* m_text = nullptr;
  int m_pos = 0;
  int m_length = 0;
  wchar_t m_unit = 0;
};
