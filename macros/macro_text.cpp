// The macro helper's copy of the text (see macro_text.h).
#include "macros/macro_text.h"
#include <algorithm>
#include <cstring>

MacroTextCopy::MacroTextCopy(const std::string& text, int start, int end) {
  m_text.SetText(text.data(), static_cast<int>(text.size()));
  const int length = m_text.Length();
  m_start = std::clamp(std::min(start, end), 0, length);
  m_end = std::clamp(std::max(start, end), m_start, length);
}

std::string MacroTextCopy::AllText() const {
  std::string out;
  m_text.AllSpans().CopyTo(out);
  return out;
}

std::string MacroTextCopy::SelectedText() const {
  std::string out;
  m_text.Spans(m_start, m_end - m_start).CopyTo(out);
  return out;
}

rv::textctl::TextSpans MacroTextCopy::LineSpans(int index) const {
  return index >= 0 && index < m_text.LineCount() ? m_text.LineSpans(index) : rv::textctl::TextSpans{};
}

std::string MacroTextCopy::LineText(int index) const {
  std::string out;
  LineSpans(index).CopyTo(out);
  return out;
}

void MacroTextCopy::Replace(int start, int end, const std::string& text, int caret, MacroEdit& edit) {
  const size_t length = strnlen(text.data(), text.size());
  m_text.Replace(start, end - start, text.data(), static_cast<int>(length));
  m_start = m_end = m_text.BoundaryAtOrAfter(caret);
  edit.start = start;
  edit.end = end;
  edit.caret = m_start;
  edit.text.assign(text.data(), length);
}

bool MacroTextCopy::ReplaceAll(const std::string& text, MacroEdit& edit) {
  // The view selects everything, then replaces the selection: with nothing
  // to write into an empty text only the selection moves.
  const int length = m_text.Length();
  Replace(0, length, text, static_cast<int>(strnlen(text.data(), text.size())), edit);
  return true;
}

bool MacroTextCopy::ReplaceSelection(const std::string& text, MacroEdit& edit) {
  const size_t length = strnlen(text.data(), text.size());
  if (length == 0 && m_start == m_end) return false;  // nothing selected, nothing written
  Replace(m_start, m_end, text, m_start + static_cast<int>(length), edit);
  return true;
}

bool MacroTextCopy::ReplaceLine(int index, const std::string& text, MacroEdit& edit) {
  if (index < 0 || index >= m_text.LineCount()) return false;
  const int start = m_text.LineStart(index);
  Replace(start, m_text.LineEnd(index), text, start, edit);
  return true;
}
