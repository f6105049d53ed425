// Code page 932 bytes to and from automation (UTF-16) text.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>

std::wstring WideFromCp932(const std::string& text);
std::string Cp932FromWide(const wchar_t* text, size_t length);
std::string Cp932FromBstr(BSTR text);
