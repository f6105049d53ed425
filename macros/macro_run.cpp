// Running a macro in its helper process (see macro_run.h).
#include "macros/macro_run.h"
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include "dialogs/dialog_ids.h"
#include "hosting/script_commands.h"
#include "macros/macro_dialogs.h"
#include "macros/macro_engine.h"
#include "macros/macro_names.h"
#include "macros/macro_pipe.h"
#include "platform/cp932_wide.h"
#include "platform/framework/app.h"
#include "platform/framework/doc.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/resstr.h"
#include "platform/textctl/text_control.h"
#include "resources/resource.h"
#include "views/myeditview.h"

std::string g_macroHostPath;

namespace {
enum : UINT {
  kShowTimer = 1,     // the window shows once a run lasts
  kRepaintTimer = 2,  // the view repaints once edits pause
};
constexpr DWORD kSlice = 15;           // ms of edits between looks at the message queue
constexpr UINT kShowDelay = 250;       // ms before the window appears
constexpr UINT kPauseForRepaint = 50;  // ms without edits
constexpr DWORD kLongestHold = 500;    // ms that drawing stays held while edits keep coming

// The job that holds every helper: when the editor ends, however it ends,
// the system ends the helpers with it.
HANDLE HelperJob() {
  static HANDLE job = [] {
    HANDLE h = CreateJobObjectA(nullptr, nullptr);
    if (h) {
      JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
      limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
      SetInformationJobObject(h, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    return h;
  }();
  return job;
}

std::string HelperPath() {
  if (!g_macroHostPath.empty()) return g_macroHostPath;
  char path[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return PathFolderWithSeparator(std::string(path, n < sizeof path ? n : 0)) + "ruvelto-macro.exe";
}

// One run: the helper, its pipes, the reader thread and the window.
class MacroRun {
 public:
  MacroRun(const MacroRunRequest& request, CMyEditView& view)
      : m_request(request), m_view(view), m_viewWindow(view.m_hWnd) {}
  ~MacroRun();
  MacroRunEnd Run();

 private:
  bool Start();
  void Read();
  // True once the helper has said its last word or its pipe ended, and all
  // it sent has been handled.
  bool Finished();
  // Handles queued messages for one slice of time; true when it took any.
  bool Drain();
  void Handle(const MacroMessage& message);
  void Answer(const MacroMessage& question);
  void Stop();
  void HoldDrawing();
  void Repaint();
  bool ViewAlive() const { return ::IsWindow(m_viewWindow) && CWnd::FromHandle(m_viewWindow) == &m_view; }
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  MacroRunRequest m_request;
  CMyEditView& m_view;
  HWND m_viewWindow;
  PROCESS_INFORMATION m_process{};
  std::unique_ptr<MacroPipeWriter> m_toHelper;
  HANDLE m_fromHelper = nullptr;
  std::thread m_reader;
  HWND m_window = nullptr;

  std::mutex m_lock;  // guards the two below, shared with the reader
  std::deque<MacroMessage> m_queue;
  bool m_readerDone = false;
  HANDLE m_arrived = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // the reader queued something

  bool m_busy = false;  // a drain is under way (a question's box may run messages)
  bool m_stopped = false;
  bool m_ended = false;
  bool m_viewClosed = false;
  bool m_failed = false;
  MacroFailure m_failure;
  bool m_drawingHeld = false;
  DWORD m_heldSince = 0;
};

MacroRun::~MacroRun() {
  if (m_process.hProcess) {
    // A helper that said End leaves by itself; one that lingers is ended.
    if (WaitForSingleObject(m_process.hProcess, m_stopped ? 0 : 2000) != WAIT_OBJECT_0)
      TerminateProcess(m_process.hProcess, 1);
    WaitForSingleObject(m_process.hProcess, 5000);
  }
  m_toHelper.reset();  // its thread ends once the helper's end of the pipe is gone
  if (m_reader.joinable()) m_reader.join();
  if (m_fromHelper) CloseHandle(m_fromHelper);
  if (m_arrived) CloseHandle(m_arrived);
  if (m_process.hThread) CloseHandle(m_process.hThread);
  if (m_process.hProcess) CloseHandle(m_process.hProcess);
}

bool MacroRun::Start() {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE childIn = nullptr, toChild = nullptr, fromChild = nullptr, childOut = nullptr;
  if (!CreatePipe(&childIn, &toChild, &inherit, 0)) return false;
  if (!CreatePipe(&fromChild, &childOut, &inherit, 0)) {
    CloseHandle(childIn);
    CloseHandle(toChild);
    return false;
  }
  SetHandleInformation(toChild, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(fromChild, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childIn;
  startup.hStdOutput = childOut;
  startup.hStdError = childOut;
  const std::string path = HelperPath();
  std::string command = "\"" + path + "\"";
  const BOOL started = CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                                      nullptr, &startup, &m_process);
  const DWORD error = GetLastError();
  CloseHandle(childIn);
  CloseHandle(childOut);
  if (!started) {
    m_process = PROCESS_INFORMATION{};
    CloseHandle(toChild);
    CloseHandle(fromChild);
    SetLastError(error);
    return false;
  }
  if (HANDLE job = HelperJob()) AssignProcessToJobObject(job, m_process.hProcess);
  ResumeThread(m_process.hThread);
  m_toHelper.reset(new MacroPipeWriter(toChild));
  m_fromHelper = fromChild;
  return true;
}

void MacroRun::Read() {
  MacroMessageReader reader;
  MacroMessage message;
  bool more = true;
  while (more) {
    more = ReadMacroMessage(m_fromHelper, reader, message);
    bool wake;
    {
      std::lock_guard<std::mutex> hold(m_lock);
      wake = m_queue.empty() || !more;  // a queue that was not empty is being drained
      if (more) m_queue.push_back(std::move(message));
      else m_readerDone = true;
    }
    if (wake) SetEvent(m_arrived);
  }
}

bool MacroRun::Finished() {
  std::lock_guard<std::mutex> hold(m_lock);
  if (!m_queue.empty() || m_busy) return false;
  return m_readerDone || m_ended || m_failed;  // after End or Failure the helper has said its last word
}

MacroRunEnd MacroRun::Run() {
  if (!Start()) {
    const DWORD error = GetLastError();
    std::string text = AfxFormatString1(IDS_MACRO_HOST_CANNOT_START, HelperPath().c_str());
    const std::string reason = SystemMessageText(error);
    if (!reason.empty()) text += "\n\n" + reason;
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONSTOP, m_request.owner);
    return MacroRunEnd::NotStarted;
  }
  int start = 0, end = 0;
  m_view.GetSel(start, end);
  const wchar_t* progId = g_scriptControlProgId;
  m_toHelper->Send(MacroMessage{MacroMessageKind::Start,
                                {m_request.language, static_cast<int32_t>(reinterpret_cast<INT_PTR>(m_request.owner)),
                                 start, end},
                                {MacroLanguageName(m_request.language), cp932::FromWide(progId), m_view.GetText(),
                                 m_request.macro}});

  m_window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MACRO_RUNNING), m_request.owner,
                                DialogProc, reinterpret_cast<LPARAM>(this));
  if (m_window) {
    SetDlgItemTextA(m_window, IDC_MACRO_RUNNING_NAME, m_request.path.substr(LastPathSeparator(m_request.path) + 1).c_str());
    SetTimer(m_window, kShowTimer, kShowDelay, nullptr);
  }
  // No document can change but through the macro: the main window and any
  // modeless window (Find, Replace) wait with the user.
  std::unique_ptr<OtherWindowsDisabled> others(new OtherWindowsDisabled(m_window));
  m_reader = std::thread([this] { Read(); });

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
      if (m_window && IsDialogMessageA(m_window, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (quit) break;
    if (Drain() || Finished()) continue;
    MsgWaitForMultipleObjects(1, &m_arrived, FALSE, INFINITE, QS_ALLINPUT);
  }

  Repaint();
  others.reset();  // before the window goes, so the main window is active again
  if (m_window) DestroyWindow(m_window);
  m_window = nullptr;
  if (quit) PostQuitMessage(quitCode);  // for the main loop, now that the run is over

  if (m_stopped && !m_viewClosed) return MacroRunEnd::Stopped;
  if (m_viewClosed) {
    AfxMessageBox(IDS_EDITOR_VIEW_CLOSED, MB_OK | MB_ICONSTOP);
    return MacroRunEnd::Lost;
  }
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
  for (;;) {
    MacroMessage message;
    {
      std::lock_guard<std::mutex> hold(m_lock);
      if (m_queue.empty()) break;
      message = std::move(m_queue.front());
      m_queue.pop_front();
    }
    took = true;
    Handle(message);
    if (GetTickCount() - begun >= kSlice) break;
  }
  m_busy = false;
  if (m_drawingHeld) {
    if (GetTickCount() - m_heldSince >= kLongestHold) Repaint();
    else if (m_window) SetTimer(m_window, kRepaintTimer, kPauseForRepaint, nullptr);
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
      ApplyMacroEdit(m_view, MacroEdit::FromMessage(message));
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
  // A window that is not up yet waits for the answer: shown during the box's
  // own message loop it would come up over the box and hide the question.
  const bool showLater = m_window && !IsWindowVisible(m_window);
  if (showLater) KillTimer(m_window, kShowTimer);
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
  if (showLater) SetTimer(m_window, kShowTimer, kShowDelay, nullptr);
  if (!m_stopped) m_toHelper->Send(reply);
}

void MacroRun::Stop() {
  if (m_stopped) return;
  m_stopped = true;
  if (m_process.hProcess) TerminateProcess(m_process.hProcess, 1);
  if (m_window) EnableWindow(GetDlgItem(m_window, IDCANCEL), FALSE);
}

void MacroRun::HoldDrawing() {
  if (m_drawingHeld) return;
  m_view.SetRedraw(FALSE);
  m_drawingHeld = true;
  m_heldSince = GetTickCount();
}

void MacroRun::Repaint() {
  if (m_window) KillTimer(m_window, kRepaintTimer);
  if (!m_drawingHeld) return;
  m_drawingHeld = false;
  if (!ViewAlive()) return;
  m_view.SetRedraw(TRUE);
  ::InvalidateRect(m_viewWindow, nullptr, TRUE);
}

INT_PTR CALLBACK MacroRun::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(hwnd, DWLP_USER, lp);
    return TRUE;
  }
  auto* run = reinterpret_cast<MacroRun*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!run) return FALSE;
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) != IDCANCEL) return FALSE;
      run->Stop();
      return TRUE;
    case WM_TIMER:
      KillTimer(hwnd, wp);
      if (wp == kShowTimer) ShowWindow(hwnd, SW_SHOW);
      else run->Repaint();
      return TRUE;
    default:
      return FALSE;
  }
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
