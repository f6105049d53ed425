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

  // Creates the strip (0, 0, width, 1) in the text control `parentView`.
  BOOL Create(int width, CWnd* parentView);
  // Records the caret's new line; repaints only the two rows when the text has
  // not scrolled since the last paint, else the whole strip.
  void SetCurrentLine(int previousLine, int newLine);

  COLORREF m_backColor = RGB(0, 255, 255);
  int m_width = 0;
  int m_currentLine = 0;
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
  // The line at client y (signed: above the strip is before its first row),
  // limited to the text's lines.
  int LineAtY(int y) const;
  // The first index after `line` with its line break (the text's end for the last line).
  int LineEnd(int line) const;
  LRESULT Control(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
  DECLARE_MESSAGE_MAP()
};
