// The main window: hosts the document windows, the toolbar and the status bar,
// keeps the editor-wide settings from the settings file while the program runs
// and writes them back when it is destroyed; the Help menu's commands.
#pragma once
#include <string>
#include <vector>
#include "platform/framework/bars.h"
#include "platform/framework/frame.h"
#include "views/editor_colors.h"
#include "document/editor_settings.h"

class CMainFrame : public CMDIFrameWnd, public EditorSettings {
 public:
  CMainFrame();
  ~CMainFrame() override;

  // Settings, in the order they are kept.
  int m_macroLanguage = 0;  // 0 JScript, 1 VBScript
  bool m_autoKanji = false;
  bool m_autoIndent = true;
  int m_tabStops = 4;
  int m_stress = 1;         // 0 none, 1 JScript, 2 VBScript
  int m_filterIndex = 0;    // 0 .wsf, 1 .js, 2 .vbs, 3 .hta
  std::string m_directory;  // last folder of Open and Save As
  HFONT m_font = nullptr;   // editor font (owned)
  EditorColors m_colors;
  CStatusBar m_wndStatusBar;
  CToolBar m_wndToolBar;
  int m_nextMacroId = 200;
  std::vector<std::string> m_macroNames;
  std::string m_helpPath;

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

  // EditorSettings, for the views and documents.
  bool AutoDetect() const override { return m_autoKanji; }
  std::string LastFolder() const override { return m_directory; }
  void SetLastFolder(const std::string& folder) override { m_directory = folder; }
  int DefaultExtensionIndex() const override { return m_filterIndex; }

  // Shows the default topic of a compiled help file and returns the viewer's
  // window (null on failure); a test puts a recorder here instead of the viewer.
  using HelpTopicViewer = HWND (*)(const char* path);
  static HelpTopicViewer s_showHelpTopic;

  // Paths beside the executable.
  static std::string ExecutableFolder();  // with a trailing backslash
  static std::string ReadmePath();
  static std::string VersionSamplePath();

 protected:
  void LoadWindowPlacement(CREATESTRUCTA& cs);
  void SaveWindowPlacement();
  void LoadEditorFont();
  void SaveEditorFont();
  void LoadColors();
  void SaveColors();

  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  void OnHelpReadme();
  void OnHelpScriptDocs();
  void OnHelpOnline();
  void OnUpdateHelpOnline(CCmdUI* ui);
  void OnHelpWshVersion();
  void OnUpdateHelpWshVersion(CCmdUI* ui);
  DECLARE_MESSAGE_MAP()
};

// Shows "'%s' を開くことができません。(Error:%lu)" for a file beside the executable.
void ReportCannotOpen(const std::string& path, unsigned long error);
