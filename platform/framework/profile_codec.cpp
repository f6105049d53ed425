// Profile value codecs and menu path abbreviation.
#include "platform/framework/profile_codec.h"
#include "platform/cp932.h"
#include "platform/framework/pathutil.h"

std::string EncodeProfileBytes(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  std::string out;
  out.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    out.push_back(static_cast<char>('A' + (p[i] & 0x0F)));
    out.push_back(static_cast<char>('A' + (p[i] >> 4)));
  }
  return out;
}

std::optional<std::vector<uint8_t>> DecodeProfileBytes(const std::string& text) {
  std::vector<uint8_t> out;
  out.reserve(text.size() / 2);
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    int lo = text[i] - 'A', hi = text[i + 1] - 'A';
    if (lo < 0 || lo > 15 || hi < 0 || hi > 15) return std::nullopt;
    out.push_back(static_cast<uint8_t>(lo | (hi << 4)));
  }
  return out;
}

namespace {
// Offsets just after each path separator, judged in the code-page 932 sense.
std::vector<size_t> SeparatorEnds(const std::string& path) {
  std::vector<size_t> ends;
  for (size_t i = 0; i < path.size(); ++i) {
    auto c = static_cast<unsigned char>(path[i]);
    if (cp932::IsLeadByte(c) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (c == '\\' || c == '/') ends.push_back(i + 1);
  }
  return ends;
}

}  // namespace

std::string AbbreviatePath(const std::string& path, size_t maxChars) {
  if (path.size() <= maxChars) return path;
  std::vector<size_t> seps = SeparatorEnds(path);
  if (seps.empty()) return LimitBytes(path, maxChars);
  std::string name = path.substr(seps.back());
  std::string root = path.substr(0, seps.front());
  // Keep the root and the longest tail of folders that fits after "...\".
  for (size_t k = 1; k < seps.size(); ++k) {
    std::string tail = path.substr(seps[k]);
    std::string candidate = root + "...\\" + tail;
    if (candidate.size() <= maxChars) return candidate;
  }
  std::string candidate = root + "...\\" + name;
  if (candidate.size() <= maxChars) return candidate;
  if (name.size() <= maxChars) return name;
  return LimitBytes(name, maxChars);
}
