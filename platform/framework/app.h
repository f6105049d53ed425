// The application object: message loop with idle-time command updates, the
// profile (settings file), the recent-file list, the document templates, the
// command line and the application-level commands.
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "platform/framework/cmdtarget.h"

class CWnd;
class CDocument;
class CDocTemplate;
class CRecentFileList;
class CFrameWnd;

struct CCommandLineInfo {
  enum Shell { FileNew, FileOpen, FilePrint, FilePrintTo, FileNothing };
  Shell m_nShellCommand = FileNew;
  std::vector<std::string> m_files;  // every file named, in order
  bool m_bShowSplash = true;
  // Takes the program's arguments (without the program name).
  void Parse(const std::vector<std::string>& args);
};

class CWinApp : public CCmdTarget {
 public:
  CWinApp();
  ~CWinApp() override;

  std::string m_pszAppName = "Ruvelto";
  std::string m_pszProfileName;  // full path of the settings file
  std::string m_pszExeName;
  CWnd* m_pMainWnd = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  int m_nPreviewPages = 0;       // print preview: pages side by side (0: not set)
  bool m_bPrintColor = true;     // printing and its preview in the view's colours
  HINSTANCE m_hInstance = nullptr;
  HWND m_hWndModeless = nullptr;  // a modeless dialog: the message loop gives it its keys
  int m_nExitCode = 0;            // the process's exit code, returned by ExitInstance

  // Exit codes of a print request (/p, /pt): the code of the first named file
  // that was not printed, 0 when all were.
  enum PrintRequestExit { kPrintNotOpened = 1, kPrintFailed = 2, kPrintCancelled = 3 };

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance();
  virtual int Run();
  virtual BOOL OnIdle(LONG count);
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Module path of the running executable; a test may point it elsewhere.
  virtual std::string GetModulePath() const;

  // Profile, bound to m_pszProfileName.
  UINT GetProfileInt(const char* section, const char* key, int def) const;
  std::string GetProfileString(const char* section, const char* key, const char* def) const;
  BOOL WriteProfileInt(const char* section, const char* key, int value) const;
  // A switch that is on by default: on unless the file says 0; written (as 0
  // or 1) only once it is off or the file holds it already.
  bool GetProfileSwitch(const char* section, const char* key) const;
  void WriteProfileSwitch(const char* section, const char* key, bool on) const;
  // A null key deletes the section; a null value deletes the key.
  BOOL WriteProfileString(const char* section, const char* key, const char* value) const;
  // Byte strings in the two-letters-per-byte form; false when absent or unreadable.
  bool GetProfileBinary(const char* section, const char* key, std::vector<unsigned char>& out) const;
  BOOL WriteProfileBinary(const char* section, const char* key, const void* data, size_t size) const;

  // Recent files and preview pages; LoadStdProfileSettings reads, SaveStdProfileSettings writes.
  void LoadStdProfileSettings(int mruCount = 4);
  void SaveStdProfileSettings();
  virtual void AddToRecentFileList(const std::string& path);
  CRecentFileList* GetRecentFileList() const { return m_pRecentFileList.get(); }

  void AddDocTemplate(CDocTemplate* t);
  const std::vector<CDocTemplate*>& DocTemplates() const { return m_templates; }
  // Opens `path` (full path made first); activates an already open document instead.
  virtual CDocument* OpenDocumentFile(const char* path);
  int GetOpenDocumentCount() const;
  std::vector<CDocument*> GetOpenDocuments() const;
  // The open document of `path` (made a full path first), or null.
  CDocument* FindOpenDocument(const char* path) const;
  // Every view of every open document gets the hint, in the order the documents were opened.
  void UpdateAllDocumentViews(int hint);
  BOOL SaveAllModified();
  void CloseAllDocuments(bool endSession);

  void ParseCommandLine(CCommandLineInfo& info) const;
  // Carries out the command line. A print request prints each file without
  // the dialog, sets the exit code and answers FALSE: the program ends.
  virtual BOOL ProcessShellCommand(CCommandLineInfo& info);
  std::vector<std::string> m_args;  // arguments after the program name

  void OnFileNew();
  void OnFileOpen();
  void OnFilePrintSetup();
  void OnAppExit();
  bool OnOpenRecentFile(UINT id);
  void OnOpenRecentFileCmd(UINT id) { OnOpenRecentFile(id); }
  void OnUpdateRecentFileMenu(CCmdUI* ui);

  // Printer chosen in printer set-up (owned global memory handles).
  HGLOBAL m_hDevMode = nullptr;
  HGLOBAL m_hDevNames = nullptr;
  // Takes the handles a print or print set-up dialog gave back, confirmed or
  // cancelled alike (the dialog may replace the ones it was given); frees
  // those replaced.
  void TakePrinterHandles(HGLOBAL devMode, HGLOBAL devNames);

  // One file of a print request: 0 when printed, else its PrintRequestExit.
  int PrintNamedFile(const std::string& path);

  // Pumps every pending message without blocking, then runs the idle step.
  void PumpPendingMessages();

 protected:
  std::unique_ptr<CRecentFileList> m_pRecentFileList;
  std::vector<CDocTemplate*> m_templates;
  DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// Runs the application object's start-up, message loop and exit.
int AfxWinMain(HINSTANCE inst, int cmdShow);
