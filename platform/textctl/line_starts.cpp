// Line starts with a pending step (see line_starts.h).
#include "platform/textctl/line_starts.h"

namespace rv::textctl {

void LineStarts::Reset(int textLength) {
  body_.Clear();
  body_.Insert(0, 0);
  body_.Insert(1, textLength);
  stepLine_ = 0;
  stepLength_ = 0;
}

int LineStarts::LineFromPos(int pos) const {
  int lines = Lines();
  if (pos >= Start(lines)) return lines - 1;
  if (pos <= 0) return 0;
  // invariant: Start(lo) <= pos < Start(hi)
  int lo = 0, hi = lines;
  while (hi - lo > 1) {
    int mid = lo + (hi - lo) / 2;
    if (Start(mid) <= pos)
      lo = mid;
    else
      hi = mid;
  }
  return lo;
}

// Folds the step into the entries up to and including `line`.
void LineStarts::ApplyStepTo(int line) {
  if (stepLength_ != 0) body_.AddToRange(stepLine_ + 1, line + 1, stepLength_);
  stepLine_ = line;
  if (stepLine_ >= body_.Length() - 1) {
    stepLine_ = body_.Length() - 1;
    stepLength_ = 0;
  }
}

// Takes the step back off the entries after `line` up to the step line.
void LineStarts::BackStepTo(int line) {
  if (stepLength_ != 0) body_.AddToRange(line + 1, stepLine_ + 1, -stepLength_);
  stepLine_ = line;
}

void LineStarts::ShiftAfter(int line, int delta) {
  if (delta == 0) return;
  if (stepLength_ == 0) {
    stepLine_ = line;
    stepLength_ = delta;
    return;
  }
  if (line >= stepLine_) {
    ApplyStepTo(line);
    stepLength_ += delta;
  } else if (line >= stepLine_ - body_.Length() / 10) {
    BackStepTo(line);
    stepLength_ += delta;
  } else {
    ApplyStepTo(body_.Length() - 1);
    stepLine_ = line;
    stepLength_ = delta;
  }
}

void LineStarts::InsertLine(int line, int pos) {
  if (stepLine_ < line) ApplyStepTo(line - 1);
  body_.Insert(line, pos);
  ++stepLine_;
}

void LineStarts::RemoveLine(int line) {
  if (line > stepLine_) ApplyStepTo(line);
  --stepLine_;
  body_.Delete(line);
}

void LineStarts::AppendLine(int pos) {
  ApplyStepTo(body_.Length() - 1);
  int last = body_.Length() - 1;
  body_.Insert(last, pos);
  stepLine_ = body_.Length() - 1;
}

}  // namespace rv::textctl
