// The main window's syntax check command (see mainfrm.h): Ctrl+F7.
#include "app/mainfrm.h"
#include "app/output_line.h"
#include "app/output_window.h"
#include "platform/framework/doc.h"
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
  const std::string path = view->GetDocument() ? view->GetDocument()->GetPathName() : std::string();
  const DocumentCheck check = CheckDocument(m_checker, view->GetText(), path, view->m_syntaxMode);
  const ScriptCheckResult& result = check.verdict;
  const bool error = result.state == ScriptCheckResult::Error;
  // A markup file's errors, one per script element at most, are listed in 出力
  // where each jumps to its place; the document stays the active window.
  if (!check.errors.empty() && IsMarkupScript(path)) {
    std::string lines;
    for (const ScriptCheckResult& e : check.errors)
      lines += FormatOutputLine(path, e.line + 1, e.column + 1, ScriptCheckDescription(e)) + "\r\n";
    CFrameWnd* documentFrame = view->GetParentFrame();
    if (COutputWnd* output = COutputWnd::Open(this, m_font)) {
      output->Clear();
      output->AppendLines(lines.substr(0, lines.size() - 2));
      output->m_matchLength = nullptr;
      output->m_onStop = nullptr;
    }
    if (documentFrame) documentFrame->ActivateFrame();
  }
  if (error) PutCaret(*view, result.line, result.byteColumn);
  // The error's line is marked red in the gutter until a check finds none.
  if (auto* numbered = dynamic_cast<CMyView*>(view))
    if (error || result.state == ScriptCheckResult::Clean) numbered->m_lineNumbers.SetErrorLine(error ? result.line : -1);
  SetMessageText(ScriptCheckStatusText(result).c_str());
}

void CMainFrame::OnUpdateScriptCheck(CCmdUI* ui) { ui->Enable(ActiveEditView(*this) != nullptr); }
