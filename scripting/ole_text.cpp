// Code page 932 bytes and automation text (see ole_text.h).
#include "scripting/ole_text.h"
#include <oleauto.h>

namespace {
const UINT kCodePage = 932;
}

std::wstring WideFromCp932(const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

std::string Cp932FromWide(const wchar_t* text, size_t length) {
  if (!text || !length) return std::string();
  int n = WideCharToMultiByte(kCodePage, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kCodePage, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
  return out;
}

std::string Cp932FromBstr(BSTR text) { return Cp932FromWide(text, text ? SysStringLen(text) : 0); }
