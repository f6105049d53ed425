// Find in files over names and decoded texts: masks, the literal matcher and
// the scan of matching lines.
#include "app/findinfiles_text.h"
#include <algorithm>
#include "app/output_line.h"

namespace {
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchesMask(const char* name, const char* mask) {
  // Iterative wildcard match with one backtrack point for the last '*'.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*mask == '*') {
      star = ++mask;
      resume = name;
    } else if (*mask == '?' || (*mask && AsciiLower(*mask) == AsciiLower(*name))) {
      ++mask;
      ++name;
    } else if (star) {
      mask = star;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*mask == '*') ++mask;
  return *mask == '\0';
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
}  // namespace

std::vector<std::string> SplitMasks(const std::string& list) {
  std::vector<std::string> masks;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::size_t a = list.find_first_not_of(" \t", start);
    std::size_t b = list.find_last_not_of(" \t", end == 0 ? 0 : end - 1);
    if (a != std::string::npos && a < end && b != std::string::npos && b >= a) masks.push_back(list.substr(a, b - a + 1));
    start = end + 1;
  }
  return masks;
}

bool MatchesAnyMask(const std::string& name, const std::vector<std::string>& masks) {
  return std::any_of(masks.begin(), masks.end(),
                     [&](const std::string& m) { return MatchesMask(name.c_str(), m.c_str()); });
}

int LiteralMatcher::FindFrom(const char* text, int length, int from) {
  SearchSource source{text, length, nullptr, 0};
  return SearchText(source, from, from, m_request, m_compare, m_filter);
}

int ScanMatchingLines(const char* text, int length, TextMatcher& matcher,
                      const std::function<bool(const LineMatch&)>& found) {
  int reported = 0, line = 1, lineStart = 0, from = 0;
  while (from < length) {
    int at = matcher.FindFrom(text, length, from);
    if (at < 0) break;
    // Count the line ends between the last line start and the match.
    for (int i = lineStart; i < at; ++i) {
      if (!IsLineEnd(text[i])) continue;
      if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n') ++i;
      ++line;
      lineStart = i + 1;
    }
    int lineEnd = lineStart;
    while (lineEnd < length && !IsLineEnd(text[lineEnd])) ++lineEnd;
    LineMatch match;
    match.line = line;
    match.column = CharacterColumn(text + lineStart, lineEnd - lineStart, at - lineStart);
    match.text.assign(text + lineStart, static_cast<std::size_t>(lineEnd - lineStart));
    ++reported;
    if (!found(match)) break;
    if (lineEnd >= length) break;
    // On at the next line.
    from = lineEnd + (text[lineEnd] == '\r' && lineEnd + 1 < length && text[lineEnd + 1] == '\n' ? 2 : 1);
    ++line;
    lineStart = from;
  }
  return reported;
}
