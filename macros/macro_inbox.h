// The editor's side of the helper's stream, without a Windows header: the
// queue between the thread that reads the pipe and the user interface thread,
// bounded in bytes, and the reading loop that fills it.
//
// While the queue holds more than its limit, the reader waits, stops reading
// the pipe, and the helper's writes wait in turn: a macro that writes faster
// than the view takes its edits is slowed to the view's pace instead of
// filling the editor's memory.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include "macros/macro_protocol.h"

class MacroInbox {
 public:
  static constexpr size_t kLimit = 4u << 20;
  explicit MacroInbox(size_t limit = kLimit) : m_limit(limit) {}
  MacroInbox(const MacroInbox&) = delete;
  MacroInbox& operator=(const MacroInbox&) = delete;

  // Queues `message`, first waiting while the queue is over its limit (a
  // message larger than the limit waits for an empty queue). False, and the
  // message dropped, once the inbox is closed.
  bool Push(MacroMessage&& message);
  // Takes the oldest message; false when there is none.
  bool Pop(MacroMessage& message);
  // The consumer is gone: a waiting Push returns false, and every later one.
  void Close();
  bool Empty() const;
  // Bytes queued (framed size), at most the limit or one message.
  size_t Bytes() const;

 private:
  const size_t m_limit;
  mutable std::mutex m_lock;
  std::condition_variable m_room;
  std::deque<MacroMessage> m_queue;  // invariant: m_bytes == sum of their framed sizes
  size_t m_bytes = 0;
  bool m_closed = false;
};

// How a stream of the helper ended.
enum class MacroStreamEnd {
  Closed,     // the stream ended after whole messages
  Cut,        // it ended within a message
  Malformed,  // it held something that is not a message
  NoMemory,   // a message could not be held
  Refused,    // the inbox was closed
};

// Reads messages with `read` (which fills up to `size` bytes and returns how
// many, 0 at the end of the stream) into `inbox` until the stream ends, and
// says how. Throws nothing.
MacroStreamEnd ReadMacroStream(const std::function<size_t(char* into, size_t size)>& read, MacroInbox& inbox);
