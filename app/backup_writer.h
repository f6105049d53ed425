// The one thread that writes and removes backup files, so that the user
// interface thread never waits for the disk. Jobs run in the order they were
// handed over; a write waiting for its turn is replaced by a newer write of the
// same file. A write goes to the temporary name first and is moved over the
// backup only when complete, so a backup on disk is always whole.
//
// Not SafeWriteFile, which saves documents: that one reports failures in
// message boxes, which this thread must never show, and names its temporary
// file at random, where a backup's must carry its run's name so that only the
// leftovers of ended runs are removed.
#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

class BackupWriter {
 public:
  BackupWriter() = default;
  ~BackupWriter();  // finishes the jobs handed over, then the thread ends
  BackupWriter(const BackupWriter&) = delete;
  BackupWriter& operator=(const BackupWriter&) = delete;

  // `header` then `text` into `temp`, then moved over `path`.
  void Write(const std::string& path, const std::string& temp, std::string header, std::string text);
  // Removes `path` and `temp` (either may be missing).
  void Remove(const std::string& path, const std::string& temp);
  // Returns once every job handed over so far is done.
  void Flush();
  // Whether a job failed since the last call (disk full, folder gone).
  bool TakeFailure() { return m_failed.exchange(false); }

 private:
  struct Job {
    bool write = false;
    std::string path, temp, header, text;
  };
  void Post(Job job);
  void Run();
  static bool Perform(const Job& job);

  std::mutex m_mutex;
  std::condition_variable m_wake;  // a job came, or the thread is to end
  std::condition_variable m_idle;  // the queue ran empty with no job under way
  std::deque<Job> m_jobs;
  bool m_busy = false;     // a job taken from the queue is under way
  bool m_stopping = false;
  std::atomic<bool> m_failed{false};
  std::thread m_thread;    // started with the first job
};
