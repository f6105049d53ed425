// Main frame: a script run under the console host with its output in the 出力
// window, and the command that stops it.
#include <cstdio>
#include "app/mainfrm.h"
#include "app/output_window.h"
#include "hosting/script_commands.h"
#include "hosting/script_launcher.h"
#include "hosting/script_text.h"
#include "platform/framework/doc.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"

namespace {
// "終了コード <n> (<t> 秒)".
std::string ExitLine(DWORD code, double seconds) {
  char text[64];
  snprintf(text, sizeof text, "終了コード %ld (%.2f 秒)", static_cast<long>(code), seconds);
  return text;
}
}  // namespace

void CMainFrame::OnCaptureRun() {
  CDocument* doc = GetActiveDocument();
  if (!doc || !IsScriptCommandEnabled(ID_SCRIPT_CAPTURE, doc->GetPathName())) return;
  if (CapturedRunRunning()) {
    if (AfxMessageBox(LoadResString(IDS_STOP_RUNNING_SCRIPT).c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    m_capturedRun.reset();  // ends the run and waits for its reader
  }
  ScriptRunRequest request;
  if (!PrepareScriptRun(true, *doc, request)) return;
  DWORD error = 0;
  const std::string host = SystemHostPath("CScript.exe", error);
  if (host.empty()) {
    ReportCannotOpen("CScript.exe", error);
    return;
  }
  const std::string line = CapturedRunCommandLine(host, request.path, request.hostParameters, request.scriptParameters);
  m_capturedRun.reset();
  m_capturedRun = std::make_unique<CapturedRun>(m_hWnd, kCapturedRunMessage);
  if (!m_capturedRun->Start(line, PathFolder(request.path), error)) {
    m_capturedRun.reset();
    ReportCannotOpen(host, error);
    return;
  }
  COutputWnd* output = COutputWnd::Open(this, m_font, "実行中");
  if (!output) return;
  output->Clear();
  output->AppendLines(line);
  output->m_matchLength = nullptr;
  output->m_onStop = [this] {
    if (m_capturedRun) m_capturedRun->Stop();
  };
}

void CMainFrame::OnUpdateCaptureRun(CCmdUI* ui) {
  CDocument* doc = GetActiveDocument();
  ui->Enable(doc && IsScriptCommandEnabled(ID_SCRIPT_CAPTURE, doc->GetPathName()));
}

void CMainFrame::OnStopRun() {
  if (m_capturedRun) m_capturedRun->Stop();
}

void CMainFrame::OnUpdateStopRun(CCmdUI* ui) { ui->Enable(CapturedRunRunning()); }

LRESULT CMainFrame::OnCapturedRunOutput(WPARAM, LPARAM) {
  if (!m_capturedRun) return 0;
  CapturedBatch batch = m_capturedRun->Take();
  COutputWnd* output = COutputWnd::Find(this);
  if (!output) return 0;
  if (batch.count > 0) output->AppendLines(batch.lines);
  if (batch.finished) {
    output->AppendLines(batch.stopped ? std::string("中止しました") : ExitLine(batch.exitCode, batch.seconds));
    output->SetNote("");
  }
  return 0;
}
