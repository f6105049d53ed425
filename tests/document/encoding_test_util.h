// Helpers for the encoding tests: the converters over std::string with
// buffers of the documented sizes, the cells of code page 932, hex, and the
// data files.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "document/encoding.h"
#include "platform/cp932.h"

// The `length` bytes `fn` returns over `s` in a buffer of `capacity` bytes,
// zero bytes included: a result whose length is not that of the terminated
// text shows its zero bytes.
template <class Fn>
std::string Convert(std::string s, std::size_t capacity, Fn fn) {
  s.resize(capacity);  // pads with zeros: the text stays terminated
  s.resize(fn(&s[0]));
  return s;
}
inline std::string SjisToEuc(const std::string& s, std::size_t* lost = nullptr) {
  return Convert(s, ShiftJisToEucCapacity(s.size()), [&](char* b) { return ShiftJisToEuc(b, lost); });
}
inline std::string SjisToJis(const std::string& s, std::size_t* lost = nullptr) {
  return Convert(s, ShiftJisToJisCapacity(s.size()), [&](char* b) { return ShiftJisToJis(b, lost); });
}
inline std::string EucToSjis(const std::string& s) { return Convert(s, s.size() + 1, EucToShiftJis); }
inline std::string JisToSjis(const std::string& s) { return Convert(s, s.size() + 1, JisToShiftJis); }

// Every cell a double-byte character of code page 932 can take: lead 81-9F or
// E0-FC, trail 40-7E or 80-FC.
inline std::vector<std::string> DoubleByteCells() {
  std::vector<std::string> cells;
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = 0; trail < 256; ++trail) {
      if (cp932::IsLeadByte(static_cast<unsigned char>(lead)) && cp932::IsTrailByte(static_cast<unsigned char>(trail)))
        cells.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  return cells;
}

inline std::string Hex(const std::string& bytes) {
  std::string hex;
  for (unsigned char c : bytes) hex += {"0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
  return hex;
}

inline std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

inline std::string ReadDataFile(const std::string& name) {
  const std::string path = RV_ENCODING_DATA_DIR "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw std::runtime_error("cannot open " + path);
  std::string data;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) data.append(chunk, n);
  std::fclose(f);
  return data;
}
