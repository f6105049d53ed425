// fuzz-sources: app/output_line.cpp
// The 出力 window's place lines from arbitrary bytes: a line read as a place
// gives a path that is its start and numbers from 1, and the same place
// written again with any text reads back the same; columns and byte offsets
// map back to each other at every character start.
#include <cstdint>
#include <string>

#include "app/output_line.h"
#include "platform/cp932.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  OutputLocation at;
  if (ParseOutputLine(input, &at)) {
    Check(!at.path.empty() && input.compare(0, at.path.size(), at.path) == 0, "path is not the line's start", input);
    Check(at.line > 0 && at.column > 0, "numbers from 1", input);
    OutputLocation again;
    Check(ParseOutputLine(FormatOutputLine(at.path, at.line, at.column, input), &again), "written place unread", input);
    Check(again.path == at.path && again.line == at.line && again.column == at.column, "written place differs", input);
  }
  const int n = static_cast<int>(size);
  int column = 1;
  for (int i = 0; i <= n; i += i < n ? static_cast<int>(cp932::CharLength(input.data(), i, size)) : 1, ++column) {
    Check(CharacterColumn(input.data(), n, i) == column, "column of a character start", input);
    Check(ByteOfColumn(input.data(), n, column) == i, "byte of a column", input);
  }
  return 0;
}
