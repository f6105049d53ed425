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
#include <string>

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

// The Shift-JIS bytes of the JIS pair j1 j2, by the JIS X 0208 arithmetic
// (row 1 gives lead byte 81, row 63 gives E0); any byte values go through it.
inline void JisPairToSjis(Byte j1, Byte j2, Byte out[2]) {
  const Byte h = j1 >> 1;
  if (j1 & 1) {
    out[0] = static_cast<Byte>(h < 0x2F ? h + 0x71 : h - 0x4F);
    out[1] = static_cast<Byte>(j2 > 0x5F ? j2 + 0x20 : j2 + 0x1F);
  } else {
    out[0] = static_cast<Byte>(h <= 0x2F ? h + 0x70 : h - 0x50);
    out[1] = static_cast<Byte>(j2 + 0x7E);
  }
}

// The inverse arithmetic: the JIS pair of the Shift-JIS bytes s1 s2.
inline void SjisPairToJis(Byte s1, Byte s2, Byte out[2]) {
  const Byte d = static_cast<Byte>(s1 * 2);
  if (s2 < 0x9F) {
    out[0] = static_cast<Byte>(d < 0x3F ? d + 0x1F : d - 0x61);
    out[1] = static_cast<Byte>(s2 > 0x7E ? s2 - 0x20 : s2 - 0x1F);
  } else {
    out[0] = static_cast<Byte>(d < 0x3F ? d + 0x20 : d - 0x60);
    out[1] = static_cast<Byte>(s2 - 0x7E);
  }
}

// Writes the Shift-JIS character of the pair j1 j2 (JIS, or EUC-JP less its
// top bits) at `out`: the arithmetic's bytes when they form a Shift-JIS
// double-byte character, otherwise the geta mark. Two bytes either way.
inline Byte* WriteSjisOfPair(Byte* out, Byte j1, Byte j2) {
  JisPairToSjis(j1, j2, out);
  if (!cp932::IsLeadByte(out[0]) || !cp932::IsTrailByte(out[1])) {
    out[0] = kSjisGeta[0];
    out[1] = kSjisGeta[1];
  }
  return out + 2;
}

// The JIS pair of the Shift-JIS character of `length` bytes at `in`, when JIS
// X 0208's 94 x 94 layout holds it (lead bytes 81-9F and E0-EF with a trail
// byte); false for everything else, which the save converters replace with
// the geta mark.
inline bool JisPairOfChar(const Byte* in, std::size_t length, Byte out[2]) {
  if (length != 2) return false;
  SjisPairToJis(in[0], in[1], out);
  return IsJisByte(out[0]) && IsJisByte(out[1]);
}

// The walk both save converters share: a copy of the zero-terminated input,
// read one code page 932 character at a time.
class SjisReader {
 public:
  explicit SjisReader(const char* text) : copy_(text) {}
  bool AtEnd() const { return pos_ == copy_.size(); }
  const Byte* Here() const { return Bytes(copy_.data()) + pos_; }
  // Length of the character at Here() (1 or 2, as cp932::CharLength counts).
  std::size_t CharLength() const { return cp932::CharLength(copy_.data(), pos_, copy_.size()); }
  void Skip(std::size_t n) { pos_ += n; }

 private:
  const std::string copy_;
  std::size_t pos_ = 0;
};

inline std::size_t Finish(char* buffer, Byte* out, std::size_t lost, std::size_t* unmappable) {
  *out = 0;
  if (unmappable) *unmappable = lost;
  return static_cast<std::size_t>(out - Bytes(buffer));
}

}  // namespace

std::size_t JisToShiftJis(char* buffer) {
  // invariant: out <= in, so a pair is always read before it is overwritten.
  const Byte* in = Bytes(buffer);
  Byte* out = Bytes(buffer);
  JisMode mode = JisMode::Ascii;
  while (const Byte c = *in) {
    if (c == kEsc) {
      // in[1] is read only when it is not the end; in[2] only when in[1] matched.
      const Byte a = in[1];
      if (a == '$' && (in[2] == 'B' || in[2] == '@')) {
        mode = JisMode::TwoByte;
        in += 3;
        continue;
      }
      if (a == '(') {
        const Byte b = in[2];
        if (b == 'B' || b == 'J') {
          mode = JisMode::Ascii;
          in += 3;
          continue;
        }
        if (b == 'I') {
          mode = JisMode::Katakana;
          in += 3;
          continue;
        }
      }
      // Otherwise an ordinary byte of the current mode.
    } else if (c == kShiftIn) {
      mode = JisMode::Ascii;
      ++in;
      continue;
    } else if (c == kShiftOut) {
      mode = JisMode::Katakana;
      ++in;
      continue;
    }

    if (mode == JisMode::Ascii) {
      *out++ = c;
      ++in;
    } else if (mode == JisMode::Katakana) {
      *out++ = c < 0x80 ? static_cast<Byte>(c + 0x80) : c;  // 8-bit bytes are no 7-bit katakana
      ++in;
    } else if (in[1] == 0) {  // truncated: the lead byte alone, and the text ends
      *out++ = c;
      break;
    } else {
      out = WriteSjisOfPair(out, c, in[1]);
      in += 2;
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
  SjisReader in(buffer);
  Byte* out = Bytes(buffer);
  std::size_t lost = 0;
  while (!in.AtEnd()) {
    const Byte c = *in.Here();
    if (c < 0x80) {
      *out++ = c;
      in.Skip(1);
    } else if (InRange(c, 0xA1, 0xDF)) {
      out[0] = 0x8E;
      out[1] = c;
      out += 2;
      in.Skip(1);
    } else {
      const std::size_t length = in.CharLength();
      Byte jis[2];
      if (JisPairOfChar(in.Here(), length, jis)) {
        out[0] = static_cast<Byte>(jis[0] + kEucTop);
        out[1] = static_cast<Byte>(jis[1] + kEucTop);
      } else {
        out[0] = static_cast<Byte>(kJisGeta[0] + kEucTop);
        out[1] = static_cast<Byte>(kJisGeta[1] + kEucTop);
        ++lost;
      }
      out += 2;
      in.Skip(length);
    }
  }
  return Finish(buffer, out, lost, unmappable);
}

std::size_t ShiftJisToJis(char* buffer, std::size_t* unmappable) {
  SjisReader in(buffer);
  Byte* out = Bytes(buffer);
  std::size_t lost = 0;
  JisMode mode = JisMode::Ascii;
  while (!in.AtEnd()) {
    const Byte c = *in.Here();
    if (c < 0x80) {
      if (mode != JisMode::Ascii) out = WriteEscape(out, mode = JisMode::Ascii);
      *out++ = c;
      in.Skip(1);
    } else if (InRange(c, 0xA1, 0xDF)) {
      if (mode != JisMode::Katakana) out = WriteEscape(out, mode = JisMode::Katakana);
      *out++ = static_cast<Byte>(c - 0x80);
      in.Skip(1);
    } else {
      if (mode != JisMode::TwoByte) out = WriteEscape(out, mode = JisMode::TwoByte);
      const std::size_t length = in.CharLength();
      if (!JisPairOfChar(in.Here(), length, out)) {
        out[0] = kJisGeta[0];
        out[1] = kJisGeta[1];
        ++lost;
      }
      out += 2;
      in.Skip(length);
    }
  }
  if (mode != JisMode::Ascii) out = WriteEscape(out, JisMode::Ascii);
  return Finish(buffer, out, lost, unmappable);
}
