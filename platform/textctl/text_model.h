// The text of one text control: CP932 bytes in a gap buffer and the index of its
// line starts. The knowledge of characters and line breaks lives here (the byte
// rules themselves in platform/cp932.h); the window side asks this class where
// characters and lines begin. No Windows header.
//
// Offsets are byte offsets (TextPos). A double-byte character (a lead byte
// followed by a trail byte) and a CR LF pair each count 2. A lead byte not followed by a trail byte stands alone. Lines end at
// CR LF, at a lone CR or at a lone LF; a text ending in a line break has an empty
// last line. A character boundary is an offset that does not fall inside a
// double-byte character or between CR and LF; lines always start on one.
//
// Costs: Replace is proportional to the bytes removed and inserted plus O(log n);
// line and offset queries are O(log n); boundary tests scan back only over a run of
// lead-valued bytes; word movement walks one line once. ContiguousText moves the
// gap to the end once per change; the reads of TextReader (Spans, LineSpans) never
// move it.
#pragma once
#include <string>
#include "platform/textctl/line_starts.h"
#include "platform/textctl/split_vector.h"
#include "platform/textctl/text_reader.h"

namespace rv::textctl {

class TextModel final : public TextReader {
 public:
  TextPos Length() const override { return bytes_.Length(); }
  // The byte at pos, or 0 outside the text.
  unsigned char ByteAt(TextPos pos) const { return static_cast<unsigned char>(bytes_.ValueAt(pos)); }
  // Copies [pos, pos + count) clipped to the text; returns the bytes copied.
  int GetRange(TextPos pos, int count, char* out) const;
  std::string Range(TextPos pos, int count) const;
  // The whole text as one NUL-terminated string, valid until the next change.
  const char* ContiguousText() { return bytes_.BufferPointer(); }
  // The text in place in two parts, without moving the gap; valid until the next change.
  void Parts(const char*& part1, int& length1, const char*& part2, int& length2) const {
    bytes_.Parts(part1, length1, part2, length2);
  }

  TextSpans Spans(TextPos pos, int count) const override;

  int LineCount() const override { return lines_.Lines(); }
  // First offset of a line; LineCount() gives Length().
  TextPos LineStart(int line) const override { return lines_.Start(line); }
  // Offset just past a line's text, before its line break.
  TextPos LineEnd(int line) const override;
  int LineLength(int line) const { return LineEnd(line) - LineStart(line); }
  // The line containing pos; the last line for pos >= Length().
  int LineFromPos(TextPos pos) const override { return lines_.LineFromPos(pos); }

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

  // The class of the character at the boundary pos for word movement: blank,
  // line break, or one of the kinds of word characters (runs of one kind form
  // a word).
  enum { kBlankClass = 0, kBreakClass = 1 };
  int WordClassAt(TextPos pos) const;

  // Word movement as an edit control does it, within and across lines.
  TextPos WordStartBefore(TextPos pos) const;
  TextPos WordStartAfter(TextPos pos) const;
  // The word around pos for a double-click: [*start, *end).
  void WordAround(TextPos pos, TextPos* start, TextPos* end) const;

  // The one gateway for changes: removes [pos, pos + removeLength) and inserts
  // text there. Any offsets will do (the history puts back exact bytes); the
  // boundaries around them follow from the bytes. When memory runs out it
  // throws bad_alloc and leaves the model as it was; so does SetText.
  void Replace(TextPos pos, int removeLength, const char* text, int insertLength);
  void SetText(const char* text, int length);

 private:
  SplitVector<char> bytes_;
  LineStarts lines_;

  // True when a line begins at pos (0 < pos <= Length()).
  bool StartsLineAt(TextPos pos) const;

  // The characters of [from, to), a stretch of one line starting on a
  // boundary, walked forwards: the start and class of the last character, the
  // start of the run of its class that it ends, and the start of the last run
  // that is not blank (-1 each when there is none).
  struct Runs {
    TextPos lastChar = -1;
    TextPos lastRun = -1;
    int lastKind = -1;
    TextPos lastWordRun = -1;
  };
  Runs WalkRuns(TextPos from, TextPos to) const;
};

}  // namespace rv::textctl
