// The editor's queue of the helper's messages (see macro_inbox.h).
#include "macros/macro_inbox.h"
#include <new>
#include <vector>

bool MacroInbox::Push(MacroMessage&& message) {
  const size_t size = MacroMessageSize(message);
  std::unique_lock<std::mutex> hold(m_lock);
  m_room.wait(hold, [&] { return m_closed || m_queue.empty() || m_bytes + size <= m_limit; });
  if (m_closed) return false;
  m_queue.push_back(std::move(message));
  m_bytes += size;
  return true;
}

bool MacroInbox::Pop(MacroMessage& message) {
  {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_queue.empty()) return false;
    message = std::move(m_queue.front());
    m_queue.pop_front();
    m_bytes -= MacroMessageSize(message);
  }
  m_room.notify_all();
  return true;
}

void MacroInbox::Close() {
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_closed = true;
    m_queue.clear();
    m_bytes = 0;
  }
  m_room.notify_all();
}

bool MacroInbox::Empty() const {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_queue.empty();
}

size_t MacroInbox::Bytes() const {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_bytes;
}

MacroStreamEnd ReadMacroStream(const std::function<size_t(char* into, size_t size)>& read, MacroInbox& inbox) {
  try {
    MacroMessageReader reader;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
      MacroMessage message;
      switch (reader.Next(message)) {
        case MacroMessageReader::kMessage:
          if (!inbox.Push(std::move(message))) return MacroStreamEnd::Refused;
          continue;
        case MacroMessageReader::kMalformed: return MacroStreamEnd::Malformed;
        case MacroMessageReader::kNeedMore: break;
      }
      const size_t got = read(buffer.data(), buffer.size());
      if (got == 0) return reader.Pending() ? MacroStreamEnd::Cut : MacroStreamEnd::Closed;
      reader.Feed(buffer.data(), got);
    }
  } catch (const std::bad_alloc&) {
    return MacroStreamEnd::NoMemory;
  } catch (...) {
    return MacroStreamEnd::Malformed;
  }
}
