// The application object: start-up in its fixed order, the open mode and the
// application-level commands (Open, Close all, Save all, About). The operations
// other parts call (update hints to all views, find a document) are the
// framework application's.
#pragma once
#include <map>
#include "app/backup_keeper.h"
#include "app/settings_store.h"
#include "platform/framework/app.h"

class CMyApp : public CWinApp {
 public:
  CMyApp();
  ~CMyApp() override;

  int m_nOpenMode = 0;  // Settings/OpenMode: 0 empty document, 1 most recent file, 2 nothing
  // The editor-wide settings, registered as the program's EditorSettings for
  // the life of the application object; the main window reads and writes them.
  CSettingsStore m_settings;
  // Settings/CheckAsYouType: the active script is checked as it is typed
  // (the main window's コマンド menu), written beside PrintColor.
  bool m_checkAsYouType = true;
  std::string m_modulePathOverride;  // tests run the program as if installed elsewhere
  // Backups of unsaved text in the user's own backup folder
  // (CBackupKeeper::UserBackupFolder), from the end of start-up to the exit step.
  CBackupKeeper m_backups;

  BOOL InitInstance() override;
  int ExitInstance() override;
  std::string GetModulePath() const override;


  // Asks about each open document whose file another program has changed since
  // it was loaded or saved, once per change: Yes loads the file again (after
  // a warning default No when the document has changes of its own). The main
  // window calls it when the program becomes the active one.
  void CheckFilesChangedOnDisk();

  void OnAppAbout();
  // File > カラー印刷: printing in the view's colours on or off (PrintColor).
  void OnFilePrintColor();
  void OnUpdateFilePrintColor(CCmdUI* ui);
  void OnFileOpenScript();
  void OnWindowCloseAll();
  void OnFileSaveAll();

 private:
  bool m_oleInitialized = false;
  std::map<CDocument*, FileIdentity> m_changesAsked;  // the change last asked about, per document
  std::map<CDocument*, FileIdentity> m_vanishedSaid;  // the version whose loss was said, per document
  bool m_checkingFiles = false;
  DECLARE_MESSAGE_MAP()
};

CMyApp* GetMyApp();
