// A program run with its standard output and error piped to the editor, no
// console window: a worker thread reads the pipe and hands whole lines (CP932,
// as the console hosts write them) to the user interface thread through a
// posted message. The program and everything it starts live in a job object
// that ends them all when the run is stopped or dropped.
#pragma once
#include <windows.h>
#include <mutex>
#include <string>
#include <thread>

// What the run printed since the user interface thread last looked.
struct CapturedBatch {
  std::string lines;  // whole lines joined by CR LF, without a line end at the end
  int count = 0;      // how many lines (an empty line counts)
  bool finished = false;
  bool stopped = false;  // ended by Stop
  DWORD exitCode = 0;
  double seconds = 0;  // from the start to the end of the program
};

class CapturedRun {
 public:
  // `message` is posted to `notify` when lines or the end are ready to be taken.
  CapturedRun(HWND notify, UINT message) : m_notify(notify), m_message(message) {}
  ~CapturedRun();
  CapturedRun(const CapturedRun&) = delete;
  CapturedRun& operator=(const CapturedRun&) = delete;

  // Starts `commandLine` in `folder`; false with the system's `error` when it
  // cannot be started. Only when no run is under way.
  bool Start(const std::string& commandLine, const std::string& folder, DWORD& error);
  bool Running() const;
  // Ends the program and everything it started; the batch that finishes says so.
  void Stop();
  CapturedBatch Take();

 private:
  HWND m_notify;
  UINT m_message;
  HANDLE m_job = nullptr;
  HANDLE m_process = nullptr;
  HANDLE m_read = nullptr;
  std::thread m_worker;
  mutable std::mutex m_lock;
  CapturedBatch m_pending;  // under m_lock
  bool m_posted = false;    // under m_lock: a message is on its way
  bool m_running = false;   // under m_lock
  bool m_stopping = false;  // under m_lock
  void Read(DWORD startTick);
  void Hand(const std::string& lines, int count, bool finished);
  void Finish();
};
