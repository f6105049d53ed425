// UTF-8 <-> Shift-JIS through the system's code-page conversion (UTF-16 in
// between), and the count of characters that code page 932 cannot carry.
#include "document/encoding.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kCp932 = 932;

// UTF-16 of `count` bytes in `codePage`; empty for empty input.
std::vector<wchar_t> ToWide(UINT codePage, DWORD flags, const char* bytes, std::size_t count) {
  std::vector<wchar_t> wide;
  if (count == 0) return wide;
  const int n = MultiByteToWideChar(codePage, flags, bytes, static_cast<int>(count), nullptr, 0);
  if (n <= 0) return wide;
  wide.resize(static_cast<std::size_t>(n));
  const int written = MultiByteToWideChar(codePage, flags, bytes, static_cast<int>(count), wide.data(), n);
  wide.resize(static_cast<std::size_t>(std::max(written, 0)));
  return wide;
}

// Whether the code point at wide[i] (one unit, or a surrogate pair of two)
// survives code page 932: it has a code there, and that code reads back as the
// same character (not the default character, not a best-fit look-alike).
class Cp932Survival {
 public:
  bool Survives(wchar_t w) {
    std::uint8_t& known = cache_[static_cast<std::uint16_t>(w)];
    if (known == 0) known = Probe(w) ? 1 : 2;
    return known == 1;
  }

 private:
  static bool Probe(wchar_t w) {
    char bytes[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kCp932, 0, &w, 1, bytes, sizeof bytes, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    wchar_t back[2];
    const int m = MultiByteToWideChar(kCp932, 0, bytes, n, back, 2);
    return m == 1 && back[0] == w;
  }

  std::vector<std::uint8_t> cache_ = std::vector<std::uint8_t>(0x10000, 0);  // 0 unknown, 1 yes, 2 no
};

// Characters of `wide` that do not survive code page 932. A surrogate pair
// counts once, a lone surrogate once.
std::size_t CountLostInCp932(const std::vector<wchar_t>& wide) {
  Cp932Survival survival;
  std::size_t lost = 0;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const wchar_t w = wide[i];
    if (w >= 0xD800 && w <= 0xDFFF) {
      if (w <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) ++i;
      ++lost;
    } else if (!survival.Survives(w)) {
      ++lost;
    }
  }
  return lost;
}

// Characters of the Shift-JIS `text` that code page 932 does not define, as
// the system's strict conversion judges them one by one.
std::size_t CountUndefinedInCp932(std::string_view text) {
  std::size_t undefined = 0;
  wchar_t w[2];
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = 1;
    if (IsDBCSLeadByteEx(kCp932, static_cast<BYTE>(text[i])) && i + 1 < text.size()) len = 2;
    if (MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, text.data() + i, static_cast<int>(len), w, 2) <= 0)
      ++undefined;
    i += len;
  }
  return undefined;
}

}  // namespace

std::size_t Utf8ToShiftJis(char* buffer, std::size_t byteCount, std::size_t* unmappable) {
  if (unmappable) *unmappable = 0;
  const char* src = buffer;
  std::size_t n = byteCount;
  if (n >= 3 && std::memcmp(src, "\xEF\xBB\xBF", 3) == 0) {
    src += 3;
    n -= 3;
  }
  const std::vector<wchar_t> wide = ToWide(CP_UTF8, 0, src, n);
  const int wlen = static_cast<int>(wide.size());
  int m = 0;
  if (wlen > 0) {
    m = WideCharToMultiByte(kCp932, 0, wide.data(), wlen, nullptr, 0, nullptr, nullptr);
    if (m < 0) m = 0;
    if (static_cast<std::size_t>(m) <= byteCount) {
      m = WideCharToMultiByte(kCp932, 0, wide.data(), wlen, buffer, m, nullptr, nullptr);
    } else {
      // Cannot happen for UTF-8 (no sequence grows in code page 932); kept so
      // that the buffer is never overrun whatever the system answers.
      std::string whole(static_cast<std::size_t>(m), '\0');
      WideCharToMultiByte(kCp932, 0, wide.data(), wlen, &whole[0], m, nullptr, nullptr);
      m = static_cast<int>(byteCount);
      std::memcpy(buffer, whole.data(), byteCount);
    }
  }
  const std::size_t length = static_cast<std::size_t>(std::max(m, 0));
  buffer[length] = '\0';

  if (unmappable && wlen > 0) {
    // Fast path: the whole text reads back unchanged, so nothing was lost.
    const std::vector<wchar_t> back = ToWide(kCp932, 0, buffer, length);
    if (back != wide) *unmappable = CountLostInCp932(wide);
  }
  return length;
}

std::string ShiftJisToUtf8(std::string_view text, std::size_t* unmappable) {
  if (unmappable) *unmappable = 0;
  std::string result;
  if (text.empty()) return result;
  const std::vector<wchar_t> wide = ToWide(kCp932, 0, text.data(), text.size());
  const int wlen = static_cast<int>(wide.size());
  if (wlen > 0) {
    const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wlen, nullptr, 0, nullptr, nullptr);
    if (m > 0) {
      result.resize(static_cast<std::size_t>(m));
      const int written = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wlen, &result[0], m, nullptr, nullptr);
      result.resize(static_cast<std::size_t>(std::max(written, 0)));
    }
  }
  if (unmappable &&
      MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0) <= 0) {
    *unmappable = CountUndefinedInCp932(text);
  }
  return result;
}
