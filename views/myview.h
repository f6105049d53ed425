// The script view: the colouring view with the line-number strip in its left
// margin, the settings taken from the main window, the status bar's line
// indicator, auto-indentation, delete to the end of the line, go to line and
// the shortcut menu. Everything it remembers is its own: two windows never
// disturb each other's strip, indicator or selection repaint.
#pragma once
#include <string>
#include "views/colorview.h"
#include "views/gutter.h"

class CMyView : public CColorEditView {
 public:
  static const int kGutterWidth = 31;
  static const int kLeftMargin = 32;

  explicit CMyView(ViewServices services = {}) : CColorEditView(std::move(services)) {}

  int m_lastChar = 0;       // the last character typed; 0 after a click or an arrow key
  BOOL m_autoIndent = TRUE;
  CLineNumberWnd m_lineNumbers;
  int m_shownLine = 0, m_shownColumn = 0, m_shownLineCount = 0;  // of the line indicator

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  // Add macro (32796): saves the document as a macro file through the view's
  // services; without one the command is disabled.
  void OnMacroAdd();
  void OnUpdateMacroAdd(CCmdUI* ui);

  // Commands: go to line (Ctrl+G), delete to the end of the line (Ctrl+Delete).
  void OnGoToLine();
  void OnDeleteToEndOfLine();
  // The status bar's " 行: %4d": the caret's line, counted from 1.
  void OnUpdateLineIndicator(CCmdUI* ui);
  // The index where the caret stands (the moving end of the selection).
  int CaretIndex() const;

 protected:
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnChar(WPARAM, LPARAM);
  LRESULT OnKeyDown(WPARAM, LPARAM);
  LRESULT OnSysKeyDown(WPARAM, LPARAM);
  LRESULT OnKeyUp(WPARAM, LPARAM);
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnContextMenu(WPARAM, LPARAM);
  void OnNothing() {}
  // Font, colours, tab stops, auto-indent and colouring language; then the
  // margins, which a new font resets, and the strip.
  void ApplyViewSettings(const ViewSettings& settings, int hint) override;
  // The strip marks the syntax error's line red.
  void OnSyntaxErrorLine(int line) override { m_lineNumbers.SetErrorLine(line); }

 private:
  // Tells the strip of a new caret line, and repaints it after a scroll.
  void FollowCaret();
  // Repaints the colours of the lines whose selection state changed from
  // [s0, e0) to [s, e).
  void RepaintSelectionChange(int s0, int e0, int s, int e);
  int m_toldLine = 0;       // the caret line last told to this view's strip
  int m_toldFirstLine = 0;  // the first visible line the strip was last painted for
  size_t m_toldDigits = 1;  // the digits of the line count the strip was last painted for
  int m_depth = 0;          // nesting of this view's messages
  int m_seenSelStart = 0, m_seenSelEnd = 0;  // the selection at the last indicator update
  std::string m_indicator;  // the indicator's text
  std::string m_indicatorWidthSample;  // the text its pane's width is taken from

 public:
  // Printing and print preview (views/myview_print.cpp): the horizontal
  // scroll bar and automatic horizontal scrolling are off from the start of a
  // run to its end, whichever way it ends; the pages get margins, the path
  // (or title) as header, rules and "- n -" as footer. A preview lays out all
  // pages at once and starts at the page that holds the selection.
  BOOL OnPreparePrinting(CPrintInfo* info) override;
  void OnPrint(HDC dc, CPrintInfo* info) override;
  void OnEndPrinting(HDC dc, CPrintInfo* info) override;
  RECT GetPrintBodyRect(CPrintInfo* info) override;

 private:
  DWORD m_printStyles = 0;      // the scroll styles a print run took away
  bool m_printStylesOff = false;  // a run holds them
  DECLARE_MESSAGE_MAP()
};
