// The script view: creation and settings, the line-number strip kept in step,
// the line indicator, auto-indentation, delete to the end of the line, go to
// line and the shortcut menu.
#include "views/myview.h"

#include <windowsx.h>
#include <algorithm>
#include <cstdio>
#include "platform/framework/app.h"
#include "platform/framework/bars.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"
#include "views/auto_indent.h"
#include "views/gotolinedlg.h"

BEGIN_MESSAGE_MAP(CMyView, CColorEditView)
  ON_MESSAGE(WM_CREATE, OnCreate)
  ON_COMMAND(ID_MACRO_ADD, OnMacroAdd)
  ON_UPDATE_COMMAND_UI(ID_MACRO_ADD, OnUpdateMacroAdd)
  ON_MESSAGE(WM_CHAR, OnChar)
  ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
  ON_MESSAGE(WM_SYSKEYDOWN, OnSysKeyDown)
  ON_MESSAGE(WM_KEYUP, OnKeyUp)
  ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
  ON_MESSAGE(WM_CONTEXTMENU, OnContextMenu)
  ON_COMMAND(ID_EDIT_GOTO_LINE, OnGoToLine)
  ON_COMMAND(ID_EDIT_DELETE_TO_EOL, OnDeleteToEndOfLine)
  ON_COMMAND(ID_EDIT_CTRL_SHIFT_DELETE, OnNothing)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_LINE, OnUpdateLineIndicator)
END_MESSAGE_MAP(CColorEditView)

LRESULT CMyView::OnCreate(WPARAM wp, LPARAM lp) {
  if (CColorEditView::OnCreate(wp, lp) == -1) return -1;
  // The settings as the font and colour hint gives them: font, colours, tab
  // stops, then (ApplyViewSettings) auto-indent, language and margins.
  CMyEditView::OnUpdate(nullptr, 1, nullptr);
  SetMargins(kLeftMargin, 0);
  m_lineNumbers.Create(kGutterWidth, this);
  return 0;
}

void CMyView::ApplyViewSettings(const ViewSettings& settings, int hint) {
  CColorEditView::ApplyViewSettings(settings, hint);
  m_autoIndent = settings.autoIndent ? TRUE : FALSE;
  SetMargins(m_lineNumbers.m_hWnd ? m_lineNumbers.TextMargin() : kLeftMargin, 0);
  if (m_lineNumbers.m_hWnd) InvalidateRect(m_lineNumbers.m_hWnd, nullptr, FALSE);
}

int CMyView::CaretIndex() const { return static_cast<int>(SendMessage(RVEM_GETCARET)); }

// ---------------------------------------------------------------- following the caret

LRESULT CMyView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  ++m_depth;
  const LRESULT result = CColorEditView::WindowProc(msg, wp, lp);
  --m_depth;
  // After the outermost message: whatever moved the caret or scrolled (keys,
  // the mouse, the scroll bars, the wheel, selection messages) is seen here.
  // While drawing is held (a macro's edits, each a message of its own) the
  // strip waits: turning drawing on is such a message, and catches up.
  if (m_depth == 0 && !DrawingHeld() && msg != WM_DESTROY && msg != WM_NCDESTROY && m_hWnd && IsWindow(m_hWnd) &&
      m_lineNumbers.m_hWnd && IsWindow(m_lineNumbers.m_hWnd)) {
    ++m_depth;  // its own questions to the control are not followed again
    FollowCaret();
    --m_depth;
  }
  return result;
}

void CMyView::FollowCaret() {
  const int first = GetFirstVisibleLine();
  // The strip's width follows the number of digits of the line count.
  const size_t digits = std::to_string(GetLineCount()).size();
  if (first != m_toldFirstLine || digits != m_toldDigits) {
    m_toldFirstLine = first;
    m_toldDigits = digits;
    InvalidateRect(m_lineNumbers.m_hWnd, nullptr, FALSE);
  }
  const int line = LineFromChar(CaretIndex());
  if (line != m_toldLine) {
    m_lineNumbers.SetCurrentLine(m_toldLine, line);
    m_toldLine = line;
  }
}

void CMyView::RepaintSelectionChange(int s0, int e0, int s, int e) {
  const RECT format = GetRect();
  const int h = std::max<int>(1, static_cast<int>(SendMessage(RVEM_GETLINEHEIGHT)));
  auto band = [&](int from, int to) {
    return RECT{format.left, PosFromChar(from).y, format.right, PosFromChar(to).y + h};
  };
  const RECT a = band(s0, e0), b = band(s, e);
  RECT both;
  UnionRect(&both, &a, &b);
  if (!IsRectEmpty(&both)) PaintSyntaxColors(&both);
}

void CMyView::OnUpdateLineIndicator(CCmdUI* ui) {
  int s = 0, e = 0;
  GetSel(s, e);
  if (s != m_seenSelStart || e != m_seenSelEnd) {
    RepaintSelectionChange(m_seenSelStart, m_seenSelEnd, s, e);
    m_seenSelStart = s;
    m_seenSelEnd = e;
  }
  // The control knows where its caret stands; no guess from the selection.
  const int caret = CaretIndex();
  const int lineIndex = LineFromChar(caret);
  const int line = lineIndex + 1;
  const int column = caret - LineIndex(lineIndex) + 1;
  const int count = GetLineCount();
  if (line != m_shownLine || column != m_shownColumn || count != m_shownLineCount || m_indicator.empty()) {
    m_shownLine = line;
    m_shownColumn = column;
    m_shownLineCount = count;
    char text[32];
    snprintf(text, sizeof text, " 行: %4d", line);
    m_indicator = text;
    // The pane's string holds four digits; a longer text widens the pane to
    // the digits of its last line.
    m_indicatorWidthSample = LoadResString(ID_INDICATOR_LINE);
    const int digits = static_cast<int>(std::to_string(count).size());
    if (digits > 4) m_indicatorWidthSample.append(static_cast<size_t>(digits - 4), '8');
  }
  ui->SetText(m_indicator.c_str());
  if (auto* bar = dynamic_cast<CStatusBar*>(ui->m_pOther))
    bar->SetPaneWidthFor(bar->CommandToIndex(ID_INDICATOR_LINE), m_indicatorWidthSample);
}

// ---------------------------------------------------------------- typing

LRESULT CMyView::OnChar(WPARAM wp, LPARAM lp) {
  const int c = static_cast<int>(wp);
  if (!m_autoIndent || (c != '\r' && c != '}')) {
    const LRESULT result = CColorEditView::OnChar(wp, lp);
    m_lastChar = c;
    return result;
  }
  // Enter with what it indents, or a brace with its move, is one step of undo.
  UndoGroup group(m_undo);
  std::string before;  // the caret line's bytes before the caret
  const bool enter = c == '\r';
  if (enter) {
    SetRedraw(false);
    int s = 0, e = 0;
    GetSel(s, e);
    const int start = LineIndex(LineFromChar(s));
    if (s > start) before = GetTextRange(start, static_cast<int>(indent::LookedAt(static_cast<size_t>(s - start))));
  }
  const LRESULT result = CColorEditView::OnChar(wp, lp);
  if (!m_hWnd) return result;
  int s = 0, e = 0;
  GetSel(s, e);
  if (enter && !before.empty()) {
    // The new line continues the lexer state the line above ends in.
    const int line = LineFromChar(s);
    const bool code = line > 0 && LineState(line) == 0;
    const std::string indentation = indent::AfterEnter(before, code && m_syntaxMode == 1);
    if (!indentation.empty()) ReplaceSelWithUndo(indentation.c_str());
  } else if (c == '}' && m_syntaxMode == 1 && m_lastChar == '\r' && s == e) {
    // Only on a line of nothing but blanks and tabs before the brace: the
    // caret may have moved since the Enter (End, a search, undo).
    const int first = LineIndex(LineFromChar(s));
    if (first + 1 < s && indent::BraceMovesBack(GetTextRange(first, s - 1 - first))) {
      SetSel(s - 2, s);
      ScrollCaret();
      ReplaceSelWithUndo("}");
    }
  }
  m_lastChar = c;
  if (enter) {
    SetRedraw(true);
    GetSel(s, e);
    SetSel(s, e);
    ScrollCaret();
  }
  return result;
}

LRESULT CMyView::OnKeyDown(WPARAM key, LPARAM lp) {
  if (key >= VK_LEFT && key <= VK_DOWN) m_lastChar = 0;
  if (key == VK_APPS) return SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(-1, -1));
  return CColorEditView::OnKeyDown(key, lp);
}

// Shift+F10 asks for the shortcut menu as the Apps key does; taken here so
// that the system's handling neither shows it twice nor turns the menu bar on.
LRESULT CMyView::OnSysKeyDown(WPARAM key, LPARAM lp) {
  if (key == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000))
    return SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(-1, -1));
  return Default();
}

LRESULT CMyView::OnKeyUp(WPARAM key, LPARAM) { return key == VK_APPS ? 0 : Default(); }

LRESULT CMyView::OnLButtonDown(WPARAM wp, LPARAM lp) {
  m_lastChar = 0;
  return CMyEditView::OnLButtonDown(wp, lp);
}

// ---------------------------------------------------------------- commands

void CMyView::OnDeleteToEndOfLine() {
  int s = 0, e = 0;
  GetSel(s, e);
  if (s != e) {
    OnEditClear();
    return;
  }
  const int d = CaretIndex();
  const int line = LineFromChar(d);
  // The line's own bytes end where its line break begins, whichever it is.
  const int end = line + 1 < GetLineCount() ? LineIndex(line) + LineLength(LineIndex(line)) : GetTextLength();
  if (end <= d) return;
  SetRedraw(false);
  SetSel(d, end);
  ScrollCaret();
  OnEditClear();
  SetRedraw(true);
  SetSel(d, d);
  ScrollCaret();
}

void CMyView::OnGoToLine() {
  const unsigned count = static_cast<unsigned>(GetLineCount());
  // Every line of a long file is reachable; a number past the last line of a
  // short one is refused by the message below, as the dialog allows 65535.
  CGoToLineDlg dialog(static_cast<unsigned>(LineFromChar(-1) + 1), std::max(65535u, count), this);
  if (dialog.DoModal() != IDOK) return;
  if (dialog.m_line - 1 < count) {
    const int at = LineIndex(static_cast<int>(dialog.m_line - 1));
    SetSel(at, at);
    ScrollCaret();
  } else {
    AfxMessageBox("指定された行はありません。", MB_OK | MB_ICONEXCLAMATION);
  }
}

LRESULT CMyView::OnContextMenu(WPARAM, LPARAM lp) {
  POINT p = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (p.x == -1 && p.y == -1) {
    const DWORD at = GetMessagePos();  // the mouse when the key was pressed
    p = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  }
  // Only over the text: not over the line numbers in the margin.
  RECT format = GetRect();
  MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&format), 2);
  if (!PtInRect(&format, p)) return 0;
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
  if (!menu) return 0;
  CWnd* main = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
  AfxTrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, p, main ? main->m_hWnd : ::GetParent(m_hWnd));
  DestroyMenu(menu);
  return 0;
}

void CMyView::OnMacroAdd() {
  if (Services().addMacro) Services().addMacro(*this);
}

void CMyView::OnUpdateMacroAdd(CCmdUI* ui) { ui->Enable(Services().addMacro && GetTextLength() > 0); }
