// Running a macro from the editor. The macro runs in a helper process
// (ruvelto-macro.exe beside the program, reached through MacroConnection);
// the editor sends it the macro and the view's text and selection, applies
// the edits it streams back (the whole run one step of the view's history,
// the view's drawing held off while they come and repainted when they pause
// or end), and answers alert, confirm and prompt through the modal seam, owned
// by the main window. Meanwhile the main window and every modeless window
// wait, so no document can be edited, and the "マクロ実行中" window
// (MacroRunWindow) names the macro; its "中止" button, Esc or closing it ends
// the helper at once, a question that shows included. Whatever way the macro
// ends, the edits applied so far stay and one undo takes them back.
#pragma once
#include <windows.h>
#include <string>
#include "macros/macro_protocol.h"

class CMyEditView;
class CEditView;

struct MacroRunRequest {
  std::string macro;  // the macro's text
  std::string path;   // its file: a failure opens it at the failing line
  int language = 0;   // 0 JScript, otherwise VBScript
  HWND owner = nullptr;
  std::string helper;  // the helper executable; empty: ruvelto-macro.exe beside the program
  std::string scriptControl = "ScriptControl";  // the ProgID the helper creates
};

enum class MacroRunEnd {
  Ended,       // by itself
  Failed,      // by a script error, reported
  Stopped,     // by the user
  Lost,        // the helper died, its stream broke or its view closed or refused an edit, reported
  NotStarted,  // the helper could not start, reported; nothing changed
};

MacroRunEnd RunMacro(const MacroRunRequest& request, CMyEditView& view);

// Applies one edit of the helper to `view` as one step of its history (or
// part of the group open around it); false when the view refused it.
bool ApplyMacroEdit(CMyEditView& view, const MacroEdit& edit);

// Reads a macro file as text: every line followed by CR LF. False with the
// system's error code when it cannot be opened.
bool ReadMacroFile(const std::string& path, std::string& text, unsigned long& error);
// Selects line `line` (from 1) without its line break; a line outside
// 1..line count selects nothing. Scrolls the selection into view.
bool SelectMacroLine(CEditView& view, long line);
