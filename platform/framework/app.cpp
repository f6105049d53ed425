// Application object: message loop, idle updates, profile, documents, command
// line and the application's own commands.
#include "platform/framework/app.h"
#include <cderr.h>
#include <cstdlib>
#include "platform/framework/dialog.h"
#include "platform/framework/doc.h"
#include "platform/framework/doctempl.h"
#include "platform/framework/frame.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/print.h"
#include "platform/framework/profile_codec.h"
#include "platform/framework/recent.h"
#include "platform/framework/resstr.h"
#include "platform/framework/view.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleA(nullptr); }

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
  ON_COMMAND(ID_FILE_NEW, OnFileNew)
  ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
  ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4, OnOpenRecentFileCmd)
  ON_UPDATE_COMMAND_UI_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4, OnUpdateRecentFileMenu)
END_MESSAGE_MAP(CCmdTarget)

CWinApp::CWinApp() {
  g_app = this;
  m_hInstance = GetModuleHandleA(nullptr);
}

CWinApp::~CWinApp() {
  for (CDocTemplate* t : m_templates) delete t;
  if (m_hDevMode) GlobalFree(m_hDevMode);
  if (m_hDevNames) GlobalFree(m_hDevNames);
  if (g_app == this) g_app = nullptr;
}

std::string CWinApp::GetModulePath() const {
  char path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, n < sizeof path ? n : 0);
}

int CWinApp::ExitInstance() {
  SaveStdProfileSettings();
  return m_nExitCode;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
  if (m_hWndModeless && ::IsWindow(m_hWndModeless) && ::IsDialogMessageA(m_hWndModeless, msg)) return TRUE;
  // The window that has the message, then its ancestors, then the main window.
  for (HWND h = msg->hwnd; h; h = GetParent(h)) {
    if (CWnd* w = CWnd::FromHandle(h)) {
      if (w->PreTranslateMessage(msg)) return TRUE;
      if (w == m_pMainWnd) return FALSE;
    }
  }
  if (m_pMainWnd && m_pMainWnd->m_hWnd && msg->hwnd != m_pMainWnd->m_hWnd)
    if (!msg->hwnd || GetAncestor(msg->hwnd, GA_ROOT) == m_pMainWnd->m_hWnd)
      return m_pMainWnd->PreTranslateMessage(msg);
  return FALSE;
}

BOOL CWinApp::OnIdle(LONG) {
  if (m_pMainWnd && m_pMainWnd->m_hWnd) {
    ::SendMessageA(m_pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    if (auto* f = dynamic_cast<CMDIFrameWnd*>(m_pMainWnd))
      if (CMDIChildWnd* c = f->MDIGetActive()) ::SendMessageA(c->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
  }
  return FALSE;
}

void CWinApp::PumpPendingMessages() {
  MSG msg;
  for (int round = 0; round < 4; ++round) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      if (!PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    OnIdle(0);
  }
}

int CWinApp::Run() {
  MSG msg;
  bool idle = true;
  for (;;) {
    while (idle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      OnIdle(0);
      idle = false;
    }
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    if (!PreTranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    // Idle again after input and commands, not after every timer or paint.
    if (msg.message != WM_PAINT && msg.message != 0x0118 /* WM_SYSTIMER */) idle = true;
  }
  return ExitInstance();
}

// ---------------------------------------------------------------- profile

UINT CWinApp::GetProfileInt(const char* section, const char* key, int def) const {
  return GetPrivateProfileIntA(section, key, def, m_pszProfileName.c_str());
}

std::string CWinApp::GetProfileString(const char* section, const char* key, const char* def) const {
  char buf[4096];
  DWORD n = GetPrivateProfileStringA(section, key, def ? def : "", buf, sizeof buf, m_pszProfileName.c_str());
  return std::string(buf, n < sizeof buf ? n : sizeof buf - 1);
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* key, int value) const {
  char buf[16];
  wsprintfA(buf, "%d", value);
  return WritePrivateProfileStringA(section, key, buf, m_pszProfileName.c_str());
}

BOOL CWinApp::WriteProfileString(const char* section, const char* key, const char* value) const {
  return WritePrivateProfileStringA(section, key, value, m_pszProfileName.c_str());
}

bool CWinApp::GetProfileBinary(const char* section, const char* key, std::vector<unsigned char>& out) const {
  std::string text = GetProfileString(section, key, "");
  if (text.empty()) return false;
  auto bytes = DecodeProfileBytes(text);
  if (!bytes) return false;
  out.assign(bytes->begin(), bytes->end());
  return true;
}

BOOL CWinApp::WriteProfileBinary(const char* section, const char* key, const void* data, size_t size) const {
  return WriteProfileString(section, key, EncodeProfileBytes(data, size).c_str());
}

void CWinApp::LoadStdProfileSettings(int mruCount) {
  if (mruCount > 0) {
    m_pRecentFileList = std::make_unique<CRecentFileList>(ID_FILE_MRU_FILE1, "Recent File List", "File%d", mruCount, 30);
    m_pRecentFileList->ReadList();
  }
  m_nPreviewPages = static_cast<int>(GetProfileInt("Settings", "PreviewPages", 0));
  m_bPrintColor = GetProfileSwitch("Settings", "PrintColor");
}

bool CWinApp::GetProfileSwitch(const char* section, const char* key) const {
  return GetProfileInt(section, key, 1) != 0;
}

void CWinApp::WriteProfileSwitch(const char* section, const char* key, bool on) const {
  if (!on || GetProfileInt(section, key, 1) != 1) WriteProfileInt(section, key, on ? 1 : 0);
}

void CWinApp::SaveStdProfileSettings() {
  if (m_pRecentFileList) m_pRecentFileList->WriteList();
  if (m_nPreviewPages != 0) WriteProfileInt("Settings", "PreviewPages", m_nPreviewPages);
  // Like PreviewPages, written only once it differs from the default (or the file has it).
  WriteProfileSwitch("Settings", "PrintColor", m_bPrintColor);
}

void CWinApp::AddToRecentFileList(const std::string& path) {
  if (m_pRecentFileList) m_pRecentFileList->Add(path);
}

// ---------------------------------------------------------------- documents

void CWinApp::AddDocTemplate(CDocTemplate* t) {
  t->LoadTemplate();
  m_templates.push_back(t);
}

CDocument* CWinApp::OpenDocumentFile(const char* path) {
  if (m_templates.empty() || !path) return nullptr;
  char full[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
  std::string p = (n > 0 && n < sizeof full) ? std::string(full, n) : std::string(path);
  // Use the file's own spelling of its path when it exists.
  WIN32_FIND_DATAA fd;
  HANDLE f = FindFirstFileA(p.c_str(), &fd);
  if (f != INVALID_HANDLE_VALUE) {
    FindClose(f);
    size_t cut = p.find_last_of('\\');
    if (cut != std::string::npos && lstrcmpiA(p.c_str() + cut + 1, fd.cFileName) == 0) p = p.substr(0, cut + 1) + fd.cFileName;
  }
  for (CDocTemplate* t : m_templates) {
    if (CDocument* d = t->FindDocument(p)) {
      CView* v = d->GetFirstView();
      if (v)
        if (CFrameWnd* fr = v->GetParentFrame()) fr->ActivateFrame();
      return d;
    }
  }
  return m_templates.front()->OpenDocumentFile(p.c_str());
}

std::vector<CDocument*> CWinApp::GetOpenDocuments() const {
  std::vector<CDocument*> all;
  for (CDocTemplate* t : m_templates) all.insert(all.end(), t->Documents().begin(), t->Documents().end());
  return all;
}

CDocument* CWinApp::FindOpenDocument(const char* path) const {
  if (!path) return nullptr;
  char full[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
  const std::string wanted = (n > 0 && n < sizeof full) ? std::string(full, n) : std::string(path);
  for (CDocTemplate* t : m_templates)
    if (CDocument* doc = t->FindDocument(wanted)) return doc;
  return nullptr;
}

void CWinApp::UpdateAllDocumentViews(int hint) {
  for (CDocument* d : GetOpenDocuments()) d->UpdateAllViews(nullptr, hint, nullptr);
}

int CWinApp::GetOpenDocumentCount() const { return static_cast<int>(GetOpenDocuments().size()); }

BOOL CWinApp::SaveAllModified() {
  for (CDocTemplate* t : m_templates)
    if (!t->SaveAllModified()) return FALSE;
  return TRUE;
}

void CWinApp::CloseAllDocuments(bool endSession) {
  for (CDocTemplate* t : m_templates) t->CloseAllDocuments(endSession);
}

// ---------------------------------------------------------------- command line

namespace {
// Writes a box's text to the standard error when the program has one (a
// command line that redirects it), one line per box.
void EchoToStandardError(const MessageBoxCall& call) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (!err || err == INVALID_HANDLE_VALUE) return;
  std::string line = call.caption + ": " + call.text;
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  line += "\r\n";
  DWORD written = 0;
  WriteFile(err, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
}  // namespace

void CCommandLineInfo::Parse(const std::vector<std::string>& args) {
  bool print = false, printTo = false;
  for (const std::string& a : args) {
    if (a.size() > 1 && (a[0] == '/' || a[0] == '-')) {
      std::string flag = a.substr(1);
      for (char& c : flag)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (flag == "p") print = true;
      else if (flag == "pt") printTo = true;
      else if (flag == "nologo") m_bShowSplash = false;
      continue;
    }
    if (!a.empty()) m_files.push_back(a);
  }
  if (m_files.empty()) {
    m_nShellCommand = FileNew;
  } else if (printTo) {
    m_nShellCommand = FilePrintTo;
  } else if (print) {
    m_nShellCommand = FilePrint;
  } else {
    m_nShellCommand = FileOpen;
  }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const { info.Parse(m_args); }

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      OnCmdMsg(ID_FILE_NEW, CmdAction::Execute, nullptr);
      return TRUE;
    case CCommandLineInfo::FileNothing:
      return TRUE;
    case CCommandLineInfo::FileOpen: {
      bool any = false;
      for (const std::string& f : info.m_files) any = OpenDocumentFile(f.c_str()) != nullptr || any;
      return any ? TRUE : FALSE;
    }
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo: {
      // Every box also goes to the standard error, for a script that prints.
      SetMessageBoxEcho(EchoToStandardError);
      for (const std::string& f : info.m_files) {
        const int result = PrintNamedFile(f);
        if (m_nExitCode == 0) m_nExitCode = result;
      }
      SetMessageBoxEcho(nullptr);
      return FALSE;
    }
  }
  return FALSE;
}

int CWinApp::PrintNamedFile(const std::string& path) {
  CDocument* d = OpenDocumentFile(path.c_str());
  if (!d) return kPrintNotOpened;  // said why
  PrintRunEnd end = PrintRunEnd::Failed;
  auto* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
  CView* view = d->GetFirstView();
  if (frame && view && frame->IsCommandEnabled(ID_FILE_PRINT_DIRECT)) {
    end = view->PrintToPrinter(true);
  } else {
    AfxMessageBox(FormatPercent1("%1\nは印刷できません。", path.c_str()).c_str(), MB_OK | MB_ICONEXCLAMATION);
  }
  d->OnCloseDocument();
  return end == PrintRunEnd::Printed ? 0 : end == PrintRunEnd::Cancelled ? kPrintCancelled : kPrintFailed;
}

// ---------------------------------------------------------------- commands

void CWinApp::OnFileNew() {
  if (!m_templates.empty()) m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
  std::string filter;
  if (!m_templates.empty())
    filter = m_templates.front()->GetDocString(CDocTemplate::filterName) + "|*" +
             m_templates.front()->GetDocString(CDocTemplate::filterExt) + "||";
  CFileDialog dlg(true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter.c_str());
  if (dlg.DoModal() == IDOK) OpenDocumentFile(dlg.GetPathName().c_str());
}

void CWinApp::OnFilePrintSetup() {
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
  pd.Flags = PD_PRINTSETUP;
  pd.hDevMode = m_hDevMode;
  pd.hDevNames = m_hDevNames;
  const BOOL ok = AfxRunCommonDialog("print", &pd);
  TakePrinterHandles(pd.hDevMode, pd.hDevNames);
  if (!ok) {
    if (AfxIsNoPrinterError(CommDlgExtendedError())) AfxReportNoPrinter();
  }
}

void CWinApp::TakePrinterHandles(HGLOBAL devMode, HGLOBAL devNames) {
  auto take = [](HGLOBAL& mine, HGLOBAL given) {
    // A handle the dialog freed itself is no longer valid and is not freed again.
    if (mine && mine != given && GlobalFlags(mine) != GMEM_INVALID_HANDLE) GlobalFree(mine);
    mine = given;
  };
  take(m_hDevMode, devMode);
  take(m_hDevNames, devNames);
}

void CWinApp::OnAppExit() {
  if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

bool CWinApp::OnOpenRecentFile(UINT id) {
  int index = static_cast<int>(id - ID_FILE_MRU_FILE1);
  if (!m_pRecentFileList || index < 0 || index >= m_pRecentFileList->GetCount()) return false;
  std::string path = (*m_pRecentFileList)[index];
  if (OpenDocumentFile(path.c_str())) return true;
  m_pRecentFileList->Remove(index);
  return false;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* ui) {
  int index = static_cast<int>(ui->m_nID - ID_FILE_MRU_FILE1);
  ui->Enable(m_pRecentFileList && index < m_pRecentFileList->GetCount());
}

int AfxWinMain(HINSTANCE, int cmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_nCmdShow = cmdShow;
  for (int i = 1; i < __argc; ++i) app->m_args.emplace_back(__argv[i]);
  if (!app->InitInstance()) {
    if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) ::DestroyWindow(app->m_pMainWnd->m_hWnd);
    return app->ExitInstance();
  }
  return app->Run();
}
