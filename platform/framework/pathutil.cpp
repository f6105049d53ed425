// Path helpers.
#include "platform/framework/pathutil.h"
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
