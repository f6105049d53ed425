// Backups of a 1 MiB document with the real application and frame in a
// temporary folder: the time one backup takes on the user interface thread
// (the copy of the text and its hand-over to the writer; target at most
// 10 ms), and typing at 1 MiB with backups on against off, the timer firing
// once per ten characters (a second of quick typing) and a backup written
// every 30 of them (ratio target at most 1.1).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "app/myapp.h"
#include "bench/bench_util.h"
#include "platform/framework/doc.h"
#include "platform/framework/fwids.h"
#include "views/myeditview.h"

namespace {
using bench::Now;

std::string MakeFolder() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string dir = std::string(temp) + "rvbench_backup_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

CMyEditView* ActiveView(CMyApp& app) {
  std::vector<CDocument*> docs = app.GetOpenDocuments();
  return docs.empty() ? nullptr : dynamic_cast<CMyEditView*>(docs.back()->GetFirstView());
}

// Seconds for `n` typed characters at the end of the text; with `keeper`, its
// timer fires after every tenth. The typed bytes are taken out again.
double TypeRound(CMyEditView* v, CBackupKeeper* keeper, DWORD& clock, int n) {
  const int at = v->GetTextLength();
  v->SetSel(at, at);
  double t0 = Now();
  for (int i = 0; i < n; ++i) {
    SendMessageA(v->m_hWnd, WM_CHAR, 'x', 1);
    if (keeper && i % 10 == 9) {
      clock += 1000;
      keeper->Tick();
    }
  }
  double t = Now() - t0;
  if (keeper) keeper->Flush();
  v->SetSel(at, at + n);
  SendMessageA(v->m_hWnd, WM_CLEAR, 0, 0);
  v->m_undo.Clear();
  return t;
}
}  // namespace

int main() {
  std::string dir = MakeFolder();
  SetEnvironmentVariableA("LOCALAPPDATA", dir.c_str());  // the backups go to the same folder
  CMyApp app;
  app.m_modulePathOverride = dir + "\\ruvelto.exe";
  app.m_nCmdShow = SW_SHOWNORMAL;
  if (!app.InitInstance()) return 1;
  bench::Pump();
  CBackupKeeper& keeper = app.m_backups;
  DWORD clock = 0;
  keeper.m_now = [&clock] { return clock; };
  CMyEditView* v = ActiveView(app);
  if (!v || !keeper.Running()) return 1;
  std::string text = bench::MakeText(1024 * 1024 - 1024);
  v->SetText(text.c_str());
  v->GetDocument()->SetModifiedFlag(TRUE);
  keeper.Tick();

  // One backup: a change, then the timer after the longest wait.
  std::vector<double> one;
  for (int i = 0; i < 11; ++i) {
    SendMessageA(v->m_hWnd, WM_CHAR, 'x', 1);
    keeper.Tick();
    clock += CBackupKeeper::kLongestMs;
    double t0 = Now();
    keeper.Tick();
    one.push_back(Now() - t0);
    keeper.Flush();
  }
  std::sort(one.begin(), one.end());
  std::printf("one backup of a 1 MiB document on the UI thread: %.2f ms (median of 11; target <= 10)\n",
              one[one.size() / 2] * 1e3);

  std::vector<double> on, off;
  for (int round = 0; round < 9; ++round) {
    off.push_back(TypeRound(v, nullptr, clock, 300));
    on.push_back(TypeRound(v, &keeper, clock, 300));
  }
  std::sort(on.begin(), on.end());
  std::sort(off.begin(), off.end());
  const double a = off[off.size() / 2], b = on[on.size() / 2];
  std::printf("typing 300 characters at 1 MiB: %.1f ms without backups, %.1f ms with; ratio %.3f (target <= 1.1)\n",
              a * 1e3, b * 1e3, b / a);

  v->GetDocument()->SetModifiedFlag(FALSE);
  if (app.m_pMainWnd) SendMessageA(app.m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
  bench::Pump();
  app.ExitInstance();
  RemoveDirectoryA((dir + "\\macro").c_str());
  RemoveDirectoryA((dir + "\\Ruvelto").c_str());
  DeleteFileA((dir + "\\ruvelto.ini").c_str());
  RemoveDirectoryA(dir.c_str());
  return 0;
}
