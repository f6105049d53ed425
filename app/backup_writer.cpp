// The backup writer's thread.
#include "app/backup_writer.h"
#include <windows.h>
#include "platform/framework/safe_file.h"

BackupWriter::~BackupWriter() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

unsigned long long BackupWriter::Write(const std::string& path, const std::string& temp, std::string header,
                                       std::string text) {
  Job job;
  job.write = true;
  job.path = path;
  job.temp = temp;
  job.header = std::move(header);
  job.text = std::move(text);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    job.number = ++m_lastNumber;
  }
  const unsigned long long number = job.number;
  Post(std::move(job));
  return number;
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
    bool merged = false;
    for (Job& waiting : m_jobs)
      if (waiting.path == job.path) {
        waiting = std::move(job);
        merged = true;
        break;
      }
    if (!merged) m_jobs.push_back(std::move(job));
    if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
  }
  m_wake.notify_one();
}

void BackupWriter::Flush() {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

std::vector<BackupWriter::Result> BackupWriter::TakeResults() {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<Result> results;
  for (auto& r : m_results) results.push_back(std::move(r.second));
  m_results.clear();
  return results;
}

std::size_t BackupWriter::Waiting() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_jobs.size();
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
    bool ok = false;
    try {
      ok = Perform(job);
    } catch (...) {
      // Out of memory: the job failed, and the keeper tries again.
    }
    lock.lock();
    if (job.write) m_results[job.path] = Result{job.path, job.number, ok};
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
  return WriteFileAtomically(
             job.path,
             [&](HANDLE file) {
               const DWORD error = WriteAllBytes(file, job.header);
               return error ? error : WriteAllBytes(file, job.text);
             },
             job.temp)
      .ok();
}
