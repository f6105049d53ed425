// Strings from the string table, and the framework's %1 substitution.
#pragma once
#include <windows.h>
#include <string>

std::string LoadResString(UINT id);
// Replaces "%1" in the string `id` by `arg`.
std::string AfxFormatString1(UINT id, const char* arg);
std::string FormatPercent1(const std::string& pattern, const char* arg);
// The system's text for an error or status code, without its final line
// break; empty when the system has none.
std::string SystemMessageText(DWORD code);
