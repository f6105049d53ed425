// UTF-8 <-> Shift-JIS in one pass, through code page 932 tables made from the
// system's converter (cp932_table.inc): the bytes the system's conversions
// through UTF-16 give, and the count of the characters code page 932 cannot
// carry. No Windows header, so this file also builds natively.
#include <cstdint>
#include <cstring>
#include <string>

#include "document/cp932_table.h"
#include "document/encoding.h"
#include "platform/cp932.h"

namespace {

using namespace cp932_table;
using Byte = std::uint8_t;

#include "document/cp932_table.inc"

// The unit the system reads the code `code` as (a single byte or a pair).
std::uint16_t ReadCode(Code code) {
  if (code < 0x100) return kSingleUnit[code];
  const std::uint16_t unit = kPairUnit[LeadIndex(code >> 8)][(code & 0xFF) - kTrailFirst];
  return unit != 0 ? unit : kSingleUnit[code >> 8];
}

// How each UTF-16 unit is written, and whether it survives: it has a code, and
// that code reads back as the same unit (not the default character, not a
// best-fit look-alike).
struct WriteTable {
  Code code[0x10000];
  std::uint32_t lostBits[0x10000 / 32];

  bool Lost(unsigned unit) const { return (lostBits[unit >> 5] >> (unit & 31)) & 1; }
};

const WriteTable& Writing() {
  static const WriteTable* const table = [] {
    WriteTable* t = new WriteTable();
    InvertCells(kSingleUnit, kSingleDefined, kPairUnit, t->code);
    for (const UnitCode& e : kWriteExceptions) t->code[e.unit] = e.code;
    for (unsigned u = 0; u < 0x10000; ++u) {
      if (ReadCode(t->code[u]) != u) t->lostBits[u >> 5] |= 1u << (u & 31);
    }
    return t;
  }();
  return *table;
}

// ---- Reading UTF-8 as the system's converter does ----------------------------

constexpr std::uint32_t kMalformed = 0xFFFFFFFF;  // read as U+FFFD

inline bool IsContinuation(Byte b) { return (b & 0xC0) == 0x80; }

// Continuation bytes announced by a byte from 80 up: C2-DF one, E0-EF two,
// F0-F4 three; none for a byte that starts no sequence (80-C1, F5-FF).
inline unsigned ContinuationCount(Byte lead) {
  return lead < 0xC2 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : 0;
}

// Reads the sequence at `in` (in < end, *in from 80 up): sets `*codePoint` to
// its code point or kMalformed and returns how many bytes it takes. A lead
// byte too near the end for all its bytes takes the rest of the text. A byte
// that is no continuation byte ends a malformed sequence before it. The second
// byte of an overlong form (E0 80-9F, F0 80-8F) or of a surrogate (ED A0-BF)
// ends one after it; a third byte that would go beyond 10FFFF (F4 90-BF ...)
// ends one before it.
inline std::size_t ReadUtf8(const Byte* in, const Byte* end, std::uint32_t* codePoint) {
  const unsigned count = ContinuationCount(in[0]);
  *codePoint = kMalformed;
  if (count == 0) return 1;
  if (static_cast<std::size_t>(end - in) <= count) return static_cast<std::size_t>(end - in);
  std::uint32_t value = in[0] & (0x7Fu >> (count + 1));
  for (unsigned k = 1; k <= count; ++k) {
    if (!IsContinuation(in[k])) return k;
    value = value << 6 | (in[k] & 0x3Fu);
    if (k == 1 && count == 2 && (value < 0x20 || (value >= 0x360 && value <= 0x37F))) return 2;
    if (k == 1 && count == 3 && value < 0x10) return 2;
    if (k == 2 && count == 3 && value >= 0x4400) return 2;
  }
  *codePoint = value;
  return count + 1;
}

inline Byte* PutUtf8(Byte* out, unsigned unit) {
  if (unit < 0x80) {
    *out = static_cast<Byte>(unit);
    return out + 1;
  }
  if (unit < 0x800) {
    out[0] = static_cast<Byte>(0xC0 | unit >> 6);
    out[1] = static_cast<Byte>(0x80 | (unit & 0x3F));
    return out + 2;
  }
  out[0] = static_cast<Byte>(0xE0 | unit >> 12);
  out[1] = static_cast<Byte>(0x80 | (unit >> 6 & 0x3F));
  out[2] = static_cast<Byte>(0x80 | (unit & 0x3F));
  return out + 3;
}

}  // namespace

std::size_t Utf8ToShiftJis(char* buffer, std::size_t byteCount, std::size_t* unmappable) {
  // invariant: out <= in; no sequence gives more bytes than it takes.
  const Byte* in = reinterpret_cast<const Byte*>(buffer);
  const Byte* const end = in + byteCount;
  if (byteCount >= 3 && std::memcmp(in, "\xEF\xBB\xBF", 3) == 0) in += 3;
  Byte* out = reinterpret_cast<Byte*>(buffer);
  const WriteTable& writing = Writing();
  std::size_t lost = 0;
  while (in < end) {
    if (*in < 0x80) {
      *out++ = *in++;
      continue;
    }
    std::uint32_t codePoint;
    in += ReadUtf8(in, end, &codePoint);
    if (codePoint <= 0xFFFF) {
      const Code code = writing.code[codePoint];
      if (code >= 0x100) *out++ = static_cast<Byte>(code >> 8);
      *out++ = static_cast<Byte>(code);
      lost += writing.Lost(codePoint);
    } else {
      // U+FFFD for malformed input, or the two surrogates of a character
      // beyond the BMP: the system writes its default character for each.
      *out++ = kDefaultChar;
      if (codePoint != kMalformed) *out++ = kDefaultChar;
      ++lost;
    }
  }
  *out = 0;
  if (unmappable) *unmappable = lost;
  return static_cast<std::size_t>(out - reinterpret_cast<Byte*>(buffer));
}

std::string ShiftJisToUtf8(std::string_view text, std::size_t* unmappable) {
  std::string result;
  result.reserve(text.size() + text.size() / 2);
  const std::size_t n = text.size();
  std::size_t lost = 0;
  Byte chunk[4096 + 3];
  std::size_t i = 0;
  while (i < n) {
    Byte* out = chunk;
    while (i < n && out < chunk + 4096) {
      const Byte c = static_cast<Byte>(text[i]);
      if (c < 0x80) {
        *out++ = c;
        ++i;
        continue;
      }
      std::uint16_t unit;
      if (cp932::CharLength(text.data(), i, n) == 2) {
        unit = kPairUnit[LeadIndex(c)][static_cast<Byte>(text[i + 1]) - kTrailFirst];
        if (unit == 0) {
          unit = kSingleUnit[c];  // the system's stand-in for an undefined pair
          ++lost;
        }
        i += 2;
      } else {
        unit = kSingleUnit[c];
        lost += !SingleIsDefined(kSingleDefined, c);
        ++i;
      }
      out = PutUtf8(out, unit);
    }
    result.append(reinterpret_cast<const char*>(chunk), static_cast<std::size_t>(out - chunk));
  }
  if (unmappable) *unmappable = lost;
  return result;
}
