// The macro engine, in the macro's helper process: a macro text run in the
// system's script control with the "editor" object. The control is created by
// its programmatic identifier for one run and driven late bound by fixed
// dispatch ids, in this order: Language, AddObject("editor", object, members
// global), AllowUI, SitehWnd, Timeout (-1, none), ExecuteStatement. A failure
// of any of these is described by the control's error record.
//
// ExecuteStatement blocks the calling thread until the script ends, and
// nothing inside the process can stop a script that never ends: the editor
// ends the helper process instead.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>
#include "macros/macro_protocol.h"

// Runs `macro` in the language `languageName` ("JScript", "VBScript") in the
// control named `progId` (the editor's choice, normally "ScriptControl") with
// `editor` as the global object "editor"; `site` (the editor's main window,
// in another process) parents the engines' own boxes. True when the macro ran
// to its end, else false with `failure`.
bool RunMacroInControl(const std::string& macro, const std::string& languageName, const std::wstring& progId,
                       HWND site, IDispatch* editor, MacroFailure& failure);
