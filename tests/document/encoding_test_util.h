// Helpers for the encoding tests: the converters over std::string with
// buffers of the documented sizes, hex, and the data files.
#pragma once

#include <string>

std::string SjisToEuc(std::string s);
std::string SjisToJis(std::string s);
std::string EucToSjis(std::string s);
std::string JisToSjis(std::string s);
std::string Hex(const std::string& bytes);
std::string FromHex(const std::string& hex);
std::string ReadDataFile(const char* name);
