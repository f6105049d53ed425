// The backup writer's thread.
#include "app/backup_writer.h"
#include <windows.h>

BackupWriter::~BackupWriter() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

void BackupWriter::Write(const std::string& path, const std::string& temp, std::string header, std::string text) {
  Job job;
  job.write = true;
  job.path = path;
  job.temp = temp;
  job.header = std::move(header);
  job.text = std::move(text);
  Post(std::move(job));
}

void BackupWriter::Remove(const std::string& path, const std::string& temp) {
  Job job;
  job.path = path;
  job.temp = temp;
  Post(std::move(job));
}

void BackupWriter::Post(Job job) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    // A newer write of the same file makes a waiting one pointless.
    if (job.write && !m_jobs.empty() && m_jobs.back().write && m_jobs.back().path == job.path)
      m_jobs.back() = std::move(job);
    else
      m_jobs.push_back(std::move(job));
    if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
  }
  m_wake.notify_one();
}

void BackupWriter::Flush() {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void BackupWriter::Run() {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
    if (m_jobs.empty()) return;  // stopping, with nothing left to do
    Job job = std::move(m_jobs.front());
    m_jobs.pop_front();
    m_busy = true;
    lock.unlock();
    if (!Perform(job)) m_failed = true;
    lock.lock();
    m_busy = false;
    if (m_jobs.empty()) m_idle.notify_all();
  }
}

bool BackupWriter::Perform(const Job& job) {
  if (!job.write) {
    bool ok = DeleteFileA(job.path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    DeleteFileA(job.temp.c_str());
    return ok;
  }
  HANDLE file = CreateFileA(job.temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  for (const std::string* part : {&job.header, &job.text}) {
    DWORD written = 0;
    if (!part->empty() &&
        (!WriteFile(file, part->data(), static_cast<DWORD>(part->size()), &written, nullptr) || written != part->size()))
      ok = false;
  }
  ok = FlushFileBuffers(file) && ok;
  CloseHandle(file);
  ok = ok && MoveFileExA(job.temp.c_str(), job.path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileA(job.temp.c_str());
  return ok;
}
