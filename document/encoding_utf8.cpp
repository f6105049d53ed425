// UTF-8 <-> Shift-JIS in one pass, through code page 932 tables made from the
// system's converter (cp932_table.inc): the bytes the system's conversions
// through UTF-16 give, and the count of the characters code page 932 cannot
// carry. No Windows header, so this file also builds natively.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "document/cp932_table.h"
#include "document/encoding.h"

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

}  // namespace

std::uint16_t Cp932CharToUnit(unsigned code) { return ReadCode(static_cast<Code>(code)); }

namespace {

// The six cells that the JIS tables give other code points than code page
// 932 does (encoding.h); bit i of Utf8Forms::jisCells is kJisForms[i].
struct JisForm {
  Code cell;
  std::uint16_t jisUnit;
};
constexpr JisForm kJisForms[] = {{0x8160, 0x301C}, {0x8161, 0x2016}, {0x817C, 0x2212},
                                 {0x8191, 0x00A2}, {0x8192, 0x00A3}, {0x81CA, 0x00AC}};
constexpr int kJisFormCount = sizeof kJisForms / sizeof kJisForms[0];

// How each UTF-16 unit is written, and whether it survives: it has a code, and
// that code reads back as the same unit (not the default character, not a
// best-fit look-alike), or it is the JIS form of its cell. Either form of the
// six cells is marked, so that loading can note which one a file uses.
struct WriteTable {
  Code code[0x10000];
  std::uint32_t lostBits[0x10000 / 32];
  std::uint32_t formBits[0x10000 / 32];

  bool Lost(unsigned unit) const { return (lostBits[unit >> 5] >> (unit & 31)) & 1; }
  bool Form(unsigned unit) const { return (formBits[unit >> 5] >> (unit & 31)) & 1; }
};

// The tables are static objects (a fixed address costs the loops no
// register), filled on first use; C++ makes the filling thread-safe.
WriteTable writeTable;

bool FillWriteTable(WriteTable& t) {
  InvertCells(kSingleUnit, kSingleDefined, kPairUnit, t.code);
  for (const UnitCode& e : kWriteExceptions) t.code[e.unit] = e.code;
  for (const JisForm& f : kJisForms) t.code[f.jisUnit] = f.cell;
  for (unsigned u = 0; u < 0x10000; ++u) {
    if (ReadCode(t.code[u]) != u) t.lostBits[u >> 5] |= 1u << (u & 31);
  }
  for (const JisForm& f : kJisForms) {
    for (const unsigned u : {static_cast<unsigned>(f.jisUnit), static_cast<unsigned>(ReadCode(f.cell))}) {
      t.formBits[u >> 5] |= 1u << (u & 31);
      t.lostBits[u >> 5] &= ~(1u << (u & 31));
    }
  }
  return true;
}

// Counts, per cell of the JIS forms, the characters read in each form, and
// chooses the form each cell is written back in.
class FormTally {
 public:
  void Add(std::uint32_t codePoint, Code cell) {
    for (int i = 0; i < kJisFormCount; ++i) {
      if (kJisForms[i].cell == cell) ++m_count[i][codePoint == kJisForms[i].jisUnit];
    }
  }
  Utf8FormsRead Result() const {
    Utf8FormsRead read;
    for (int i = 0; i < kJisFormCount; ++i) {
      const bool jis = m_count[i][1] > m_count[i][0];
      if (jis) read.forms.jisCells |= static_cast<std::uint8_t>(1u << i);
      read.otherForm += m_count[i][!jis];
    }
    return read;
  }

 private:
  std::size_t m_count[kJisFormCount][2] = {};  // [cell][JIS form]
};

const WriteTable& Writing() {
  static const bool filled = FillWriteTable(writeTable);
  (void)filled;
  return writeTable;
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

// ---- Reading code page 932 --------------------------------------------------------

// The UTF-8 bytes of each cell, ready to copy: up to three bytes, then the
// count of them in bits 0-1 of the fourth and, in bit 2, whether code page
// 932 leaves the cell undefined (it then reads as the system's stand-in).
struct ReadTable {
  Byte pair[kLeads][kTrails][4];
  Byte single[256][4];
};

void PutUtf8(unsigned unit, bool undefined, Byte out[4]) {
  if (unit < 0x80) {
    out[0] = static_cast<Byte>(unit);
    out[3] = 1;
  } else if (unit < 0x800) {
    out[0] = static_cast<Byte>(0xC0 | unit >> 6);
    out[1] = static_cast<Byte>(0x80 | (unit & 0x3F));
    out[3] = 2;
  } else {
    out[0] = static_cast<Byte>(0xE0 | unit >> 12);
    out[1] = static_cast<Byte>(0x80 | (unit >> 6 & 0x3F));
    out[2] = static_cast<Byte>(0x80 | (unit & 0x3F));
    out[3] = 3;
  }
  if (undefined) out[3] |= 4;
}

ReadTable readTable;

bool FillReadTable(ReadTable& t) {
  for (unsigned b = 0; b < 256; ++b) PutUtf8(kSingleUnit[b], !SingleIsDefined(kSingleDefined, b), t.single[b]);
  for (int lead = 0; lead < kLeads; ++lead) {
    for (unsigned trail = 0; trail < kTrails; ++trail) {
      const std::uint16_t unit = kPairUnit[lead][trail];
      PutUtf8(unit != 0 ? unit : kSingleUnit[LeadOfIndex(lead)], unit == 0, t.pair[lead][trail]);
    }
  }
  return true;
}

const ReadTable& Reading() {
  static const bool filled = FillReadTable(readTable);
  (void)filled;
  return readTable;
}

}  // namespace

std::size_t Utf8ToShiftJis(char* buffer, std::size_t byteCount, std::size_t* unmappable, Utf8FormsRead* forms) {
  // invariant: out <= in; no sequence gives more bytes than it takes.
  const Byte* in = reinterpret_cast<const Byte*>(buffer);
  const Byte* const end = in + byteCount;
  if (byteCount >= 3 && std::memcmp(in, "\xEF\xBB\xBF", 3) == 0) in += 3;
  Byte* out = reinterpret_cast<Byte*>(buffer);
  const WriteTable& writing = Writing();
  std::size_t lost = 0;
  FormTally tally;
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
      if (writing.Form(codePoint)) tally.Add(codePoint, code);
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
  if (forms) *forms = tally.Result();
  return static_cast<std::size_t>(out - reinterpret_cast<Byte*>(buffer));
}

std::string ShiftJisToUtf8(std::string_view text, std::size_t* unmappable, Utf8Forms forms) {
  // Cells written in their JIS form read from a copy of the table.
  std::unique_ptr<ReadTable> withForms;
  if (forms.jisCells != 0) {
    withForms.reset(new ReadTable(Reading()));
    for (int i = 0; i < kJisFormCount; ++i) {
      const JisForm& f = kJisForms[i];
      if ((forms.jisCells >> i) & 1) PutUtf8(f.jisUnit, false, withForms->pair[LeadIndex(f.cell >> 8)][(f.cell & 0xFF) - kTrailFirst]);
    }
  }
  const ReadTable& reading = withForms ? *withForms : Reading();
  const Byte* in = reinterpret_cast<const Byte*>(text.data());
  const Byte* const end = in + text.size();
  std::string result;
  result.reserve(text.size() + text.size() / 2);
  std::size_t lost = 0;
  // A chunk at a time: up to kChunk input bytes (a pair may end one byte
  // later) give at most three bytes each, and a cell's four table bytes are
  // copied whole, hence the slack. The loop stops before the last byte, so
  // that in[1] can always be read; that byte is taken on its own below.
  constexpr std::size_t kChunk = 2048;
  Byte chunk[3 * (kChunk + 1) + 1];
  const Byte* const last = end - (in != end);
  while (in < last) {
    Byte* out = chunk;
    const Byte* const stop = last - in > static_cast<std::ptrdiff_t>(kChunk) ? in + kChunk : last;
    while (in < stop) {
      const Byte c = *in;
      if (c < 0x80) {
        *out++ = c;
        ++in;
        continue;
      }
      const Byte* cell;
      if (StartsPair(in)) {
        cell = reading.pair[LeadIndex(c)][in[1] - kTrailFirst];
        in += 2;
      } else {  // a single byte, or a lead byte alone
        cell = reading.single[c];
        ++in;
      }
      std::memcpy(out, cell, 4);
      if (cell[3] == 3) {  // a defined character from U+0800 up: the next store need not wait for the count
        out += 3;
      } else {
        out += cell[3] & 3;
        lost += cell[3] >> 2;
      }
    }
    result.append(reinterpret_cast<const char*>(chunk), static_cast<std::size_t>(out - chunk));
  }
  if (in < end) {  // the last byte, alone
    const Byte* cell = reading.single[*in];
    result.append(reinterpret_cast<const char*>(cell), cell[3] & 3);
    lost += cell[3] >> 2;
  }
  if (unmappable) *unmappable = lost;
  return result;
}
