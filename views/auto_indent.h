// The auto-indentation rules of the script view, on bytes, without a window.
#pragma once
#include <string>

namespace indent {

// How many of the `bytesBeforeCaret` bytes of the caret's line the rules look
// at: all of them up to 255; beyond that only the first 254.
size_t LookedAt(size_t bytesBeforeCaret);

// The indentation of the line that Enter opens, from `before`, the looked-at
// text of the line the caret was on. Its leading blanks and tabs are copied,
// each run of four blanks becoming a tab. In JScript plain code (`jscriptCode`:
// not inside a comment or string) one tab more is added unless the line's
// last character (not a trail byte) is a blank, a tab or one of ) , / ; > }
// (an unindented line is looked at without its trailing blanks).
std::string AfterEnter(std::string before, bool jscriptCode);

// Whether a "}" typed right after Enter moves one position back: only when the
// bytes from the line's start to the brace (`beforeBrace`) are all blanks and
// tabs, and there is at least one.
bool BraceMovesBack(const std::string& beforeBrace);

}  // namespace indent
