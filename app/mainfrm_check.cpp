// The main window's syntax check command (see mainfrm.h): Ctrl+F7.
#include "app/mainfrm.h"
#include "resources/resource.h"
#include "views/myview.h"
#include "views/syntax_lexer.h"

namespace {
CMyEditView* ActiveEditView(CMDIFrameWnd& frame) {
  CMDIChildWnd* child = frame.MDIGetActive();
  return child ? dynamic_cast<CMyEditView*>(child->GetActiveView()) : nullptr;
}

// The caret at byte `column` of line `line` (both from 0), within the line.
void PutCaret(CMyEditView& view, int line, int column) {
  if (line < 0 || line >= view.GetLineCount()) return;
  const int start = view.LineIndex(line);
  if (start < 0) return;
  const int at = start + (column < view.LineLength(start) ? column : view.LineLength(start));
  view.SetSel(at, at);
  view.ScrollCaret();
}
}  // namespace

void CMainFrame::OnScriptCheck() {
  CMyEditView* view = ActiveEditView(*this);
  if (!view) return;
  const ScriptCheckResult result = m_checker.Check(view->GetText(), view->m_syntaxMode == syntax::kVBScript ? 1 : 0);
  const bool error = result.state == ScriptCheckResult::Error;
  if (error) PutCaret(*view, result.line, result.byteColumn);
  // The error's line is marked red in the gutter until a check finds none.
  if (auto* numbered = dynamic_cast<CMyView*>(view))
    if (error || result.state == ScriptCheckResult::Clean) numbered->m_lineNumbers.SetErrorLine(error ? result.line : -1);
  SetMessageText(ScriptCheckStatusText(result).c_str());
}

void CMainFrame::OnUpdateScriptCheck(CCmdUI* ui) { ui->Enable(ActiveEditView(*this) != nullptr); }
