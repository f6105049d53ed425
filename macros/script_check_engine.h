// The syntax check, in the helper process: a script text parsed by the real
// JScript or VBScript engine without running any of it. The engine is made
// for one check, initialised but never started, given the text through
// IActiveScriptParse::ParseScriptText (which, before the engine starts, only
// compiles and reports a syntax error to the site) and closed, which discards
// the code.
#pragma once
#include <cstdint>
#include <string>

struct ScriptCheckOutcome {
  bool hasError = false;
  int32_t status = 0;       // the error's code (or why the engine could not be made)
  bool cannotCreate = false;  // the engine could not be made: `status` says why
  int32_t line = 0;         // from 0
  int32_t column = 0;       // from 0, in characters of the line
  int32_t byteColumn = 0;   // from 0, in CP932 bytes of the line
  std::string description;  // the engine's words; may be empty
};

// Checks `text` (CP932) with the engine named `progId` ("JScript", "VBScript").
ScriptCheckOutcome CheckScriptSyntax(const std::string& text, const wchar_t* progId);
