// The macro helper's own copy of the text and the selection of the view a
// macro runs against. It answers the "editor" object's reads without asking
// the editor, and each change it makes comes out as one MacroEdit that leaves
// the view exactly as this copy when the editor applies it (ApplyMacroEdit):
// the same bytes, the same caret. It follows what the view's operations do:
// a written string ends at its first NUL; writing a line keeps its line break
// and puts the caret at the line's start; writing the selection or the whole
// text puts the caret after what was written. No Windows header.
#pragma once
#include <string>
#include "macros/macro_protocol.h"
#include "platform/textctl/text_model.h"

class MacroTextCopy {
 public:
  // `start` and `end` are the view's selection.
  MacroTextCopy(const std::string& text, int start, int end);

  std::string AllText() const;
  std::string SelectedText() const;
  int LineCount() const { return m_text.LineCount(); }
  // An index outside 0..LineCount()-1 is no line: "".
  std::string LineText(int index) const;
  // The same in place, valid until the next change.
  rv::textctl::TextSpans LineSpans(int index) const;
  int SelectionStart() const { return m_start; }
  int SelectionEnd() const { return m_end; }

  // Each change: false when the view would not change at all (then `edit` is
  // not filled and nothing needs to reach the editor).
  bool ReplaceAll(const std::string& text, MacroEdit& edit);
  bool ReplaceSelection(const std::string& text, MacroEdit& edit);
  bool ReplaceLine(int index, const std::string& text, MacroEdit& edit);

  const rv::textctl::TextReader& Reader() const { return m_text; }

 private:
  // Replaces [start, end) by `text` up to its first NUL; the caret at `caret`
  // (or the boundary after it).
  void Replace(int start, int end, const std::string& text, int caret, MacroEdit& edit);
  rv::textctl::TextModel m_text;
  int m_start = 0;  // invariant: 0 <= m_start <= m_end <= m_text.Length()
  int m_end = 0;
};
