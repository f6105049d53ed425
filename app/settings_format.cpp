// Settings value formats.
#include "app/settings_format.h"
#include <cstdio>
#include <cstring>
#include "platform/framework/pathutil.h"
#include "platform/cp932.h"

std::string MakeSettingsPath(const std::string& exePath) {
  // Find the last separator and the last dot after it, byte by byte in the
  // code-page 932 sense.
  size_t lastSep = std::string::npos, lastDot = std::string::npos;
  for (size_t i = 0; i < exePath.size(); ++i) {
    auto c = static_cast<unsigned char>(exePath[i]);
    if (cp932::IsLeadByte(c) && i + 1 < exePath.size()) {
      ++i;
      continue;
    }
    if (c == '\\' || c == '/' || c == ':') {
      lastSep = i;
      lastDot = std::string::npos;
    } else if (c == '.') {
      lastDot = i;
    }
  }
  std::string path = lastDot != std::string::npos && (lastSep == std::string::npos || lastDot > lastSep)
                         ? exePath.substr(0, lastDot)
                         : exePath;
  path += ".ini";
  for (size_t i = 0; i < path.size(); ++i) {
    auto c = static_cast<unsigned char>(path[i]);
    if (cp932::IsLeadByte(c)) {
      ++i;  // the trail byte stays as it is, even when it is 'A'..'Z'
      continue;
    }
    if (c >= 'A' && c <= 'Z') path[i] = static_cast<char>(c - 'A' + 'a');
  }
  return path;
}

std::string FormatFontNumbers(const FontRecord& f) {
  char buf[256];
  snprintf(buf, sizeof buf, "%ld,%ld,%ld,%ld,%d,%d,%d,%d,%d,%d,%d,%d,%ld", static_cast<long>(f.height),
           static_cast<long>(f.width), static_cast<long>(f.escapement), static_cast<long>(f.orientation),
           static_cast<int>(f.weight), f.italic, f.underline, f.strikeOut, f.charSet, f.outPrecision,
           f.clipPrecision, f.quality, static_cast<long>(f.pitchAndFamily));
  return buf;
}

bool ParseFontNumbers(const std::string& text, FontRecord& f) {
  long h, w, esc, ori, pf;
  int weight, it, ul, so, cs, op, cp, q;
  if (text.empty()) return false;
  int n = sscanf(text.c_str(), "%ld,%ld,%ld,%ld,%d,%d,%d,%d,%d,%d,%d,%d,%ld", &h, &w, &esc, &ori, &weight, &it,
                 &ul, &so, &cs, &op, &cp, &q, &pf);
  if (n != 13) return false;
  f.height = static_cast<int32_t>(h);
  f.width = static_cast<int32_t>(w);
  f.escapement = static_cast<int32_t>(esc);
  f.orientation = static_cast<int32_t>(ori);
  f.weight = weight;
  f.italic = static_cast<uint8_t>(it);
  f.underline = static_cast<uint8_t>(ul);
  f.strikeOut = static_cast<uint8_t>(so);
  f.charSet = static_cast<uint8_t>(cs);
  f.outPrecision = static_cast<uint8_t>(op);
  f.clipPrecision = static_cast<uint8_t>(cp);
  f.quality = static_cast<uint8_t>(q);
  f.pitchAndFamily = static_cast<uint8_t>(pf);
  return true;
}

std::string LimitFaceName(const std::string& face) { return LimitBytes(face, 31); }

std::string FormatColorList(const uint32_t* colors, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) {
    if (i) out += ',';
    if (colors[i] == kAutomaticColor) {
      out += "Auto";
    } else {
      char buf[16];
      snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(colors[i]));
      out += buf;
    }
  }
  return out;
}

namespace {
bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// The original reading: "%06X" numbers separated by commas, all or nothing.
// A number starts with a digit: a sign would let "-1" through as FFFFFFFF,
// which is written back with eight digits that this reading refuses.
bool ScanHexList(const char* text, uint32_t* out, int count) {
  for (int i = 0; i < count; ++i) {
    unsigned v = 0;
    int used = 0;
    if (!IsHexDigit(*text)) return false;
    if (sscanf(text, i + 1 < count ? "%06X,%n" : "%06X%n", &v, &used) != 1 || used == 0) return false;
    out[i] = v;
    text += used;
  }
  return true;
}
}  // namespace

bool ParseColorList(const std::string& text, uint32_t* colors, int count) {
  uint32_t parsed[8];
  if (count > 8 || text.empty()) return false;
  if (text.find("Auto") == std::string::npos) {
    if (!ScanHexList(text.c_str(), parsed, count)) return false;
  } else {
    // Fields are "Auto" or digits read the original way.
    size_t pos = 0;
    for (int i = 0; i < count; ++i) {
      size_t comma = text.find(',', pos);
      std::string field = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
      if (field == "Auto") parsed[i] = kAutomaticColor;
      else if (!ScanHexList(field.c_str(), &parsed[i], 1)) return false;
      if (i + 1 < count) {
        if (comma == std::string::npos) return false;
        pos = comma + 1;
      }
    }
  }
  memcpy(colors, parsed, sizeof(uint32_t) * static_cast<size_t>(count));
  return true;
}

std::vector<uint8_t> EncodePlacement(const PlacementRecord& r) {
  const int32_t v[11] = {r.length, r.flags, r.showCmd, r.minX, r.minY, r.maxX, r.maxY, r.left, r.top, r.right, r.bottom};
  std::vector<uint8_t> out;
  for (int32_t x : v)
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(x) >> (8 * b)));
  return out;
}

bool DecodePlacement(const std::vector<uint8_t>& bytes, PlacementRecord& r) {
  if (bytes.size() != 44) return false;
  int32_t v[11];
  for (int i = 0; i < 11; ++i) {
    uint32_t x = 0;
    for (int b = 0; b < 4; ++b) x |= static_cast<uint32_t>(bytes[static_cast<size_t>(i * 4 + b)]) << (8 * b);
    v[i] = static_cast<int32_t>(x);
  }
  PlacementRecord t{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]};
  const int64_t width = static_cast<int64_t>(t.right) - t.left, height = static_cast<int64_t>(t.bottom) - t.top;
  if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX) return false;
  r = t;
  return true;
}

namespace {
// One axis of FitIntoArea, in 64 bits: [lo, hi) into [areaLo, areaHi).
void FitSpan(int32_t& lo, int32_t& hi, int32_t areaLo, int32_t areaHi) {
  int64_t size = static_cast<int64_t>(hi) - lo;
  const int64_t room = static_cast<int64_t>(areaHi) - areaLo;
  if (size > room) size = room;
  int64_t start = lo;
  if (start + size > areaHi) start = areaHi - size;
  if (start < areaLo) start = areaLo;
  lo = static_cast<int32_t>(start);
  hi = static_cast<int32_t>(start + size);
}
}  // namespace

WindowRect FitIntoArea(const WindowRect& rect, const WindowRect& area) {
  WindowRect r = rect;
  FitSpan(r.left, r.right, area.left, area.right);
  FitSpan(r.top, r.bottom, area.top, area.bottom);
  return r;
}
