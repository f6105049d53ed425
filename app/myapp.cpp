// Application start-up, exit and the application's commands.
#include "app/myapp.h"
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <algorithm>
#include "app/aboutdlg.h"
#include "app/childfrm.h"
#include "app/mainfrm.h"
#include "app/settings_format.h"
#include "document/mydoc.h"
#include "platform/framework/dialog.h"
#include "platform/framework/doc.h"
#include "platform/framework/doctempl.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"
#include "views/myview.h"

BEGIN_MESSAGE_MAP(CMyApp, CWinApp)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_FILE_OPEN, OnFileOpenScript)
  ON_COMMAND(ID_WINDOW_CLOSE_ALL, OnWindowCloseAll)
  ON_COMMAND(ID_FILE_SAVE_ALL, OnFileSaveAll)
  ON_COMMAND(ID_FILE_PRINT_COLOR, OnFilePrintColor)
  ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_COLOR, OnUpdateFilePrintColor)
END_MESSAGE_MAP(CWinApp)

CMyApp* GetMyApp() { return dynamic_cast<CMyApp*>(AfxGetApp()); }

CMyApp::CMyApp() { SetEditorSettings(&m_settings); }

CMyApp::~CMyApp() {
  if (GetEditorSettings() == &m_settings) SetEditorSettings(nullptr);
}

std::string CMyApp::GetModulePath() const {
  return m_modulePathOverride.empty() ? CWinApp::GetModulePath() : m_modulePathOverride;
}

BOOL CMyApp::InitInstance() {
  // 1. OLE, for the script control and the script encoder.
  if (FAILED(OleInitialize(nullptr))) return FALSE;
  m_oleInitialized = true;
  // 2. Common controls (the platform's own dialog look).
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  // 3. The settings file beside the executable.
  m_pszAppName = LoadResString(AFX_IDS_APP_TITLE);
  if (m_pszAppName.empty()) m_pszAppName = "Ruvelto";
  m_pszProfileName = MakeSettingsPath(GetModulePath());
  // 4. Recent files and preview pages.
  LoadStdProfileSettings(4);
  m_checkAsYouType = GetProfileSwitch("Settings", "CheckAsYouType");
  // 5. The one document type.
  AddDocTemplate(new CDocTemplate(
      IDR_SCRIPTTYPE, [] { return static_cast<CDocument*>(new CMyDoc); },
      [] { return static_cast<CMDIChildWnd*>(new CChildFrame); }, [this] {
        // The main window exists before any document window is opened.
        auto* frame = dynamic_cast<CMainFrame*>(m_pMainWnd);
        return static_cast<CView*>(new CMyView(frame ? frame->Services() : ViewServices{}));
      }));
  // 6. The main window; it reads its settings while it is created.
  auto* frame = new CMainFrame(m_settings, m_nOpenMode);
  if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | CFrameWnd::FWS_ADDTOTITLE, nullptr)) {
    if (!frame->m_hWnd) delete frame;
    return FALSE;
  }
  m_pMainWnd = frame;
  // 7. Files dropped from the shell.
  DragAcceptFiles(frame->m_hWnd, TRUE);
  // 8. Shell opening through DDE is not offered; the template registers no file type.
  // 9.-10. Command line and open mode.
  CCommandLineInfo info;
  ParseCommandLine(info);
  const IntSetting& openMode = settings::kOpenMode;
  m_nOpenMode = openMode.FromFile(static_cast<int>(GetProfileInt("Settings", openMode.key, openMode.def)));
  if ((m_nOpenMode == 1 || m_nOpenMode == 2) && info.m_nShellCommand == CCommandLineInfo::FileNew)
    info.m_nShellCommand = CCommandLineInfo::FileNothing;
  // 11.
  if (!ProcessShellCommand(info)) return FALSE;
  // A start that goes on (not a print request) keeps backups.
  m_backups.StartRun(CBackupKeeper::UserBackupFolder(), frame);
  // 12. The most recent file, once the message loop runs.
  if (m_nOpenMode == 1) frame->PostMessage(WM_COMMAND, ID_FILE_MRU_FILE1, 0);
  // 13.
  frame->ShowWindow(m_nCmdShow);
  UpdateWindow(frame->m_hWnd);
  // What a run that ended without exit left, after the named files are open.
  m_backups.OfferRecovery(*this);
  return TRUE;
}

int CMyApp::ExitInstance() {
  m_backups.EndRun();
  if (!m_pszProfileName.empty()) {
    WriteProfileInt("Settings", "OpenMode", m_nOpenMode);
    CWinApp::ExitInstance();
    WriteProfileSwitch("Settings", "CheckAsYouType", m_checkAsYouType);
  }
  if (m_oleInitialized) {
    OleUninitialize();
    m_oleInitialized = false;
  }
  return m_nExitCode;
}

void CMyApp::CheckFilesChangedOnDisk() {
  if (m_checkingFiles) return;  // a question is up already
  m_checkingFiles = true;
  std::map<CDocument*, FileIdentity> asked;
  std::map<CDocument*, FileIdentity> vanished;
  for (CDocument* doc : GetOpenDocuments()) {
    const std::vector<CDocument*> open = GetOpenDocuments();
    if (std::find(open.begin(), open.end(), doc) == open.end()) continue;  // closed while a question was up
    if (doc->FileVanished()) {
      // Said once per version the document loaded or saved: a save writes
      // the file again, and losing that one is said again.
      vanished[doc] = doc->m_fileIdentity;
      auto said = m_vanishedSaid.find(doc);
      if (said == m_vanishedSaid.end() || said->second != doc->m_fileIdentity)
        AfxMessageBox((doc->GetPathName() + "\nは他のプログラムによって削除または移動されました。\n"
                                            "保存すると、このパスにもう一度書き込まれます。")
                          .c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
      continue;
    }
    const FileIdentity changed = doc->ChangedFileOnDisk();
    auto it = m_changesAsked.find(doc);
    if (!changed.exists || (it != m_changesAsked.end() && it->second == changed)) {
      if (changed.exists) asked[doc] = changed;
      continue;
    }
    asked[doc] = changed;
    const std::string path = doc->GetPathName();
    const bool modified = doc->IsModified() != FALSE;
    // The same question either way; with changes of its own the window keeps them unless told.
    const std::string question = path + "\nは他のプログラムによって変更されました。再読み込みしますか?";
    const UINT style = MB_YESNO | (modified ? MB_ICONEXCLAMATION | MB_DEFBUTTON2 : MB_ICONQUESTION);
    if (AfxMessageBox(question.c_str(), style) == IDYES && doc->OnOpenDocument(path.c_str())) asked.erase(doc);
  }
  m_changesAsked = asked;
  m_vanishedSaid = vanished;
  m_checkingFiles = false;
}

void CMyApp::OnFilePrintColor() { m_bPrintColor = !m_bPrintColor; }

void CMyApp::OnUpdateFilePrintColor(CCmdUI* ui) {
  ui->Enable(TRUE);
  ui->SetCheck(m_bPrintColor ? 1 : 0);
}

void CMyApp::OnAppAbout() {
  CAboutDlg dlg;
  dlg.DoModal();
}

void CMyApp::OnFileOpenScript() {
  if (!m_settings.m_directory.empty()) SetCurrentDirectoryA(m_settings.m_directory.c_str());
  std::string filter = LoadResString(IDS_OPEN_FILTER);
  CFileDialog dlg(true, "wsf", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter.c_str());
  if (dlg.DoModal() != IDOK) return;
  std::string path = dlg.GetPathName();
  if (OpenDocumentFile(path.c_str())) m_settings.m_directory = PathFolder(path);
}

void CMyApp::OnWindowCloseAll() {
  for (CDocument* d : GetOpenDocuments()) {
    if (d->SaveModified()) d->OnCloseDocument();
  }
}

void CMyApp::OnFileSaveAll() {
  for (CDocument* d : GetOpenDocuments())
    if (d->IsModified()) d->DoFileSave();
}
