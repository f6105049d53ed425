// The editor's side of the syntax check: a checker helper process
// (ruvelto-macro.exe opened with Check, see macro_protocol.h) started on the
// first check and kept for the next ones. A check never runs in the editor's
// process: a helper that dies during a check or does not answer within the
// time limit is ended and the check reported as lost; a new one is started
// for the next check (as it is, quietly, for a helper that died while idle).
// Answers to an earlier check (one given up on) are dropped by their serial.
#pragma once
#include <windows.h>
#include <atomic>
#include <memory>
#include <string>
#include <vector>
#include "macros/macro_connection.h"

struct ScriptCheckResult {
  enum State { Clean, Error, Lost, NotStarted, NoEngine } state = Lost;
  int line = 0;        // from 0
  int column = 0;      // from 0, characters
  int byteColumn = 0;  // from 0, CP932 bytes of the line
  long status = 0;
  std::string description;  // the engine's; may be empty
};

class ScriptChecker {
 public:
  ScriptChecker() = default;
  ScriptChecker(const ScriptChecker&) = delete;
  ScriptChecker& operator=(const ScriptChecker&) = delete;
  // Checks `text` (CP932) in `language` (0 JScript, else VBScript) and waits
  // for the answer, at most m_timeout ms.
  ScriptCheckResult Check(const std::string& text, int language);
  // Ends the helper (as if it had died); the next check starts another.
  void EndHelper();
  // The process id of the helper started last; 0 before the first check.
  // Readable from any thread.
  DWORD HelperId() const { return m_helperId; }
  std::string m_helper;     // empty: ruvelto-macro.exe beside the program
  DWORD m_timeout = 10000;  // ms a check may take before its helper is ended
  DWORD m_lastError = 0;    // why the helper could not start (NotStarted)
  // An event (the caller's) that, once set, ends the check under way and
  // every later one at once as Lost, the helper ended; null: none.
  HANDLE m_abandon = nullptr;

 private:
  bool EnsureStarted();
  std::unique_ptr<MacroConnection> m_connection;
  std::atomic<DWORD> m_helperId{0};
  int32_t m_serial = 0;
};

// A document's check: the whole text with the engine of its language, or, in
// markup (.wsf, .wsc, .hta), the code of each <script> element with the
// engine its language attribute names. Lines and columns are the document's.
struct DocumentCheck {
  // What the status bar says: Clean when nothing was found, else the first
  // error, or why a check got no answer (the elements after it unchecked).
  ScriptCheckResult verdict;
  std::vector<ScriptCheckResult> errors;  // every error found, in the text's order
};
// Checks `text` (CP932) of the document at `path`; `language` (the colouring
// language, syntax::Language) names the engine for a path that names none.
DocumentCheck CheckDocument(ScriptChecker& checker, const std::string& text, const std::string& path, int language);

// True for a path whose scripts are <script> elements: .wsf, .wsc, .hta (any case).
bool IsMarkupScript(const std::string& path);
// True when a document at `path` coloured as `language` has an engine to
// check it: markup, or a text in JScript or VBScript.
bool HasCheckEngine(const std::string& path, int language);

// An error's words: the engine's, or, when it gave none, ours with its number.
std::string ScriptCheckDescription(const ScriptCheckResult& result);
// The status bar's words for `result`.
std::string ScriptCheckStatusText(const ScriptCheckResult& result);
