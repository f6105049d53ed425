// The start offsets of the lines of a text, kept so that an edit touches only the
// lines it changes: the starts live in a gap buffer, and a shift of all later
// starts is recorded as one pending "step" that is applied lazily. Line from
// offset is a binary search. No Windows header here.
#pragma once
#include "platform/textctl/split_vector.h"

namespace rv::textctl {

class LineStarts {
 public:
  LineStarts() { Reset(0); }

  // One line covering a text of the given length.
  void Reset(int textLength);

  int Lines() const { return body_.Length() - 1; }
  // Start of a line; Start(Lines()) is the text length.
  int Start(int line) const {
    int pos = body_[line];
    return line > stepLine_ ? pos + stepLength_ : pos;
  }
  // The line containing pos (the last line for pos at or past the end).
  int LineFromPos(int pos) const;

  // Shifts every line start after `line`, and the text length, by delta.
  void ShiftAfter(int line, int delta);
  // Makes a new line `line` beginning at pos (line >= 1).
  void InsertLine(int line, int pos);
  // Removes the start of line `line` (line >= 1), joining it to the line above.
  void RemoveLine(int line);
  // Makes room for `count` more lines, so that inserting them allocates nothing.
  void EnsureRoom(int count) { body_.EnsureRoom(count); }
  // Appends a line start at the end without any shifting (bulk loading).
  void AppendLine(int pos);

 private:
  // body_ holds Lines() + 1 values: the starts, then the text length.
  // invariant: the true value of entry i is body_[i] + (i > stepLine_ ? stepLength_ : 0).
  SplitVector<int> body_;
  int stepLine_ = 0;
  int stepLength_ = 0;

  void ApplyStepTo(int line);
  void BackStepTo(int line);
};

}  // namespace rv::textctl
