// The pure part of the encoding functions: the five tests, DetectEncoding and
// the four byte converters between Shift-JIS and EUC-JP / JIS. No Windows
// header, so this file also builds natively for sanitizer runs.
//
// All arithmetic is on 8-bit unsigned values, modulo 256: bytes outside the
// ranges of the standard tables go through the same formulas unchecked.
#include "document/encoding.h"

#include <cstdint>
#include <cstring>
#include <string>

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
      *out++ = static_cast<Byte>(c + 0x80);
      ++in;
    } else {
      const Byte j2 = in[1];
      if (j2 == 0) {  // truncated: the lead byte alone, and the text ends
        *out++ = c;
        ++in;
        break;
      }
      const Byte h = c >> 1;
      Byte s1, s2;
      if (c & 1) {
        s1 = static_cast<Byte>(h < 0x2F ? h + 0x71 : h - 0x4F);
        s2 = static_cast<Byte>(j2 > 0x5F ? j2 + 0x20 : j2 + 0x1F);
      } else {
        s1 = static_cast<Byte>(h <= 0x2F ? h + 0x70 : h - 0x50);
        s2 = static_cast<Byte>(j2 + 0x7E);
      }
      out[0] = s1;
      out[1] = s2;
      out += 2;
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
      continue;
    }
    const Byte h = c >> 1;
    Byte s1, s2;
    if (c & 1) {
      s1 = static_cast<Byte>(h < 0x6F ? h + 0x31 : h + 0x71);
      s2 = static_cast<Byte>(e2 > 0xDF ? e2 - 0x60 : e2 - 0x61);
    } else {
      s1 = static_cast<Byte>(h <= 0x6F ? h + 0x30 : h + 0x70);
      s2 = static_cast<Byte>(e2 - 2);
    }
    out[0] = s1;
    out[1] = s2;
    out += 2;
  }
  *out = 0;
  return static_cast<std::size_t>(out - Bytes(buffer));
}

std::size_t ShiftJisToEuc(char* buffer) {
  const std::string copy(buffer);
  const Byte* in = Bytes(copy.c_str());
  Byte* out = Bytes(buffer);
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
      const Byte s2 = in[1];
      if (s2 == 0) {  // truncated
        *out++ = c;
        break;
      }
      const Byte d = static_cast<Byte>(c * 2);
      Byte e1, e2;
      if (s2 < 0x9F) {
        e1 = static_cast<Byte>(d < 0x3F ? d - 0x61 : d + 0x1F);
        e2 = static_cast<Byte>(s2 > 0x7E ? s2 + 0x60 : s2 + 0x61);
      } else {
        e1 = static_cast<Byte>(d < 0x3F ? d - 0x60 : d + 0x20);
        e2 = static_cast<Byte>(s2 + 2);
      }
      out[0] = e1;
      out[1] = e2;
      out += 2;
      in += 2;
    }
  }
  *out = 0;
  return static_cast<std::size_t>(out - Bytes(buffer));
}

std::size_t ShiftJisToJis(char* buffer) {
  const std::string copy(buffer);
  const Byte* in = Bytes(copy.c_str());
  Byte* out = Bytes(buffer);
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
      if (mode != JisMode::TwoByte) out = WriteEscape(out, mode = JisMode::TwoByte);
      const Byte s2 = in[1];
      if (s2 == 0) {  // truncated: the lead byte alone, then the end step
        *out++ = c;
        break;
      }
      const Byte d = static_cast<Byte>(c * 2);
      Byte j1, j2;
      if (s2 < 0x9F) {
        j1 = static_cast<Byte>(d < 0x3F ? d + 0x1F : d - 0x61);
        j2 = static_cast<Byte>(s2 > 0x7E ? s2 - 0x20 : s2 - 0x1F);
      } else {
        j1 = static_cast<Byte>(d < 0x3F ? d + 0x20 : d - 0x60);
        j2 = static_cast<Byte>(s2 - 0x7E);
      }
      out[0] = j1;
      out[1] = j2;
      out += 2;
      in += 2;
    }
  }
  if (mode != JisMode::Ascii) out = WriteEscape(out, JisMode::Ascii);
  *out = 0;
  return static_cast<std::size_t>(out - Bytes(buffer));
}
