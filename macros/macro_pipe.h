// The two ends of the macro helper's pipes: a writer that sends messages in
// order from its own thread, so that the sender never waits for the other
// side to read (a helper that streams edits, an editor that must stay
// responsive), and a blocking read of the next message.
#pragma once
#include <windows.h>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include "macros/macro_protocol.h"

class MacroPipeWriter {
 public:
  // Takes `pipe` and closes it when done.
  explicit MacroPipeWriter(HANDLE pipe);
  // Sends what is queued, then closes the pipe.
  ~MacroPipeWriter();
  MacroPipeWriter(const MacroPipeWriter&) = delete;
  MacroPipeWriter& operator=(const MacroPipeWriter&) = delete;

  // Queues `message`. An urgent one (a question, the last word) is written at
  // once; others are gathered for up to kGather ms or kBatch bytes and written
  // together, since each write and each wake-up costs a trip through the
  // system. While more than `kBacklog` bytes wait, the caller is held until
  // the other side has read some (a macro that writes without end cannot eat
  // the memory). False once the pipe is broken.
  bool Send(const MacroMessage& message, bool urgent = true);
  // Waits until everything queued has been written (or the pipe broke).
  void Flush();
  static constexpr size_t kBacklog = 16u << 20;
  static constexpr size_t kBatch = 64u << 10;
  static constexpr unsigned kGather = 5;

 private:
  void Run();
  HANDLE m_pipe;
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::string m_queue;   // framed messages not yet handed to WriteFile
  bool m_writing = false;  // the writer has taken a batch (or is gathering one)
  bool m_urgent = false;   // the queue holds a message to write at once
  bool m_closing = false;
  bool m_broken = false;
  std::thread m_thread;  // last: starts once the members above exist
};

// Reads from `pipe` until `reader` has the next message. False when the pipe
// ended or the stream is malformed.
bool ReadMacroMessage(HANDLE pipe, MacroMessageReader& reader, MacroMessage& message);
