// The syntax check off the user interface thread: one thread that owns the
// ScriptChecker (and so its helper) and checks a copy of a document's text
// taken on the user interface thread. At most one check runs and one waits; a
// newer request takes the waiting one's place. Each answer is queued and the
// window told by a posted message; the window takes the answers and decides
// whether they still fit (the document open, its text of that version).
#pragma once
#include <windows.h>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include "macros/script_check.h"

struct ScriptCheckRequest {
  unsigned target = 0;   // who asked (a view's serial), handed back as it is
  unsigned version = 0;  // the text's change count when it was copied
  bool command = false;  // asked for by the user (else a check as you type)
  std::string text;      // CP932
  std::string path;
  int language = 0;  // the colouring language, as CheckDocument takes it
};

struct ScriptCheckAnswer {
  unsigned target = 0, version = 0;
  bool command = false;
  std::string path;
  DocumentCheck check;
};

class ScriptCheckWorker {
 public:
  // Answers are announced to `notify` by posting `message` (no parameters).
  ScriptCheckWorker(HWND notify, UINT message);
  // Ends the check under way (its helper at once) and the thread.
  ~ScriptCheckWorker();
  ScriptCheckWorker(const ScriptCheckWorker&) = delete;
  ScriptCheckWorker& operator=(const ScriptCheckWorker&) = delete;

  // Queues a check, starting the thread on the first. A request for the same
  // target and version as the waiting one joins it (a command stays one).
  void Request(ScriptCheckRequest request);
  // The next answer not yet taken.
  bool TakeAnswer(ScriptCheckAnswer& answer);
  // True when nothing runs, nothing waits and every answer was taken.
  bool Idle();
  // Ends the check under way and the thread; later requests are dropped.
  void Stop();
  // The checker the thread uses: its settings may change only while Idle().
  ScriptChecker& Checker() { return m_checker; }

 private:
  void Run();
  HWND m_notify;
  UINT m_message;
  ScriptChecker m_checker;  // used by the thread only once it runs
  HANDLE m_abandon;         // set by Stop: the check under way ends
  std::mutex m_lock;
  std::condition_variable m_wake;
  std::unique_ptr<ScriptCheckRequest> m_waiting;  // guarded by m_lock
  bool m_running = false;                         // guarded by m_lock
  bool m_stopping = false;                        // guarded by m_lock
  std::deque<ScriptCheckAnswer> m_answers;        // guarded by m_lock
  std::thread m_thread;
};
