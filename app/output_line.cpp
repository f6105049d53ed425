// The place lines of the 出力 window: formatting, parsing, columns in characters.
#include "app/output_line.h"
#include <cstddef>
#include "platform/cp932.h"

namespace {
// Reads a decimal number from 1 at text[*i] (at most 9 digits); 0 when none.
int ReadNumber(const std::string& text, std::size_t* i) {
  int value = 0;
  std::size_t start = *i, n = text.size();
  while (*i < n && text[*i] >= '0' && text[*i] <= '9' && *i - start < 9) value = value * 10 + (text[(*i)++] - '0');
  if (*i < n && text[*i] >= '0' && text[*i] <= '9') return 0;  // too long
  return *i > start ? value : 0;
}

// True when text[from..] is a host's "<source>: <description>": a source of at
// least one character that holds no parenthesis or backslash (so that a folder
// like "C:\\dir (2) x\\" is never taken for one), then ": ".
bool HostSourceFollows(const std::string& text, std::size_t from) {
  const std::size_t n = text.size();
  for (std::size_t i = from; i < n; i += cp932::CharLengthLoose(text.data(), i, n)) {
    const char c = text[i];
    if (c == ':') return i > from && i + 1 < n && text[i + 1] == ' ';
    if (c == '(' || c == ')' || c == '\\') return false;
  }
  return false;
}
}  // namespace

std::string FormatOutputLine(const std::string& path, int line, int column, const std::string& text) {
  return path + "(" + std::to_string(line) + "," + std::to_string(column) + "): " + text;
}

bool ParseOutputLine(const std::string& text, OutputLocation* out) {
  const std::size_t n = text.size();
  // Walk by characters so that a trail byte of the path is never taken for '('.
  for (std::size_t i = 0; i < n; i += cp932::CharLengthLoose(text.data(), i, n)) {
    if (text[i] != '(' || i == 0) continue;
    std::size_t j = i + 1;
    int line = ReadNumber(text, &j);
    if (line <= 0) continue;
    int column = 1;
    if (j < n && text[j] == ',') {
      ++j;
      if (j < n && text[j] == ' ') ++j;  // the hosts' "(line, column)"
      column = ReadNumber(text, &j);
      if (column <= 0) continue;
    }
    if (j >= n || text[j] != ')') continue;
    ++j;
    if (j < n && text[j] != ':' && !(text[j] == ' ' && HostSourceFollows(text, j + 1))) continue;
    out->path = text.substr(0, i);
    out->line = line;
    out->column = column;
    return true;
  }
  return false;
}

int CharacterColumn(const char* text, int length, int offset) {
  int column = 1;
  std::size_t n = static_cast<std::size_t>(length);
  for (std::size_t i = 0; i < n && i < static_cast<std::size_t>(offset); i += cp932::CharLength(text, i, n)) ++column;
  return column;
}

int ByteOfColumn(const char* text, int length, int column) {
  std::size_t n = static_cast<std::size_t>(length), i = 0;
  for (int c = 1; c < column && i < n; ++c) i += cp932::CharLength(text, i, n);
  return static_cast<int>(i);
}
