// The encoding tests, DetectEncoding and the four byte converters between
// Shift-JIS and EUC-JP / JIS. No Windows header, so this file also builds
// natively for sanitizer runs.
//
// EUC-JP and JIS share one arithmetic: an EUC-JP pair is the JIS pair with the
// top bit set in both bytes. The arithmetic is on 8-bit values, modulo 256;
// what it gives for bytes outside the standard rows is checked before it is
// written (see encoding.h for what takes its place).
#include "document/encoding.h"

#include <cstdint>
#include <cstring>

#include "document/cp932_table.h"
#include "platform/cp932.h"

namespace {

using Byte = std::uint8_t;

constexpr Byte kEsc = 0x1B;
constexpr Byte kShiftOut = 0x0E;  // SO: half-width katakana
constexpr Byte kShiftIn = 0x0F;   // SI: back to ASCII

inline bool InRange(unsigned b, unsigned lo, unsigned hi) { return b - lo <= hi - lo; }

inline Byte* Bytes(char* p) { return reinterpret_cast<Byte*>(p); }
inline const Byte* Bytes(const char* p) { return reinterpret_cast<const Byte*>(p); }

enum class JisMode { Ascii, Katakana, TwoByte };

// Writes the escape that enters `mode`; three bytes.
inline Byte* WriteEscape(Byte* out, JisMode mode) {
  out[0] = kEsc;
  switch (mode) {
    case JisMode::Ascii: out[1] = '('; out[2] = 'B'; break;
    case JisMode::Katakana: out[1] = '('; out[2] = 'I'; break;
    case JisMode::TwoByte: out[1] = '$'; out[2] = 'B'; break;
  }
  return out + 3;
}

}  // namespace

TextEncoding EncodingFromDetection(DetectionCode code) {
  switch (code) {
    case DetectionCode::EucJp: return TextEncoding::EucJp;
    case DetectionCode::Jis: return TextEncoding::Jis;
    case DetectionCode::Utf8: return TextEncoding::Utf8;
    default: return TextEncoding::ShiftJis;
  }
}

// ---- Tests ------------------------------------------------------------------
// Each walk reads a following byte only after checking the current one, and a
// zero never satisfies a following-byte range, so no test reads past the end.

bool IsAsciiText(const char* text) {
  for (const Byte* p = Bytes(text); *p; ++p) {
    const Byte c = *p;
    if (c >= 0x80 || (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D)) return false;
  }
  return true;
}

bool HasJisEscape(const char* text) {
  for (const char* p = std::strchr(text, kEsc); p; p = std::strchr(p + 1, kEsc)) {
    if (p[1] == '$' || p[1] == '(') return true;
  }
  return false;
}

bool IsEucText(const char* text) {
  const Byte* p = Bytes(text);
  while (const Byte c = *p) {
    if (c < 0x80) {
      ++p;
    } else if (InRange(c, 0xA1, 0xFE)) {
      if (!InRange(p[1], 0xA1, 0xFE)) return false;
      p += 2;
    } else if (c == 0x8E) {
      if (!InRange(p[1], 0x21, 0x5F) && !InRange(p[1], 0xA1, 0xDF)) return false;
      p += 2;
    } else {
      return false;  // 80-8D, 8F-A0, FF
    }
  }
  return true;
}

bool IsUtf8Text(const char* text) {
  const Byte* p = Bytes(text);
  while (const Byte c = *p) {
    if (c < 0x80) {
      ++p;
    } else if (InRange(c, 0xC2, 0xDF)) {
      if (!InRange(p[1], 0x80, 0xBF)) return false;
      p += 2;
    } else if (InRange(c, 0xE0, 0xEF)) {
      if (!InRange(p[1], 0x80, 0xBF) || !InRange(p[2], 0x80, 0xBF)) return false;
      p += 3;
    } else {
      return false;
    }
  }
  return true;
}

bool IsShiftJisText(const char* text) {
  const Byte* p = Bytes(text);
  while (const Byte c = *p) {
    if (InRange(c, 0x81, 0x9F) || InRange(c, 0xE0, 0xEA) || InRange(c, 0xED, 0xEE) ||
        InRange(c, 0xFA, 0xFC)) {
      const Byte t = p[1];
      if (!InRange(t, 0x40, 0xFC) || t == 0x7F) return false;
      p += 2;
    } else if (c == 0xA0 || c >= 0xFD) {
      return false;
    } else {
      ++p;  // below 80, 80, A1-DF, EB, EC, EF-F9
    }
  }
  return true;
}

DetectionCode DetectEncoding(const char* text) {
  if (IsAsciiText(text)) return DetectionCode::Ascii;
  if (HasJisEscape(text)) return DetectionCode::Jis;
  if (IsEucText(text)) return DetectionCode::EucJp;
  if (IsUtf8Text(text)) return DetectionCode::Utf8;
  if (IsShiftJisText(text)) return DetectionCode::ShiftJis;
  return DetectionCode::Undetermined;
}

// ---- Converters ---------------------------------------------------------------

namespace {

constexpr Byte kEucTop = 0x80;  // EUC-JP byte = JIS byte + 80
// GETA MARK, written for what a conversion cannot carry over.
constexpr Byte kSjisGeta[2] = {0x81, 0xAC};
constexpr Byte kJisGeta[2] = {0x22, 0x2E};

inline bool IsJisByte(Byte b) { return InRange(b, 0x21, 0x7E); }

// The JIS X 0208 arithmetic between JIS pairs j1 j2 and Shift-JIS pairs
// s1 s2 (row 1 gives lead byte 81, row 63 gives E0), for any byte values, as
// tables: the formulas branch on the parity of the row and the half of the
// trail byte, which text does not predict. Each output byte depends on one or
// two inputs only:
//   s1 = sjisLead[j1], s2 = sjisTrail[j1 & 1][j2];
//   j1 = jisRow[s1] + rowStep[s2], j2 = jisCell[s2].
struct PairTables {
  Byte sjisLead[256] = {};
  Byte sjisTrail[2][256] = {};
  Byte jisRow[256] = {};
  Byte rowStep[256] = {};
  Byte jisCell[256] = {};
};

constexpr PairTables MakePairTables() {
  PairTables t;
  for (unsigned b = 0; b < 256; ++b) {
    const unsigned h = b >> 1;
    t.sjisLead[b] = static_cast<Byte>(b & 1 ? (h < 0x2F ? h + 0x71 : h - 0x4F) : (h <= 0x2F ? h + 0x70 : h - 0x50));
    t.sjisTrail[0][b] = static_cast<Byte>(b + 0x7E);
    t.sjisTrail[1][b] = static_cast<Byte>(b > 0x5F ? b + 0x20 : b + 0x1F);
    const unsigned d = (b * 2) & 0xFF;
    t.jisRow[b] = static_cast<Byte>(d < 0x3F ? d + 0x1F : d - 0x61);  // trail byte below 9F; one more from 9F
    t.rowStep[b] = b >= 0x9F;
    t.jisCell[b] = static_cast<Byte>(b < 0x9F ? (b > 0x7E ? b - 0x20 : b - 0x1F) : b - 0x7E);
  }
  return t;
}

constexpr PairTables kPair = MakePairTables();

inline void JisPairToSjis(Byte j1, Byte j2, Byte out[2]) {
  out[0] = kPair.sjisLead[j1];
  out[1] = kPair.sjisTrail[j1 & 1][j2];
}

inline void SjisPairToJis(Byte s1, Byte s2, Byte out[2]) {
  out[0] = static_cast<Byte>(kPair.jisRow[s1] + kPair.rowStep[s2]);
  out[1] = kPair.jisCell[s2];
}

// Writes the Shift-JIS character of the pair j1 j2 (JIS, or EUC-JP less its
// top bits) at `out`: the arithmetic's bytes when they form a Shift-JIS
// double-byte character, otherwise the geta mark. Two bytes either way.
inline Byte* WriteSjisOfPair(Byte* out, Byte j1, Byte j2) {
  JisPairToSjis(j1, j2, out);
  const bool jisPair = IsJisByte(j1) && IsJisByte(j2);  // always gives a character
  if (!jisPair && (!cp932::IsLeadByte(out[0]) || !cp932::IsTrailByte(out[1]))) {
    out[0] = kSjisGeta[0];
    out[1] = kSjisGeta[1];
  }
  return out + 2;
}

// Moves the zero-terminated text at the start of `buffer` (`capacity` bytes)
// to the end of the buffer and answers where it begins there. The save
// converters then read it from there and write their result from the start:
// with the documented capacities the writing never reaches a byte not yet
// read, and nothing is allocated.
inline const Byte* MoveToEnd(char* buffer, std::size_t capacity) {
  const std::size_t size = std::strlen(buffer) + 1;
  Byte* text = Bytes(buffer) + capacity - size;
  std::memmove(text, buffer, size);
  return text;
}

// Reads the code page 932 character at `in` (a byte from 80 up other than
// half-width katakana) and answers the byte after it. `jis` gets its JIS
// pair when JIS X 0208's 94 x 94 layout holds it (lead bytes 81-9F and E0-EF
// with a trail byte), otherwise the geta mark, counted in `lost`. A lead byte
// counts as a pair only with a valid trail byte after it (a zero ends the
// text, so in[1] is there to read). The tests branch rather than compute the
// length: in a run of kanji the branch is predicted and the next read does
// not wait for this one.
inline const Byte* ReadJisPair(const Byte* in, Byte jis[2], std::size_t* lost) {
  std::size_t length = 1;
  if (cp932_table::StartsPair(in)) {
    SjisPairToJis(in[0], in[1], jis);
    if (IsJisByte(jis[0]) && IsJisByte(jis[1])) return in + 2;
    length = 2;
  }
  jis[0] = kJisGeta[0];
  jis[1] = kJisGeta[1];
  ++*lost;
  return in + length;
}

inline std::size_t Finish(char* buffer, Byte* out, std::size_t lost, std::size_t* unmappable) {
  *out = 0;
  if (unmappable) *unmappable = lost;
  return static_cast<std::size_t>(out - Bytes(buffer));
}


// The length of the escape or shift at `in` that changes the mode (3 or 1),
// setting `mode`; 0 when none starts there. in[1] is read only when in[0] is
// ESC, in[2] only when in[1] matched, so nothing past the end is read.
inline std::size_t ReadModeChange(const Byte* in, JisMode* mode) {
  switch (in[0]) {
    case kEsc:
      if (in[1] == '$' && (in[2] == 'B' || in[2] == '@')) {
        *mode = JisMode::TwoByte;
        return 3;
      }
      if (in[1] == '(' && (in[2] == 'B' || in[2] == 'J')) {
        *mode = JisMode::Ascii;
        return 3;
      }
      if (in[1] == '(' && in[2] == 'I') {
        *mode = JisMode::Katakana;
        return 3;
      }
      return 0;
    case kShiftIn: *mode = JisMode::Ascii; return 1;
    case kShiftOut: *mode = JisMode::Katakana; return 1;
    default: return 0;
  }
}

// Whether `c` ends a run of one mode: the end of the text, or a byte that
// may start a mode change.
inline bool EndsRun(Byte c) { return c == 0 || c == kEsc || c == kShiftIn || c == kShiftOut; }

}  // namespace

std::size_t JisToShiftJis(char* buffer) {
  // invariant: out <= in, so a pair is always read before it is overwritten.
  const Byte* in = Bytes(buffer);
  Byte* out = Bytes(buffer);
  JisMode mode = JisMode::Ascii;
  while (*in) {
    if (const std::size_t n = ReadModeChange(in, &mode)) {
      in += n;
      continue;
    }
    // A run of the current mode; its first byte may be an ESC that starts
    // nothing, an ordinary byte of the mode.
    switch (mode) {
      case JisMode::Ascii:
        do *out++ = *in++;
        while (!EndsRun(*in));
        break;
      case JisMode::Katakana:
        do {
          const Byte c = *in++;
          *out++ = c < 0x80 ? static_cast<Byte>(c + 0x80) : c;  // 8-bit bytes are no 7-bit katakana
        } while (!EndsRun(*in));
        break;
      case JisMode::TwoByte:
        do {
          if (in[1] == 0) {  // truncated: the first byte alone, and the text ends
            *out++ = *in++;
            break;
          }
          out = WriteSjisOfPair(out, in[0], in[1]);
          in += 2;
        } while (!EndsRun(*in));
        break;
    }
  }
  *out = 0;
  return static_cast<std::size_t>(out - Bytes(buffer));
}

std::size_t EucToShiftJis(char* buffer) {
  // invariant: out <= in; every pair becomes at most two bytes.
  const Byte* in = Bytes(buffer);
  Byte* out = Bytes(buffer);
  while (const Byte c = *in) {
    if (c < 0x80) {
      *out++ = c;
      ++in;
      continue;
    }
    const Byte e2 = in[1];
    if (e2 == 0) {  // truncated
      *out++ = c;
      break;
    }
    in += 2;
    if (c == 0x8E) {
      *out++ = static_cast<Byte>(InRange(e2, 0x21, 0x5F) ? e2 + 0x80 : e2);
    } else {
      out = WriteSjisOfPair(out, static_cast<Byte>(c - kEucTop), static_cast<Byte>(e2 - kEucTop));
    }
  }
  *out = 0;
  return static_cast<std::size_t>(out - Bytes(buffer));
}

std::size_t ShiftJisToEuc(char* buffer, std::size_t* unmappable) {
  const Byte* in = MoveToEnd(buffer, ShiftJisToEucCapacity(std::strlen(buffer)));
  Byte* out = Bytes(buffer);
  std::size_t lost = 0;
  while (const Byte c = *in) {
    if (c < 0x80) {
      *out++ = c;
      ++in;
    } else if (InRange(c, 0xA1, 0xDF)) {
      out[0] = 0x8E;
      out[1] = c;
      out += 2;
      ++in;
    } else {
      Byte jis[2];
      in = ReadJisPair(in, jis, &lost);
      out[0] = static_cast<Byte>(jis[0] + kEucTop);
      out[1] = static_cast<Byte>(jis[1] + kEucTop);
      out += 2;
    }
  }
  return Finish(buffer, out, lost, unmappable);
}

std::size_t ShiftJisToJis(char* buffer, std::size_t* unmappable) {
  const Byte* in = MoveToEnd(buffer, ShiftJisToJisCapacity(std::strlen(buffer)));
  Byte* out = Bytes(buffer);
  std::size_t lost = 0;
  JisMode mode = JisMode::Ascii;
  while (const Byte c = *in) {
    if (c < 0x80) {
      if (mode != JisMode::Ascii) out = WriteEscape(out, mode = JisMode::Ascii);
      *out++ = c;
      ++in;
    } else if (InRange(c, 0xA1, 0xDF)) {
      if (mode != JisMode::Katakana) out = WriteEscape(out, mode = JisMode::Katakana);
      *out++ = static_cast<Byte>(c - 0x80);
      ++in;
    } else {
      Byte jis[2];
      in = ReadJisPair(in, jis, &lost);  // before the escape may overwrite the character
      if (mode != JisMode::TwoByte) out = WriteEscape(out, mode = JisMode::TwoByte);
      out[0] = jis[0];
      out[1] = jis[1];
      out += 2;
    }
  }
  if (mode != JisMode::Ascii) out = WriteEscape(out, JisMode::Ascii);
  return Finish(buffer, out, lost, unmappable);
}
