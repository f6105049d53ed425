// Running a macro from the editor. The macro runs in a helper process
// (ruvelto-macro.exe beside the program) inside a job that ends it when the
// editor ends; the editor sends it the macro and the view's text and
// selection, applies the edits it streams back (each one step of the view's
// history, the view's drawing held off while they come and repainted when they
// pause or end), and answers alert, confirm and prompt through the modal seam.
// Meanwhile the owner (the main window) is disabled, so no document can be
// edited, and the "マクロ実行中" window names the macro; its "中止" button,
// Esc or closing it ends the helper at once. Whatever way the macro ends, the
// edits applied so far stay and can be undone.
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
};

enum class MacroRunEnd {
  Ended,       // by itself
  Failed,      // by a script error, reported
  Stopped,     // by the user
  Lost,        // the helper died or its view closed, reported
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

// The helper executable; empty means ruvelto-macro.exe beside the program. A
// test names the one it built.
extern std::string g_macroHostPath;
