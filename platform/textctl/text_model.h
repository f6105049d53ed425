// The text of one text control: CP932 bytes in a gap buffer and the index of its
// line starts. All knowledge of code page 932 and of line breaks lives here; the
// window side asks this class where characters and lines begin. No Windows header.
//
// Offsets are byte offsets (TextPos). A double-byte character (lead byte 0x81-0x9F
// or 0xE0-0xFC followed by a trail byte 0x40-0x7E or 0x80-0xFC) and a CR LF pair
// each count 2. A lead byte not followed by a trail byte stands alone. Lines end at
// CR LF, at a lone CR or at a lone LF; a text ending in a line break has an empty
// last line. A character boundary is an offset that does not fall inside a
// double-byte character or between CR and LF; lines always start on one.
//
// Costs: Replace is proportional to the bytes removed and inserted plus O(log n);
// line and offset queries are O(log n); boundary tests scan back only over a run of
// lead-valued bytes. ContiguousText moves the gap to the end once per change.
#pragma once
#include <string>
#include "platform/textctl/line_starts.h"
#include "platform/textctl/split_vector.h"

namespace rv::textctl {

using TextPos = int;

class TextModel {
 public:
  static bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
  static bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

  TextPos Length() const { return bytes_.Length(); }
  // The byte at pos, or 0 outside the text.
  unsigned char ByteAt(TextPos pos) const { return static_cast<unsigned char>(bytes_.ValueAt(pos)); }
  // Copies [pos, pos + count) clipped to the text; returns the bytes copied.
  int GetRange(TextPos pos, int count, char* out) const;
  std::string Range(TextPos pos, int count) const;
  // The whole text as one NUL-terminated string, valid until the next change.
  const char* ContiguousText() { return bytes_.BufferPointer(); }

  int LineCount() const { return lines_.Lines(); }
  // First offset of a line; LineCount() gives Length().
  TextPos LineStart(int line) const { return lines_.Start(line); }
  // Offset just past a line's text, before its line break.
  TextPos LineEnd(int line) const;
  int LineLength(int line) const { return LineEnd(line) - LineStart(line); }
  // The line containing pos; the last line for pos >= Length().
  int LineFromPos(TextPos pos) const { return lines_.LineFromPos(pos); }

  // Length of the character (or CR LF pair) starting at the boundary pos: 1 or 2;
  // 0 at the end of the text.
  int CharLengthAt(TextPos pos) const;
  bool IsBoundary(TextPos pos) const { return BoundaryAtOrBefore(pos) == pos; }
  // pos moved back to the nearest boundary (pos clipped to [0, Length()]).
  TextPos BoundaryAtOrBefore(TextPos pos) const;
  // pos moved forward to the nearest boundary.
  TextPos BoundaryAtOrAfter(TextPos pos) const;
  // The boundary after / before the boundary pos (clamped at the ends).
  TextPos NextBoundary(TextPos pos) const;
  TextPos PrevBoundary(TextPos pos) const;

  // Word movement as an edit control does it, within and across lines.
  TextPos WordStartBefore(TextPos pos) const;
  TextPos WordStartAfter(TextPos pos) const;
  // The word around pos for a double-click: [*start, *end).
  void WordAround(TextPos pos, TextPos* start, TextPos* end) const;

  // The one gateway for changes: removes [pos, pos + removeLength) and inserts
  // text there. pos and pos + removeLength must be boundaries.
  void Replace(TextPos pos, int removeLength, const char* text, int insertLength);
  void SetText(const char* text, int length);

 private:
  SplitVector<char> bytes_;
  LineStarts lines_;

  // True when a line begins at pos (0 < pos <= Length()).
  bool StartsLineAt(TextPos pos) const;
  int CharClass(TextPos pos) const;
};

}  // namespace rv::textctl
