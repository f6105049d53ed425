// The narrow read interface on the text of a text control, for readers inside the
// program (search, the colouring pass, printing): the line count, line starts and
// a range's bytes in place as at most two spans. Nothing here copies the text or
// moves the gap of the buffer it lives in, so reading one line costs that line
// only. No Windows header.
//
// Lifetime: a reader lives as long as its text (for a control, as long as the
// window). Spans point into the text itself and stay valid only until the next
// change of the text; read them, do not keep them across a change.
#pragma once
#include <string>

namespace rv::textctl {

using TextPos = int;

// Bytes read in place: `part1` followed by `part2`, either of which may be empty.
// Neither is NUL-terminated.
struct TextSpans {
  const char* part1 = nullptr;
  int length1 = 0;
  const char* part2 = nullptr;
  int length2 = 0;

  int Length() const { return length1 + length2; }
  unsigned char At(int i) const {
    return static_cast<unsigned char>(i < length1 ? part1[i] : part2[i - length1]);
  }
  // The `n` bytes at `pos` (inside the spans) as one array: in place when they
  // lie in one span, else copied into `scratch`. Valid while both are.
  const char* Bytes(int pos, int n, std::string& scratch) const {
    if (pos + n <= length1) return part1 + pos;
    if (pos >= length1) return part2 + (pos - length1);
    scratch.assign(part1 + pos, static_cast<size_t>(length1 - pos));
    scratch.append(part2, static_cast<size_t>(n - (length1 - pos)));
    return scratch.data();
  }
  // Every byte copied into `out` (for a reader that changes what it reads).
  void CopyTo(std::string& out) const {
    out.assign(part1, static_cast<size_t>(length1));
    if (length2 > 0) out.append(part2, static_cast<size_t>(length2));
  }
  // Every byte as one array, in place or copied into `scratch`.
  const char* Contiguous(std::string& scratch) const { return Bytes(0, Length(), scratch); }
};

class TextReader {
 public:
  virtual int Length() const = 0;
  // Lines end at CR LF, a lone CR or a lone LF; a text ending in a line break
  // has an empty last line, so an empty text has one line.
  virtual int LineCount() const = 0;
  // First offset of a line (0 <= line <= LineCount(); LineCount() gives Length()).
  virtual TextPos LineStart(int line) const = 0;
  // Offset just past a line's text, before its line break.
  virtual TextPos LineEnd(int line) const = 0;
  // The line holding pos; the last line for pos >= Length().
  virtual int LineFromPos(TextPos pos) const = 0;
  // The bytes [pos, pos + count) clipped to the text, in place.
  virtual TextSpans Spans(TextPos pos, int count) const = 0;

  // A line's text without its line break, in place.
  TextSpans LineSpans(int line) const { return Spans(LineStart(line), LineEnd(line) - LineStart(line)); }
  // The whole text, in place.
  TextSpans AllSpans() const { return Spans(0, Length()); }

 protected:
  ~TextReader() = default;
};

}  // namespace rv::textctl
