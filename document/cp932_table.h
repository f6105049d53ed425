// Code page 932 and UTF-16, one code unit at a time, as the system's
// converter has them: the layout of the generated data (cp932_table.inc,
// written by cp932_table_gen.cpp from the system's own conversions) and the one
// rule that turns its reading tables into the writing table. Shared by the
// UTF-8 conversions and the generator. No Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/cp932.h"

namespace cp932_table {

// cp932::IsLeadByte and IsTrailByte as one table (bit 0: lead, bit 1:
// trail), for the loops over text: their two ranges each cost a branch that
// kanji text does not predict, where one look-up does not.
struct ByteRoles {
  std::uint8_t role[256] = {};
};
constexpr ByteRoles MakeByteRoles() {
  ByteRoles r;
  for (unsigned b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    r.role[b] = static_cast<std::uint8_t>((cp932::IsLeadByte(byte) ? 1 : 0) | (cp932::IsTrailByte(byte) ? 2 : 0));
  }
  return r;
}
constexpr ByteRoles kRoles = MakeByteRoles();

// Whether in[0] in[1] is a double-byte character: a lead byte and a valid
// trail byte (cp932::CharLength(...) == 2 where in[1] exists).
inline bool StartsPair(const std::uint8_t* in) { return (kRoles.role[in[0]] & kRoles.role[in[1]] >> 1) & 1; }

// Pairs are kept for the 60 lead bytes 81-9F and E0-FC and the trail bytes
// 40-FC; the system reads every other pair with a lead byte as undefined.
constexpr int kLeads = 60;
constexpr unsigned kTrailFirst = 0x40;
constexpr unsigned kTrails = 0xFC - kTrailFirst + 1;

// What a code unit is written as: a single byte (below 100), or lead << 8 |
// trail. kNoCode marks a unit no cell reads as, while the table is derived.
using Code = std::uint16_t;
constexpr Code kNoCode = 0xFFFF;
// The system's default character, written for a unit code page 932 lacks.
constexpr Code kDefaultChar = '?';

constexpr int LeadIndex(unsigned lead) { return static_cast<int>(lead < 0xE0 ? lead - 0x81 : lead - 0xE0 + 31); }
constexpr unsigned LeadOfIndex(int index) { return index < 31 ? 0x81u + index : 0xE0u + (index - 31); }

inline bool SingleIsDefined(const std::uint32_t singleDefined[8], unsigned byte) {
  return (singleDefined[byte >> 5] >> (byte & 31)) & 1;
}

// The code of each UTF-16 unit by the reading tables alone: the first cell in
// code order (the defined single bytes, then the pairs) that reads as it, or
// the default character. The system's own choices where it differs (another
// cell among duplicates, best-fit look-alikes) are the generated exceptions
// applied on top.
inline void InvertCells(const std::uint16_t singleUnit[256], const std::uint32_t singleDefined[8],
                        const std::uint16_t pairUnit[kLeads][kTrails], Code codeOfUnit[0x10000]) {
  for (std::size_t u = 0; u < 0x10000; ++u) codeOfUnit[u] = kNoCode;
  for (unsigned b = 0; b < 256; ++b) {
    if (SingleIsDefined(singleDefined, b) && codeOfUnit[singleUnit[b]] == kNoCode) codeOfUnit[singleUnit[b]] = static_cast<Code>(b);
  }
  for (int lead = 0; lead < kLeads; ++lead) {
    for (unsigned trail = 0; trail < kTrails; ++trail) {
      const std::uint16_t u = pairUnit[lead][trail];
      if (u != 0 && codeOfUnit[u] == kNoCode) codeOfUnit[u] = static_cast<Code>(LeadOfIndex(lead) << 8 | (kTrailFirst + trail));
    }
  }
  for (std::size_t u = 0; u < 0x10000; ++u) {
    if (codeOfUnit[u] == kNoCode) codeOfUnit[u] = kDefaultChar;
  }
}

// One entry of the generated exceptions.
struct UnitCode {
  std::uint16_t unit;
  Code code;
};

}  // namespace cp932_table
