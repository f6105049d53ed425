// Code page 932 bytes to and from UTF-16, in one place for everything that
// crosses to the wide-character side: drawing on the screen and the printer,
// the clipboard and drag and drop, automation strings, wide notifications.
// The system's converter does the work, so what it maps (and how it maps the
// codes the table has twice) is the same everywhere. Header only: the text
// control, the framework and the encoder's server link no common library.
#pragma once
#include <windows.h>
#include <string>

namespace cp932 {

constexpr UINT kCodePage = 932;

// Converts `length` bytes into `out` (room for `capacity` units); the number
// of units written, 0 when none or when they do not fit.
inline int ToWide(const char* bytes, size_t length, wchar_t* out, int capacity) {
  if (!length) return 0;
  return MultiByteToWideChar(kCodePage, 0, bytes, static_cast<int>(length), out, capacity);
}

inline std::wstring ToWide(const char* bytes, size_t length) {
  std::wstring out;
  if (const int n = length ? MultiByteToWideChar(kCodePage, 0, bytes, static_cast<int>(length), nullptr, 0) : 0) {
    out.resize(static_cast<size_t>(n));
    MultiByteToWideChar(kCodePage, 0, bytes, static_cast<int>(length), &out[0], n);
  }
  return out;
}
inline std::wstring ToWide(const std::string& text) { return ToWide(text.data(), text.size()); }

inline std::string FromWide(const wchar_t* text, size_t length) {
  std::string out;
  const int n = text && length ? WideCharToMultiByte(kCodePage, 0, text, static_cast<int>(length), nullptr, 0,
                                                     nullptr, nullptr)
                               : 0;
  if (n > 0) {
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(kCodePage, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
  }
  return out;
}
// The text up to its terminating zero.
inline std::string FromWide(const wchar_t* text) { return text ? FromWide(text, wcslen(text)) : std::string(); }

}  // namespace cp932
