// The main window: hosts the document windows, the toolbar and the status bar;
// reads the editor-wide settings into the application's settings store while
// it is created and writes them back when it is destroyed; owns the editor
// font made from them; the Help menu's commands.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "app/findinfiles.h"
#include "app/settings_store.h"
#include "app/tabbar.h"
#include "hosting/captured_run.h"
#include "platform/framework/bars.h"
#include "platform/framework/frame.h"
#include "macros/macro_commands.h"
#include "macros/script_check_worker.h"
#include "views/myeditview.h"

class CMyEditView;
class CMyView;

class CMainFrame : public CMDIFrameWnd {
 public:
  // `openMode`: the application's OpenMode setting, which the Options dialog edits.
  CMainFrame(CSettingsStore& settings, int& openMode);
  ~CMainFrame() override;

  CSettingsStore& Settings() const { return m_settings; }
  // The editor font (owned), made from the stored font or "FixedSys" 14 pt.
  HFONT EditorFont() const { return m_font; }
  // The one way to change the editor font: the store follows.
  void SetEditorFont(const LOGFONTA& font);

  CStatusBar m_wndStatusBar;
  CToolBar m_wndToolBar;
  MdiClientHook m_tabHook;  // the window tab bar below the document windows
  CMacroCommands m_macros;  // the Macro menu's items and commands

  // What the views of the script windows get from the main window: its
  // settings store and editor font, and Add macro through its macros.
  ViewServices Services();
  // The one Find and Replace state of the program's windows.
  std::shared_ptr<FindReplaceState> m_findState;

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  // The first text of the find-in-files dialog: the active view's selection
  // when it lies on one line, else the word at its caret (a run of ASCII word
  // characters or of double-byte ones); empty for a selection over lines.
  std::string FindTextAtCaret();

  // Shows the default topic of a compiled help file and returns the viewer's
  // window (null on failure); a test puts a recorder here instead of the viewer.
  using HelpTopicViewer = HWND (*)(const char* path);
  static HelpTopicViewer s_showHelpTopic;

  // Paths beside the executable.
  static std::string ExecutableFolder();  // with a trailing backslash
  static std::string ReadmePath();
  static std::string VersionSamplePath();

 protected:
  CSettingsStore& m_settings;
  int& m_openMode;
  HFONT m_font = nullptr;

  void PlaceFromSettings(CREATESTRUCTA& cs);
  void StorePlacement();

  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  // Becoming the active program: the open files are looked at once the
  // activation is through (CMyApp::CheckFilesChangedOnDisk).
  LRESULT OnActivateApp(WPARAM, LPARAM);
  LRESULT OnCheckFiles(WPARAM, LPARAM);
  void OnHelpReadme();
  void OnHelpScriptDocs();
  void OnHelpOnline();
  void OnUpdateHelpOnline(CCmdUI* ui);
  void OnHelpWshVersion();
  void OnUpdateHelpWshVersion(CCmdUI* ui);
  void OnViewOptions();
  // The editor font and the five colours; the store follows, then every view.
  void OnViewFont();
  // Macro items run before the framework's enable check (which knows no
  // handler for their ids) could drop them.
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  LRESULT OnInitMenu(WPARAM, LPARAM);
  LRESULT OnInitMacroPopup(WPARAM, LPARAM);
  void OnMacroLanguage(UINT id);
  void OnUpdateMacroLanguage(CCmdUI* ui);
  void OnMacroOrganize();
  void OnUpdateMacroOrganize(CCmdUI* ui);

  // Find in files (mainfrm_findinfiles.cpp): the command opens the dialog, or
  // stops the search under way; its results fill the 出力 window, whose place
  // lines F8 and Shift+F8 step through.
  static const UINT kFindInFilesMessage = WM_APP + 0x42;  // the worker has results
  FindInFilesHistory m_findInFiles;
  std::unique_ptr<FindInFilesSearch> m_findInFilesSearch;
  void OnFindInFiles();
  LRESULT OnFindInFilesResults(WPARAM, LPARAM);
  void OnNextResult();
  void OnPrevResult();
  void StopFindInFiles();

  // Run with captured output (mainfrm_capture.cpp): the console host on the
  // active script, its lines streaming into the cleared 出力 window, then its
  // exit code; Esc there or the stop command ends it and all it started.
  static const UINT kCapturedRunMessage = WM_APP + 0x43;  // the run has lines or has ended
  std::unique_ptr<CapturedRun> m_capturedRun;
  void OnCaptureRun();
  void OnUpdateCaptureRun(CCmdUI* ui);
  void OnStopRun();
  void OnUpdateStopRun(CCmdUI* ui);
  LRESULT OnCapturedRunOutput(WPARAM, LPARAM);

 public:
  // True while a captured run is under way.
  bool CapturedRunRunning() const { return m_capturedRun && m_capturedRun->Running(); }

 public:
  // The syntax check (mainfrm_check.cpp): a copy of a window's text checked by
  // its language's engine in the checker helper on the check worker's thread.
  // Ctrl+F7's answer goes to the status bar, the caret to an error's place;
  // the check as you type, 700 ms after the last change of the active window,
  // only marks the error (gutter and wave) or takes the mark away. An answer
  // for a closed window or an older text is dropped.
  static const UINT kCheckAnswerMessage = WM_APP + 0x44;  // the worker has an answer
  static const UINT kCheckDelayMs = 700;
  // The worker, made on first use.
  ScriptCheckWorker& Checks();

 protected:
  std::unique_ptr<ScriptCheckWorker> m_checks;
  DWORD m_lastTextChange = 0;  // GetTickCount of the last change seen
  bool m_checkTimerSet = false;
  void OnScriptCheck();
  void OnUpdateScriptCheck(CCmdUI* ui);
  void OnCheckAsYouType();
  void OnUpdateCheckAsYouType(CCmdUI* ui);
  // A view's text changed: the check as you type waits kCheckDelayMs more.
  void OnViewTextChanged();
  LRESULT OnCheckTimer(WPARAM, LPARAM);
  LRESULT OnCheckAnswer(WPARAM, LPARAM);
  // Copies the view's text for the worker.
  void RequestCheck(CMyEditView& view, bool command);
  // What Ctrl+F7 shows for an answer that fits its view.
  void ShowCheckAnswer(CMyEditView& view, const ScriptCheckAnswer& answer);
  DECLARE_MESSAGE_MAP()
};

