// The lines of the 出力 window that name a place, `<path>(<line>,<column>): <text>`
// (or `<path>(<line>): <text>`), written and read in this one place for every
// source that fills the window (find in files; later the script check and a
// run's captured output). Line and column count from 1; the column counts
// code page 932 characters, not bytes. No Windows header.
#pragma once
#include <string>

struct OutputLocation {
  std::string path;
  int line = 0;    // from 1
  int column = 0;  // in characters, from 1
};

// `<path>(<line>,<column>): <text>`.
std::string FormatOutputLine(const std::string& path, int line, int column, const std::string& text);

// True when `text` (one line, without its line end) names a place: a path, then
// `(line,column)` or `(line)` with numbers from 1, then ':' or the end of the
// line; or a script host's error line, `<path>(<line>, <column>) <source>:
// <description>`, whose source holds no parenthesis or backslash. Parentheses inside the path are part of it: the place is the first
// such group that is followed by ':' or the end.
bool ParseOutputLine(const std::string& text, OutputLocation* out);

// The column (in characters, from 1) of byte `offset` of the line `text` of
// `length` bytes.
int CharacterColumn(const char* text, int length, int offset);
// The byte offset of character `column` (from 1) in the line, the line's length
// when it has fewer characters.
int ByteOfColumn(const char* text, int length, int column);
