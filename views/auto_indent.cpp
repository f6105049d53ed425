// Auto-indentation rules.
#include "views/auto_indent.h"

#include "platform/cp932.h"

namespace indent {
namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

size_t LookedAt(size_t bytesBeforeCaret) { return bytesBeforeCaret > 255 ? 254 : bytesBeforeCaret; }

std::string AfterEnter(std::string before, bool jscriptCode) {
  size_t lead = 0;
  while (lead < before.size() && Blank(before[lead])) ++lead;
  std::string result;
  for (size_t i = 0; i < lead;) {
    if (before.compare(i, 4, "    ") == 0) {
      result += '\t';
      i += 4;
    } else {
      result += before[i++];
    }
  }
  if (!jscriptCode || before.empty()) return result;
  if (lead == 0)
    while (!before.empty() && Blank(before.back())) before.pop_back();
  if (before.empty()) return result;
  // The last character, read from the line's start: a trail byte may look
  // like a brace.
  size_t last = 0;
  for (size_t i = 0; i < before.size(); i += cp932::CharLength(before.data(), i, before.size())) last = i;
  static const char kEndsStatement[] = "\t ),/;>}";
  bool ends = false;
  if (last + 1 == before.size())
    for (const char* p = kEndsStatement; *p; ++p) ends = ends || before[last] == *p;
  if (!ends) result += '\t';
  return result;
}

bool BraceMovesBack(const std::string& beforeBrace) {
  if (beforeBrace.empty()) return false;
  for (char c : beforeBrace)
    if (!Blank(c)) return false;
  return true;
}

}  // namespace indent
