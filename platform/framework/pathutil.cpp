// Path helpers.
#include "platform/framework/pathutil.h"
#include <algorithm>
#include <vector>
#include "platform/cp932.h"

size_t LastPathSeparator(const std::string& path) {
  size_t cut = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    auto c = static_cast<unsigned char>(path[i]);
    if (cp932::IsLeadByte(c) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (c == '\\' || c == '/' || c == ':') cut = i;
  }
  return cut;
}

std::string PathFolder(const std::string& path) {
  size_t cut = LastPathSeparator(path);
  if (cut == std::string::npos) return std::string();
  if (path[cut] == ':') return path.substr(0, cut + 1) + "\\";
  std::string folder = path.substr(0, cut);
  if (!folder.empty() && folder.back() == ':') folder += '\\';  // the root, not the drive's current folder
  return folder;
}

std::string PathFolderWithSeparator(const std::string& path) {
  size_t cut = LastPathSeparator(path);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

size_t PathExtensionDot(const std::string& path) {
  size_t sep = LastPathSeparator(path);
  size_t dot = std::string::npos;
  for (size_t i = sep == std::string::npos ? 0 : sep + 1; i < path.size(); ++i) {
    auto c = static_cast<unsigned char>(path[i]);
    if (cp932::IsLeadByte(c) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (c == '.') dot = i;
  }
  return dot;
}

std::string LimitBytes(const std::string& text, size_t limit) {
  size_t i = 0;
  while (i < text.size()) {
    size_t step = cp932::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (i + step > limit) break;
    i += step;
  }
  return text.substr(0, i);
}

std::string BreakLongLines(const std::string& text, const std::function<bool(const char*, size_t)>& fits) {
  // No line of a box on a screen holds this many bytes: longer ones are broken
  // without measuring them whole.
  constexpr size_t kLongest = 512;
  std::string out;
  size_t start = 0;
  std::vector<size_t> ends;  // character ends from the line's start
  for (;;) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t line = start;
    while (end - line > kLongest || (line < end && !fits(text.data() + line, end - line))) {
      ends.clear();
      for (size_t i = line; i < end && i - line < kLongest;) {
        auto c = static_cast<unsigned char>(text[i]);
        i += cp932::IsLeadByte(c) && i + 1 < end ? 2 : 1;
        ends.push_back(i - line);
      }
      // The longest run of whole characters that fits (at least one)...
      size_t lo = 0, hi = ends.size() - 1;
      while (lo < hi) {
        size_t mid = (lo + hi + 1) / 2;
        if (fits(text.data() + line, ends[mid])) lo = mid;
        else hi = mid - 1;
      }
      size_t cut = ends[lo];
      // ...ended at its last blank or separator when it has one.
      for (size_t j = lo + 1; j-- > 0;) {
        size_t from = j ? ends[j - 1] : 0;
        char c = text[line + from];
        if (ends[j] - from == 1 && (c == ' ' || c == '\\' || c == '/')) {
          cut = ends[j];
          break;
        }
      }
      out.append(text, line, cut);
      out += '\n';
      line += cut;
    }
    out.append(text, line, end - line);
    if (end == text.size()) break;
    out += '\n';
    start = end + 1;
  }
  return out;
}
