// CP932 text storage with line starts (see text_model.h).
#include "platform/textctl/text_model.h"

#include <algorithm>
#include "platform/cp932.h"

namespace rv::textctl {

namespace {
constexpr unsigned char kCR = '\r';
constexpr unsigned char kLF = '\n';

// Classes for word movement and double-click selection.
enum CharKind {
  kBlank = TextModel::kBlankClass,
  kBreak = TextModel::kBreakClass,
  kWord, kPunct, kHalfKana, kHiragana, kKatakana, kWideAlnum, kKanji, kWideSymbol
};

// [pos, pos + count) clipped to a text of `length` bytes; count <= 0 when nothing is left.
void ClipRange(TextPos& pos, int& count, int length) {
  if (pos < 0) {
    count += pos;
    pos = 0;
  }
  if (pos + count > length) count = length - pos;
}
}  // namespace

int TextModel::GetRange(TextPos pos, int count, char* out) const {
  ClipRange(pos, count, Length());
  if (count <= 0) return 0;
  bytes_.GetRange(out, pos, count);
  return count;
}

TextSpans TextModel::Spans(TextPos pos, int count) const {
  TextSpans spans;
  spans.part1 = "";
  ClipRange(pos, count, Length());
  if (count <= 0) return spans;
  const char *before, *after;
  int beforeLength, afterLength;
  bytes_.Parts(before, beforeLength, after, afterLength);
  if (pos < beforeLength) {
    spans.part1 = before + pos;
    spans.length1 = std::min(count, beforeLength - pos);
  }
  const int rest = count - spans.length1;
  if (rest > 0) {
    const char* from = after + (pos + spans.length1 - beforeLength);
    if (spans.length1 == 0) {
      spans.part1 = from;
      spans.length1 = rest;
    } else {
      spans.part2 = from;
      spans.length2 = rest;
    }
  }
  return spans;
}

std::string TextModel::Range(TextPos pos, int count) const {
  std::string out(count > 0 ? count : 0, '\0');
  out.resize(GetRange(pos, count, out.empty() ? nullptr : &out[0]));
  return out;
}

TextPos TextModel::LineEnd(int line) const {
  TextPos start = LineStart(line);
  if (line >= LineCount() - 1) return Length();
  TextPos next = LineStart(line + 1);
  TextPos end = next - 1;
  if (ByteAt(end) == kLF && end > start && ByteAt(end - 1) == kCR) --end;
  return end;
}

int TextModel::CharLengthAt(TextPos pos) const {
  if (pos < 0 || pos >= Length()) return 0;
  unsigned char b = ByteAt(pos);
  if (pos + 1 < Length()) {
    unsigned char next = ByteAt(pos + 1);
    if (b == kCR && next == kLF) return 2;
    if (cp932::IsLeadByte(b) && cp932::IsTrailByte(next)) return 2;
  }
  return 1;
}

TextPos TextModel::BoundaryAtOrBefore(TextPos pos) const {
  if (pos <= 0) return 0;
  if (pos >= Length()) return Length();
  // A byte that cannot be a lead byte ends a character, except a CR before LF.
  // Scan back to such a byte, then walk forward character by character.
  TextPos q = pos - 1;
  while (q >= 0 && cp932::IsLeadByte(ByteAt(q))) --q;
  TextPos b = q + 1;
  if (q >= 0 && ByteAt(q) == kCR && ByteAt(q + 1) == kLF) b = q;
  while (true) {
    int len = CharLengthAt(b);
    if (b + len > pos) return b;
    b += len;
  }
}

TextPos TextModel::BoundaryAtOrAfter(TextPos pos) const {
  TextPos b = BoundaryAtOrBefore(pos);
  return b < pos ? b + CharLengthAt(b) : b;
}

TextPos TextModel::NextBoundary(TextPos pos) const {
  TextPos b = BoundaryAtOrBefore(pos);
  return b >= Length() ? Length() : b + CharLengthAt(b);
}

TextPos TextModel::PrevBoundary(TextPos pos) const {
  if (pos <= 0) return 0;
  return BoundaryAtOrBefore(BoundaryAtOrBefore(pos) - 1);
}

int TextModel::WordClassAt(TextPos pos) const {
  unsigned char b = ByteAt(pos);
  if (CharLengthAt(pos) == 2 && b != kCR) {
    unsigned code = (b << 8) | ByteAt(pos + 1);
    if (code >= 0x829F && code <= 0x82F1) return kHiragana;
    if ((code >= 0x8340 && code <= 0x8396) || code == 0x815B) return kKatakana;
    if (code >= 0x824F && code <= 0x829A) return kWideAlnum;
    if (code >= 0x889F) return kKanji;
    return kWideSymbol;
  }
  if (b == ' ' || b == '\t') return kBlank;
  if (b == kCR || b == kLF) return kBreak;
  if (b >= 0xA1 && b <= 0xDF) return kHalfKana;
  if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_' || b >= 0x80)
    return kWord;
  return kPunct;
}

TextPos TextModel::WordStartAfter(TextPos pos) const {
  TextPos p = BoundaryAtOrBefore(pos);
  if (p >= Length()) return Length();
  int kind = WordClassAt(p);
  if (kind == kBreak) return p + CharLengthAt(p);
  if (kind != kBlank) {
    while (p < Length() && WordClassAt(p) == kind) p += CharLengthAt(p);
  }
  while (p < Length() && WordClassAt(p) == kBlank) p += CharLengthAt(p);
  return p;
}

// Finding the character before a position can mean scanning back over a whole
// run of lead-valued bytes, so the word functions never step backwards: they
// walk the characters of one line forwards once, from its start.
TextModel::Runs TextModel::WalkRuns(TextPos from, TextPos to) const {
  Runs r;
  int kind = -1;
  TextPos runStart = from;
  for (TextPos q = from; q < to; q += CharLengthAt(q)) {
    int k = WordClassAt(q);
    if (k != kind) {
      kind = k;
      runStart = q;
    }
    r.lastChar = q;
    r.lastRun = runStart;
    r.lastKind = k;
    if (k != kBlank) r.lastWordRun = runStart;
  }
  return r;
}

TextPos TextModel::WordStartBefore(TextPos pos) const {
  TextPos p = BoundaryAtOrBefore(pos);
  if (p <= 0) return 0;
  int line = LineFromPos(p);
  if (p == LineStart(line)) p = LineEnd(--line);  // over the line break before p
  TextPos start = LineStart(line);
  Runs r = WalkRuns(start, p);
  return r.lastWordRun >= 0 ? r.lastWordRun : start;
}

void TextModel::WordAround(TextPos pos, TextPos* start, TextPos* end) const {
  TextPos p = BoundaryAtOrBefore(pos);
  int line = LineFromPos(p);
  TextPos lineStart = LineStart(line), lineEnd = LineEnd(line);
  // At a line's end the word is the one before it, if any.
  Runs r = WalkRuns(lineStart, p < lineEnd ? p + CharLengthAt(p) : lineEnd);
  if (r.lastChar < 0) {
    *start = *end = p;
    return;
  }
  TextPos e = r.lastChar;
  while (e < lineEnd && WordClassAt(e) == r.lastKind) e += CharLengthAt(e);
  *start = r.lastRun;
  *end = e;
}

bool TextModel::StartsLineAt(TextPos pos) const {
  if (pos <= 0 || pos > Length()) return false;
  unsigned char before = ByteAt(pos - 1);
  if (before == kLF) return true;
  return before == kCR && (pos == Length() || ByteAt(pos) != kLF);
}

void TextModel::Replace(TextPos pos, int removeLength, const char* text, int insertLength) {
  if (pos < 0 || removeLength < 0 || pos + removeLength > Length()) return;
  if (insertLength < 0) insertLength = 0;
  if (removeLength == 0 && insertLength == 0) return;
  // Everything that can fail is allocated before anything changes: a new line
  // can start after each inserted line-break byte and at pos itself.
  bytes_.EnsureRoom(insertLength);
  lines_.EnsureRoom(static_cast<int>(std::count_if(text, text + insertLength, [](char c) { return c == '\r' || c == '\n'; })) + 1);

  // Whether a line starts at q depends only on the bytes at q - 1 and q, so the
  // starts in [pos, pos + removeLength] are the only ones the change can affect.
  int line = LineFromPos(pos);
  int firstAffected = line + 1;
  if (pos > 0 && LineStart(line) == pos) firstAffected = line;
  int lastAffected = firstAffected;  // exclusive
  while (lastAffected < LineCount() && LineStart(lastAffected) <= pos + removeLength) ++lastAffected;
  for (int i = lastAffected - 1; i >= firstAffected; --i) lines_.RemoveLine(i);

  bytes_.DeleteRange(pos, removeLength);
  bytes_.InsertRange(pos, text, insertLength);
  lines_.ShiftAfter(firstAffected - 1, insertLength - removeLength);

  int at = firstAffected;
  for (TextPos q = pos > 0 ? pos : 1; q <= pos + insertLength; ++q) {
    if (StartsLineAt(q)) lines_.InsertLine(at++, q);
  }
}

void TextModel::SetText(const char* text, int length) {
  // Built aside and moved in, so that a failure leaves the old text.
  SplitVector<char> bytes;
  bytes.InsertRange(0, text, length);
  LineStarts lines;
  lines.Reset(length);
  for (int i = 0; i < length; ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b == kLF || (b == kCR && (i + 1 == length || text[i + 1] != '\n'))) lines.AppendLine(i + 1);
  }
  bytes_ = std::move(bytes);
  lines_ = std::move(lines);
}

}  // namespace rv::textctl
