// String-table access.
#include "platform/framework/resstr.h"

std::string LoadResString(UINT id) {
  char buf[4096];
  int n = LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
  return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string FormatPercent1(const std::string& pattern, const char* arg) {
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '1') {
      out += arg ? arg : "";
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string AfxFormatString1(UINT id, const char* arg) { return FormatPercent1(LoadResString(id), arg); }
