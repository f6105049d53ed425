// The line-number strip at the left edge of a script window's text: the numbers
// of the visible lines by the control's own line height, the caret's line white
// on blue and the others black on cyan; a click selects a whole line, a drag a
// range of whole lines. A child window (id 999) of the view's text control,
// which clips its children, so the control's painting leaves it alone. It
// keeps no copy of the text: everything comes from the control at paint time.
#pragma once
#include "platform/framework/wnd.h"

class CLineNumberWnd : public CWnd {
 public:
  static const int kControlId = 999;

  CLineNumberWnd();
  ~CLineNumberWnd() override;

  // Creates the strip (0, 0, width, 1) in the text control `parentView`; the
  // strip is never narrower than this width.
  BOOL Create(int width, CWnd* parentView);
  // The control's left margin that puts the text just right of the strip.
  int TextMargin() const { return m_width + 1; }
  // Records the caret's new line; repaints only the two rows when the text has
  // not scrolled since the last paint, else the whole strip.
  void SetCurrentLine(int previousLine, int newLine);
  // Marks line `line` (from 0) red as the syntax check's error; -1 marks none.
  void SetErrorLine(int line);
  int ErrorLine() const { return m_errorLine; }

  COLORREF m_backColor = RGB(0, 255, 255);
  int m_width = 0;         // grows with the numbers shown, see FitWidth
  int m_createdWidth = 0;  // the narrowest the strip gets
  int m_currentLine = 0;
  int m_errorLine = -1;
  int m_anchorLine = 0;
  HCURSOR m_cursor = nullptr;
  HFONT m_font = nullptr;
  TEXTMETRICA m_textMetrics = {};
  int m_paintedFirstLine = 0;
  int m_lastDragLine = 0;  // the line the current drag last selected to

 protected:
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnSetCursor(WPARAM, LPARAM);
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnMouseMove(WPARAM, LPARAM);
  LRESULT OnLButtonUp(WPARAM, LPARAM);

 private:
  int RowHeight() const;
  // Reads the control's font metrics and sets the width the numbers of the
  // last line and of the rows below it need; when it changes, the whole strip
  // is invalidated and the control's left margin follows it.
  void FitWidth(int height);
  // The line at client y (signed: above the strip is before its first row),
  // limited to the text's lines.
  int LineAtY(int y) const;
  // The first index after `line` with its line break (the text's end for the last line).
  int LineEnd(int line) const;
  LRESULT Control(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
  DECLARE_MESSAGE_MAP()
};
