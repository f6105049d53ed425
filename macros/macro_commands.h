// The Macro menu's work for the main window: the macro items rebuilt from the
// macro folder, running the chosen macro against the active edit view, the
// language, Organize and Add macro. The main window owns one, forwards its
// Macro menu messages and commands to it and keeps only frame work itself.
#pragma once
#include <windows.h>
#include <string>
#include <utility>
#include "macros/macro_names.h"
#include "resources/resource.h"

class CMyEditView;
class CMyView;
class CWnd;

class CMacroCommands {
 public:
  // `language` (0 JScript, 1 VBScript) is the settings' value, read and set
  // in place; `exeFolder` holds the folder "macro".
  CMacroCommands(int& language, std::string exeFolder) : m_language(language), m_exeFolder(std::move(exeFolder)) {}
  // The window that owns what a macro shows (the main window, once it exists).
  void SetSite(HWND site) { m_site = site; }

  int Language() const { return m_language; }
  void SetLanguage(int language) { m_language = language ? 1 : 0; }
  const std::string& ExeFolder() const { return m_exeFolder; }

  // Refills the macro items of the Macro menu of `bar`; true when it changed.
  bool RebuildMenu(HMENU bar);
  // Enables the macro items of a popup (the framework knows no handler for them).
  void EnableItems(HMENU popup) const;
  // True when `id` is a macro item of `bar`: the macro of that name has run
  // (as Run does).
  bool RunItem(UINT id, HMENU bar, CMyEditView* view);
  // Runs the macro `name` of the current language against `view`: a macro
  // file open in the editor is saved first, and a failed save runs nothing.
  void Run(const std::string& name, CMyEditView* view);
  // Runs `text` (the file at `path`) against `view`; after a stop by the
  // user the status bar says so.
  void ExecuteText(const std::string& text, CMyEditView* view, const std::string& path) const;
  // Organize: rename, delete or edit the listed macros.
  void Organize(CWnd* parent);
  bool CanOrganize() const { return !m_list.IsEmpty(); }
  // Add macro: the view's document saved as a macro of the current language.
  void AddFromView(CMyView& view) const;

  // The names of the macro items, in menu order (ids ID_MACRO_FIRST on).
  CSortedStringList m_list;
  // What a run starts: the helper (empty: ruvelto-macro.exe beside the
  // program) and the script control's ProgID. A test names its own.
  std::string m_helper;
  std::string m_scriptControl = "ScriptControl";

 private:
  int& m_language;
  std::string m_exeFolder;
  HWND m_site = nullptr;
  int m_nextId = ID_MACRO_FIRST;  // the macro items have the ids ID_MACRO_FIRST..m_nextId-1
};
