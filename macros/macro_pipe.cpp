// The macro helper's pipe ends (see macro_pipe.h).
#include "macros/macro_pipe.h"
#include <algorithm>
#include <chrono>

MacroPipeWriter::MacroPipeWriter(HANDLE pipe) : m_pipe(pipe), m_thread([this] { Run(); }) {}

MacroPipeWriter::~MacroPipeWriter() {
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_closing = true;
  }
  m_changed.notify_all();
  m_thread.join();
  CloseHandle(m_pipe);
}

bool MacroPipeWriter::Send(const MacroMessage& message, bool urgent) {
  std::unique_lock<std::mutex> hold(m_lock);
  m_changed.wait(hold, [this] { return m_broken || m_queue.size() < kBacklog; });
  if (m_broken) return false;
  // A writer at work takes what was added when it comes back for more: only
  // an idle one needs waking, or a gathering one for an urgent or full batch.
  const bool idle = m_queue.empty() && !m_writing;
  AppendMacroMessage(m_queue, message);
  const bool hurry = (urgent || m_queue.size() >= kBatch) && !m_urgent;
  m_urgent = m_urgent || urgent;
  hold.unlock();
  if (idle || hurry) m_changed.notify_all();
  return true;
}

void MacroPipeWriter::Flush() {
  std::unique_lock<std::mutex> hold(m_lock);
  m_changed.wait(hold, [this] { return m_broken || (m_queue.empty() && !m_writing); });
}

void MacroPipeWriter::Run() {
  std::string batch;
  for (;;) {
    {
      std::unique_lock<std::mutex> hold(m_lock);
      m_writing = false;
      m_changed.notify_all();
      m_changed.wait(hold, [this] { return m_closing || !m_queue.empty(); });
      if (m_queue.empty() || m_broken) return;  // closing with nothing left, or nowhere to write
      m_writing = true;
      m_changed.wait_for(hold, std::chrono::milliseconds(kGather),
                         [this] { return m_closing || m_urgent || m_queue.size() >= kBatch; });
      m_urgent = false;
      batch.swap(m_queue);
      m_queue.clear();
      m_writing = true;
    }
    size_t done = 0;
    while (done < batch.size()) {
      DWORD wrote = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(batch.size() - done, 1u << 20));
      if (!WriteFile(m_pipe, batch.data() + done, chunk, &wrote, nullptr) || wrote == 0) {
        std::lock_guard<std::mutex> hold(m_lock);
        m_broken = true;
        m_queue.clear();
        break;
      }
      done += wrote;
    }
    batch.clear();
  }
}

bool ReadMacroMessage(HANDLE pipe, MacroMessageReader& reader, MacroMessage& message) {
  char buffer[64 * 1024];
  for (;;) {
    switch (reader.Next(message)) {
      case MacroMessageReader::kMessage: return true;
      case MacroMessageReader::kMalformed: return false;
      case MacroMessageReader::kNeedMore: break;
    }
    DWORD got = 0;
    if (!ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) || got == 0) return false;
    reader.Feed(buffer, got);
  }
}
