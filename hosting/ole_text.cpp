// Code page 932 bytes and automation text (see ole_text.h).
#include "hosting/ole_text.h"
#include <oleauto.h>
#include "platform/cp932_wide.h"

std::wstring WideFromCp932(const std::string& text) { return cp932::ToWide(text); }

std::string Cp932FromWide(const wchar_t* text, size_t length) { return cp932::FromWide(text, length); }

std::string Cp932FromBstr(BSTR text) { return cp932::FromWide(text, text ? SysStringLen(text) : 0); }
