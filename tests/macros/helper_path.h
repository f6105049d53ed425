// The macro helper this build made (RV_MACRO_HOST), as a Windows path.
#pragma once
#include <string>

inline std::string HelperPath() {
  std::string path = RV_MACRO_HOST;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}
