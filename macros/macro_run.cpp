// Running a macro in its helper process (see macro_run.h).
#include "macros/macro_run.h"
#include <cstdio>
#include <memory>
#include "dialogs/dialog_ids.h"
#include "hosting/script_commands.h"
#include "macros/macro_connection.h"
#include "macros/macro_dialogs.h"
#include "macros/macro_names.h"
#include "macros/macro_run_window.h"
#include "platform/framework/app.h"
#include "platform/framework/doc.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"
#include "views/myeditview.h"

namespace {
enum : UINT_PTR { kRepaintTimer = 2 };  // the view repaints once edits pause
constexpr DWORD kSlice = 15;           // ms of edits between looks at the message queue
constexpr UINT kPauseForRepaint = 50;  // ms without edits
constexpr DWORD kLongestHold = 500;    // ms that drawing stays held while edits keep coming

// One run: the connection to the helper, the window and the view's history.
class MacroRun {
 public:
  MacroRun(const MacroRunRequest& request, CMyEditView& view)
      : m_request(request), m_view(view), m_viewWindow(view.m_hWnd) {}
  MacroRunEnd Run();

 private:
  // True once the run was stopped, the helper's last word (End, Failure) is
  // in, or its stream has ended and all it sent has been handled.
  bool Finished();
  // Handles queued messages for one slice of time; true when it took any.
  bool Drain();
  void Handle(const MacroMessage& message);
  void Answer(const MacroMessage& question);
  void Stop();
  void HoldDrawing();
  void Repaint();
  MacroRunEnd Report();
  bool ViewAlive() const { return ::IsWindow(m_viewWindow) && CWnd::FromHandle(m_viewWindow) == &m_view; }

  MacroRunRequest m_request;
  CMyEditView& m_view;
  HWND m_viewWindow;
  MacroConnection m_helper;
  std::unique_ptr<MacroRunWindow> m_window;

  bool m_busy = false;  // a drain is under way (a question's box may run messages)
  bool m_stopped = false;
  bool m_ended = false;
  bool m_viewClosed = false;
  bool m_refused = false;  // the view refused an edit
  bool m_failed = false;
  MacroFailure m_failure;
  bool m_drawingHeld = false;
  DWORD m_heldSince = 0;
};

bool MacroRun::Finished() {
  if (m_busy) return false;
  MacroStreamEnd how;
  return m_stopped || m_ended || m_failed || m_helper.Ended(how);
}

MacroRunEnd MacroRun::Run() {
  DWORD error = 0;
  const std::string helper = m_request.helper.empty() ? MacroHelperBesideProgram() : m_request.helper;
  if (!m_helper.Start(helper, error)) {
    std::string text = AfxFormatString1(IDS_MACRO_HOST_CANNOT_START, helper.empty() ? "ruvelto-macro.exe" : helper.c_str());
    const std::string reason = SystemMessageText(error);
    if (!reason.empty()) text += "\n\n" + reason;
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONSTOP, m_request.owner);
    return MacroRunEnd::NotStarted;
  }
  int start = 0, end = 0;
  m_view.GetSel(start, end);
  m_helper.Send(MacroMessage{MacroMessageKind::Start,
                             {kMacroStartMagic, kMacroVersion, m_request.language,
                              static_cast<int32_t>(reinterpret_cast<INT_PTR>(m_request.owner)), start, end},
                             {MacroLanguageName(m_request.language), m_request.scriptControl, m_view.GetText(),
                              m_request.macro}});

  m_window.reset(new MacroRunWindow(
      m_request.owner, m_request.path.substr(LastPathSeparator(m_request.path) + 1), m_helper.HelperId(),
      [this] { Stop(); }, [this](UINT_PTR) { Repaint(); }));
  // No document can change but through the macro: the main window and any
  // modeless window (Find, Replace) wait with the user.
  std::unique_ptr<OtherWindowsDisabled> others(new OtherWindowsDisabled(m_window->Handle()));
  // The whole run is one step of the view's history (not closed on a view
  // that has gone meanwhile).
  m_view.m_undo.BeginGroup();

  // Messages first (input, painting, timers), then a slice of the edits, so
  // that a stream without end never keeps the user from the 中止 button.
  bool quit = false;
  int quitCode = 0;
  while (!quit && !Finished()) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = static_cast<int>(msg.wParam);
        Stop();
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (quit) break;
    if (Drain() || Finished()) continue;
    HANDLE arrived = m_helper.Arrived();
    MsgWaitForMultipleObjects(1, &arrived, FALSE, INFINITE, QS_ALLINPUT);
  }

  Repaint();
  if (ViewAlive()) m_view.m_undo.EndGroup();
  m_helper.EndHelper();  // nothing more is wanted from it
  others.reset();        // before the window goes, so the main window is active again
  m_window.reset();
  if (quit) PostQuitMessage(quitCode);  // for the main loop, now that the run is over
  return Report();
}

MacroRunEnd MacroRun::Report() {
  if (m_viewClosed) {
    AfxMessageBox(IDS_EDITOR_VIEW_CLOSED, MB_OK | MB_ICONSTOP);
    return MacroRunEnd::Lost;
  }
  if (m_refused) {
    AfxMessageBox(IDS_MACRO_EDIT_REFUSED, MB_OK | MB_ICONSTOP);
    return MacroRunEnd::Lost;
  }
  if (m_stopped) return MacroRunEnd::Stopped;
  if (m_failed) {
    if (m_failure.cannotCreate) {
      ReportCannotCreate("ScriptControl", m_failure.status);
      return MacroRunEnd::Failed;
    }
    MacroErrorReport report;
    report.status = static_cast<unsigned long>(m_failure.status);
    report.source = m_failure.source;
    report.description = m_failure.description;
    report.hasPosition = m_failure.hasPosition;
    report.line = m_failure.line;
    report.column = m_failure.column;
    report.code = m_failure.code;
    if (report.hasPosition) {
      CDocument* doc = AfxGetApp() ? AfxGetApp()->OpenDocumentFile(m_request.path.c_str()) : nullptr;
      if (auto* view = doc ? dynamic_cast<CEditView*>(doc->GetFirstView()) : nullptr)
        SelectMacroLine(*view, report.line);
    }
    if (report.description.empty()) report.description = SystemMessageText(static_cast<DWORD>(report.status));
    const CWinApp* app = AfxGetApp();
    const std::string text = FormatMacroErrorReport(report, app ? app->m_pszAppName : std::string("Ruvelto"));
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONSTOP);
    return MacroRunEnd::Failed;
  }
  if (m_ended) return MacroRunEnd::Ended;
  AfxMessageBox(IDS_MACRO_HOST_LOST, MB_OK | MB_ICONSTOP);
  return MacroRunEnd::Lost;
}

bool MacroRun::Drain() {
  if (m_busy) return false;  // the drain under way (behind a question's box) goes on afterwards
  m_busy = true;
  const DWORD begun = GetTickCount();
  bool took = false;
  MacroMessage message;
  while (!m_ended && !m_failed && m_helper.Next(message)) {
    took = true;
    Handle(message);
    if (GetTickCount() - begun >= kSlice) break;
  }
  m_busy = false;
  if (m_drawingHeld) {
    if (GetTickCount() - m_heldSince >= kLongestHold) Repaint();
    else if (m_window && m_window->Handle()) SetTimer(m_window->Handle(), kRepaintTimer, kPauseForRepaint, nullptr);
  }
  return took;
}

void MacroRun::Handle(const MacroMessage& message) {
  if (m_stopped) return;  // what the helper sent before it was ended is dropped
  switch (message.kind) {
    case MacroMessageKind::Edit:
      if (!ViewAlive()) {
        m_viewClosed = true;
        Stop();
        return;
      }
      HoldDrawing();
      if (!ApplyMacroEdit(m_view, MacroEdit::FromMessage(message))) {
        m_refused = true;  // every later edit would land at the helper's offsets, not the view's
        Stop();
      }
      return;
    case MacroMessageKind::Alert:
    case MacroMessageKind::Confirm:
    case MacroMessageKind::Prompt:
      Answer(message);
      return;
    case MacroMessageKind::Failure:
      m_failed = true;
      m_failure = MacroFailure::FromMessage(message);
      return;
    case MacroMessageKind::End:
      m_ended = true;
      return;
    default:
      return;
  }
}

void MacroRun::Answer(const MacroMessage& question) {
  Repaint();  // the user sees the text the question is about
  m_window->Asking(true);
  MacroMessage reply{MacroMessageKind::Reply, {}, {}};
  const char* text = question.Text(0).c_str();
  HWND owner = m_request.owner;
  switch (question.kind) {
    case MacroMessageKind::Alert:
      AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION, owner);
      break;
    case MacroMessageKind::Confirm:
      reply.numbers.push_back(AfxMessageBox(text, MB_OKCANCEL | MB_ICONQUESTION, owner) == IDOK ? 1 : 0);
      break;
    default: {
      CPromptDlg dlg(owner ? CWnd::FromHandle(owner) : nullptr);
      dlg.m_message = question.Text(0);
      dlg.m_answer = question.Text(1);
      reply.texts.push_back(dlg.DoModal() == IDOK ? dlg.m_answer : std::string());
      break;
    }
  }
  m_window->Asking(false);  // up at once when the run has lasted: the next question may follow at once
  if (!m_stopped) m_helper.Send(reply);
}

void MacroRun::Stop() {
  if (m_stopped) return;
  m_stopped = true;
  m_helper.EndHelper();
  if (m_window) m_window->Stopping();
}

void MacroRun::HoldDrawing() {
  if (m_drawingHeld) return;
  m_view.SetRedraw(FALSE);
  m_drawingHeld = true;
  m_heldSince = GetTickCount();
}

void MacroRun::Repaint() {
  if (m_window && m_window->Handle()) KillTimer(m_window->Handle(), kRepaintTimer);
  if (!m_drawingHeld) return;
  m_drawingHeld = false;
  if (!ViewAlive()) return;
  m_view.SetRedraw(TRUE);
  ::InvalidateRect(m_viewWindow, nullptr, TRUE);
}
}  // namespace

MacroRunEnd RunMacro(const MacroRunRequest& request, CMyEditView& view) {
  MacroRun run(request, view);
  return run.Run();
}

bool ApplyMacroEdit(CMyEditView& view, const MacroEdit& edit) {
  return view.ApplyEdit(edit.start, edit.end, edit.text, edit.caret);
}

bool ReadMacroFile(const std::string& path, std::string& text, unsigned long& error) {
  FILE* file = fopen(path.c_str(), "rt");
  if (!file) {
    error = GetLastError();
    return false;
  }
  text.clear();
  std::string line;
  char chunk[4096];
  bool open = false;  // a line has begun and not yet ended
  while (fgets(chunk, sizeof chunk, file)) {
    line += chunk;
    open = true;
    if (!line.empty() && line.back() == '\n') {
      line.pop_back();
      text += line;
      text += "\r\n";
      line.clear();
      open = false;
    }
  }
  if (open) text += line + "\r\n";
  fclose(file);
  return true;
}

bool SelectMacroLine(CEditView& view, long line) {
  if (line < 1 || line > view.GetLineCount()) return false;
  const int start = view.LineIndex(static_cast<int>(line - 1));
  if (start < 0) return false;
  int end = line < view.GetLineCount() ? view.LineIndex(static_cast<int>(line)) - 2 : view.GetTextLength();
  if (end < start) end = start;
  view.SetSel(start, end);
  view.ScrollCaret();
  return true;
}
