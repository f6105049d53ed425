// The application object: start-up in its fixed order, the open mode and the
// application-level commands (Open, Close all, Save all, About). The operations
// other parts call (update hints to all views, find a document) are the
// framework application's.
#pragma once
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
  std::string m_modulePathOverride;  // tests run the program as if installed elsewhere
  // Backups of unsaved text in "backup" beside the settings file, from the
  // end of start-up to the exit step.
  CBackupKeeper m_backups;

  BOOL InitInstance() override;
  int ExitInstance() override;
  std::string GetModulePath() const override;


  void OnAppAbout();
  // File > カラー印刷: printing in the view's colours on or off (PrintColor).
  void OnFilePrintColor();
  void OnUpdateFilePrintColor(CCmdUI* ui);
  void OnFileOpenScript();
  void OnWindowCloseAll();
  void OnFileSaveAll();

 private:
  bool m_oleInitialized = false;
  DECLARE_MESSAGE_MAP()
};

CMyApp* GetMyApp();
