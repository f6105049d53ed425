// The main window's syntax check (see mainfrm.h): Ctrl+F7 and the check as
// you type, both answered by the check worker's thread.
#include "app/mainfrm.h"
#include "app/myapp.h"
#include "app/output_line.h"
#include "app/output_window.h"
#include "platform/framework/doc.h"
#include "platform/framework/fwids.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"
#include "views/myview.h"
#include "views/syntax_lexer.h"

namespace {
const UINT_PTR kCheckTimerId = 0x4B43;  // 'CK'

CMyEditView* ActiveEditView(CMDIFrameWnd& frame) {
  CMDIChildWnd* child = frame.MDIGetActive();
  return child ? dynamic_cast<CMyEditView*>(child->GetActiveView()) : nullptr;
}

// The open view with this serial, or null when its window has closed.
CMyEditView* ViewOfSerial(unsigned serial) {
  if (!AfxGetApp()) return nullptr;
  for (CDocument* doc : AfxGetApp()->GetOpenDocuments())
    for (CView* v : doc->Views())
      if (auto* view = dynamic_cast<CMyEditView*>(v))
        if (view->Serial() == serial) return view;
  return nullptr;
}

bool CheckingAsYouType() {
  CMyApp* app = GetMyApp();
  return app && app->m_checkAsYouType;
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

ScriptCheckWorker& CMainFrame::Checks() {
  if (!m_checks) m_checks.reset(new ScriptCheckWorker(m_hWnd, kCheckAnswerMessage));
  return *m_checks;
}

void CMainFrame::RequestCheck(CMyEditView& view, bool command) {
  ScriptCheckRequest request;
  request.target = view.Serial();
  request.version = view.TextChangeCount();
  request.command = command;
  request.text = view.GetText();
  request.path = view.GetDocument() ? view.GetDocument()->GetPathName() : std::string();
  request.language = view.m_syntaxMode;
  Checks().Request(std::move(request));
}

void CMainFrame::OnScriptCheck() {
  CMyEditView* view = ActiveEditView(*this);
  if (!view) return;
  if (m_checkTimerSet) ::KillTimer(m_hWnd, kCheckTimerId);  // this check covers the text typed
  m_checkTimerSet = false;
  SetMessageText(LoadResString(IDS_CHECK_RUNNING).c_str());
  RequestCheck(*view, true);
}

void CMainFrame::OnUpdateScriptCheck(CCmdUI* ui) { ui->Enable(ActiveEditView(*this) != nullptr); }

void CMainFrame::OnCheckAsYouType() {
  CMyApp* app = GetMyApp();
  if (!app) return;
  app->m_checkAsYouType = !app->m_checkAsYouType;
  if (app->m_checkAsYouType) OnViewTextChanged();  // the active window is checked after the delay
}

void CMainFrame::OnUpdateCheckAsYouType(CCmdUI* ui) {
  ui->Enable(GetMyApp() != nullptr);
  ui->SetCheck(CheckingAsYouType() ? 1 : 0);
}

// The timer is set once per quiet spell; each change only notes its time, and
// a timer that comes early waits out the rest.
void CMainFrame::OnViewTextChanged() {
  if (!CheckingAsYouType() || !m_hWnd) return;
  m_lastTextChange = GetTickCount();
  if (!m_checkTimerSet) m_checkTimerSet = ::SetTimer(m_hWnd, kCheckTimerId, kCheckDelayMs, nullptr) != 0;
}

LRESULT CMainFrame::OnCheckTimer(WPARAM id, LPARAM) {
  if (id != kCheckTimerId) return Default();
  const DWORD quiet = GetTickCount() - m_lastTextChange;
  if (quiet < kCheckDelayMs) {
    ::SetTimer(m_hWnd, kCheckTimerId, kCheckDelayMs - quiet, nullptr);
    return 0;
  }
  ::KillTimer(m_hWnd, kCheckTimerId);
  m_checkTimerSet = false;
  CMyEditView* view = ActiveEditView(*this);
  if (!view || !CheckingAsYouType()) return 0;
  const std::string path = view->GetDocument() ? view->GetDocument()->GetPathName() : std::string();
  if (HasCheckEngine(path, view->m_syntaxMode)) RequestCheck(*view, false);
  return 0;
}

LRESULT CMainFrame::OnCheckAnswer(WPARAM, LPARAM) {
  if (!m_checks) return 0;
  ScriptCheckAnswer answer;
  while (m_checks->TakeAnswer(answer)) {
    CMyEditView* view = ViewOfSerial(answer.target);
    const bool fits = view && view->TextChangeCount() == answer.version;
    if (!fits) {
      // Ctrl+F7's verdict was about a text that is gone: say nothing of it.
      if (answer.command) SetMessageText(LoadResString(AFX_IDS_IDLEMESSAGE).c_str());
      continue;
    }
    const ScriptCheckResult& result = answer.check.verdict;
    // The error's line is marked until a check finds none.
    if (auto* colored = dynamic_cast<CColorEditView*>(view)) {
      if (result.state == ScriptCheckResult::Error) colored->SetSyntaxError(result.line, result.byteColumn);
      if (result.state == ScriptCheckResult::Clean) colored->SetSyntaxError(-1, 0);
    }
    if (answer.command) ShowCheckAnswer(*view, answer);
  }
  return 0;
}

void CMainFrame::ShowCheckAnswer(CMyEditView& view, const ScriptCheckAnswer& answer) {
  const ScriptCheckResult& result = answer.check.verdict;
  // A markup file's errors, one per script element at most, are listed in 出力
  // where each jumps to its place; the window active before stays so.
  if (!answer.check.errors.empty() && IsMarkupScript(answer.path)) {
    std::string lines;
    for (const ScriptCheckResult& e : answer.check.errors)
      lines += FormatOutputLine(answer.path, e.line + 1, e.column + 1, ScriptCheckDescription(e)) + "\r\n";
    CMDIChildWnd* active = MDIGetActive();
    if (COutputWnd* output = COutputWnd::Open(this, m_font)) {
      output->Clear();
      output->AppendLines(lines.substr(0, lines.size() - 2));
      output->m_matchLength = nullptr;
      output->m_onStop = nullptr;
    }
    if (active) active->ActivateFrame();
  }
  if (result.state == ScriptCheckResult::Error) PutCaret(view, result.line, result.byteColumn);
  SetMessageText(ScriptCheckStatusText(result).c_str());
}
