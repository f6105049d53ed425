// Find in files over names and decoded texts: masks, the literal matcher and
// the scan of matching lines.
#include "app/findinfiles_text.h"
#include <algorithm>
#include <cstring>
#include "platform/cp932.h"
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

// True when byte p starts a character, `start` (<= p) being known to start one.
// The bytes before p that may lead a character (all of which may also trail
// one) pair up from the last byte that cannot lead, which ends a character.
bool StartsACharacter(const char* t, int start, int p) {
  int q = p;
  while (q > start && cp932::IsLeadByte(t[q - 1])) --q;
  return ((p - q) & 1) == 0 || !cp932::IsTrailByte(t[p]);
}

bool EndsACharacter(const char* t, int p, int n, int length) {
  int q = p;
  while (q < p + n) q += static_cast<int>(cp932::CharLength(t, static_cast<size_t>(q), static_cast<size_t>(length)));
  return q == p + n;
}

// The code of the character at p: its byte, or lead << 8 | trail.
unsigned CharCode(const char* t, int p, int length) {
  const auto* b = reinterpret_cast<const unsigned char*>(t);
  return cp932::CharLength(t, static_cast<size_t>(p), static_cast<size_t>(length)) == 2 ? (b[p] << 8u) | b[p + 1]
                                                                                          : b[p];
}
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

LiteralMatcher::LiteralMatcher(std::string find, bool matchCase, SearchComparer& compare)
    : m_request{std::move(find), true, matchCase}, m_compare(compare) {
  const std::string& f = m_request.find;
  size_t i = 0, lastStart = 0;
  while (i < f.size()) {
    lastStart = i;
    i += cp932::CharLength(f.data(), i, f.size());
  }
  m_wholeCharacters = !f.empty() && !(cp932::IsLeadByte(f[lastStart]) && f.size() - lastStart == 1);
  if (f.empty()) return;
  if (matchCase) {
    m_firstBytes[static_cast<unsigned char>(f[0])] = 1;
    return;
  }
  m_filter.Prepare(f, compare);
  for (unsigned code = 1; code < 65536; ++code)
    if (m_filter.Accepts(code)) m_firstBytes[code > 0xFF ? code >> 8 : code] = 1;
}

int LiteralMatcher::FindFrom(const char* text, int length, int from, int* end) {
  SearchSource source{text, length, nullptr, 0};
  const std::string& find = m_request.find;
  const int n = static_cast<int>(find.size());
  if (!m_wholeCharacters) {
    const int at = SearchText(source, from, from, m_request, m_compare, m_filter);
    if (at >= 0 && end) *end = at + n;
    return at;
  }
  const auto* t = reinterpret_cast<const unsigned char*>(text);
  const int last = length - n;
  const bool firstIsDouble = cp932::CharLength(find.data(), 0, find.size()) == 2;
  int known = from;
  for (int p = from; p <= last; ++p) {
    if (m_request.matchCase) {
      const void* at = std::memchr(t + p, find[0], static_cast<size_t>(last - p + 1));
      if (!at) return -1;
      p = static_cast<int>(static_cast<const unsigned char*>(at) - t);
      if (firstIsDouble && t[p + 1] != static_cast<unsigned char>(find[1])) continue;
    } else {
      while (p <= last && !m_firstBytes[t[p]]) ++p;
      if (p > last) return -1;
      if (!m_filter.Accepts(CharCode(text, p, length))) continue;
    }
    // `known` starts a character: the walk back never goes past it, so the
    // walks over a text add up to its length.
    const bool starts = StartsACharacter(text, known, p);
    known = starts ? p : p + 1;
    if (starts && EndsACharacter(text, p, n, length) && m_compare.Equal(text + p, n, find.data(), n, m_request.matchCase)) {
      if (end) *end = p + n;
      return p;
    }
  }
  return -1;
}

int RegexMatcher::FindFrom(const char* text, int length, int from, int* end) {
  RegexMatch match;
  if (RegexFindFrom(m_pattern, SearchSource{text, length, nullptr, 0}, from, false, match) == RegexStatus::kTooComplex) {
    m_tooComplex = true;
    return -1;
  }
  if (!match.Found()) return -1;
  if (end) *end = match.End();
  return match.Start();
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
