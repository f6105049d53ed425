// The editor's connection to one macro helper process: started with pipes of
// its own (never its standard handles, which point at NUL, so that nothing the
// macro or a component prints can reach the conversation), inside the job that
// ends every helper with the editor, inheriting only those two pipe ends. A
// thread reads its messages into a queue bounded in bytes (macro_inbox.h).
// Ending the connection ends the helper at once: nothing more is wanted from
// it, and the editor never waits for it.
#pragma once
#include <windows.h>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include "macros/macro_inbox.h"
#include "macros/macro_pipe.h"

class MacroConnection {
 public:
  MacroConnection() = default;
  ~MacroConnection();
  MacroConnection(const MacroConnection&) = delete;
  MacroConnection& operator=(const MacroConnection&) = delete;

  // Starts `helper` and its reader. False with the system's error code when
  // it cannot start.
  bool Start(const std::string& helper, DWORD& error);
  // Sends `message`; false once the helper is gone.
  bool Send(const MacroMessage& message);
  // The next message the helper sent, if one is waiting.
  bool Next(MacroMessage& message) { return m_inbox.Pop(message); }
  // Signalled when a message arrives or the stream ends.
  HANDLE Arrived() const { return m_arrived; }
  // True once the stream has ended and every message was taken; `how` then
  // says how it ended.
  bool Ended(MacroStreamEnd& how) const;
  // Ends the helper now (what it sent so far stays readable).
  void EndHelper();
  DWORD HelperId() const { return m_process.dwProcessId; }
  // True while the helper process has not ended.
  bool HelperRunning() const {
    return m_process.hProcess && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
  }

 private:
  void Read();
  PROCESS_INFORMATION m_process{};
  std::unique_ptr<MacroPipeWriter> m_toHelper;
  HANDLE m_fromHelper = nullptr;  // overlapped, so that the reader can be told to stop
  HANDLE m_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE m_arrived = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  MacroInbox m_inbox;
  std::atomic<bool> m_streamEnded{false};  // set by the reader, after m_how
  MacroStreamEnd m_how = MacroStreamEnd::Closed;
  std::thread m_reader;
};

// The helper beside the program (ruvelto-macro.exe in the program's folder),
// or empty with ERROR_FILENAME_EXCED_RANGE when the program's own path does
// not fit: a bare name would be looked up in the current folder.
std::string MacroHelperBesideProgram();
