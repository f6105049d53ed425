// Helpers for the encoding tests.
#include "tests/document/encoding_test_util.h"

#include <cstdio>
#include <stdexcept>

#include "document/encoding.h"

std::string SjisToEuc(std::string s) {
  s.resize(ShiftJisToEucCapacity(s.size()));
  s.resize(ShiftJisToEuc(&s[0]));
  return s;
}

std::string SjisToJis(std::string s) {
  s.resize(ShiftJisToJisCapacity(s.size()));
  s.resize(ShiftJisToJis(&s[0]));
  return s;
}

std::string EucToSjis(std::string s) {
  s.resize(EucToShiftJis(&s[0]));
  return s;
}

std::string JisToSjis(std::string s) {
  s.resize(JisToShiftJis(&s[0]));
  return s;
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

std::string ReadDataFile(const char* name) {
  const std::string path = std::string(RV_ENCODING_DATA_DIR) + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw std::runtime_error("cannot open " + path);
  std::string data;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) data.append(chunk, n);
  std::fclose(f);
  return data;
}
