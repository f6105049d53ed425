// The macro engine: a macro text run in the system's script control with the
// "editor" object of a view. The control is created by its programmatic
// identifier for one run and driven late bound by fixed dispatch ids, in this
// order: Language, AddObject("editor", object, members global), AllowUI,
// SitehWnd, Timeout (-1, none), ExecuteStatement. A failure of any of these is
// reported with the control's error record; the failing line of the macro file
// is opened and selected when the record has a line.
//
// ExecuteStatement blocks the calling thread until the script ends; a script
// that never ends is never stopped (the control's time limit is not honoured
// everywhere either). Never run a macro without a bound on the process.
#pragma once
#include <windows.h>
#include <string>
#include "macros/macro_names.h"

class CMyEditView;
class CEditView;

struct MacroRunContext {
  int language = 0;      // 0 JScript, otherwise VBScript
  HWND site = nullptr;   // parent of the engines' and the object's dialogs
};

// Reads a macro file as text: every line followed by CR LF. False with the
// system's error code when it cannot be opened.
bool ReadMacroFile(const std::string& path, std::string& text, unsigned long& error);
// Runs `text` against `view`; `path` is the macro file, used only to show the
// failing line.
void ExecuteMacroText(const std::string& text, CMyEditView& view, const std::string& path,
                      const MacroRunContext& context);
// Selects line `line` (from 1) without its line break; a line outside
// 1..line count selects nothing. Scrolls the selection into view.
bool SelectMacroLine(CEditView& view, long line);

// The programmatic identifier the engine creates: a constant of the program,
// kept writable only so that a test can name a missing one.
extern const wchar_t* g_scriptControlProgId;
