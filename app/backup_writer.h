// The one thread that writes and removes backup files, so that the user
// interface thread never waits for the disk. Jobs run in the order they were
// handed over, at most one waiting per file: a newer job of the same file
// (a write or a removal) takes the place of the one still waiting, wherever it
// is in the queue, so the queue never holds more than one copy of a text per
// document however long the disk stalls. Each write goes through
// WriteFileAtomically to the temporary name first, so a backup on disk is
// always whole, and its outcome is kept per file for the keeper to take.
#pragma once
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class BackupWriter {
 public:
  // The outcome of the last write of a file that ran.
  struct Result {
    std::string path;
    unsigned long long job = 0;  // the number Write gave it
    bool ok = false;
  };

  BackupWriter() = default;
  ~BackupWriter();  // finishes the jobs handed over, then the thread ends
  BackupWriter(const BackupWriter&) = delete;
  BackupWriter& operator=(const BackupWriter&) = delete;

  // `header` then `text` into `temp`, then moved over `path`. Returns the
  // job's number, which its Result carries.
  unsigned long long Write(const std::string& path, const std::string& temp, std::string header, std::string text);
  // Removes `path` and `temp` (either may be missing).
  void Remove(const std::string& path, const std::string& temp);
  // Returns once every job handed over so far is done.
  void Flush();
  // The outcomes of the writes that ran since the last call, the latest per file.
  std::vector<Result> TakeResults();
  // The jobs waiting for their turn (not the one under way): at most one per file.
  std::size_t Waiting();

 private:
  struct Job {
    bool write = false;
    unsigned long long number = 0;
    std::string path, temp, header, text;
  };
  void Post(Job job);
  void Run();
  static bool Perform(const Job& job);

  std::mutex m_mutex;
  std::condition_variable m_wake;  // a job came, or the thread is to end
  std::condition_variable m_idle;  // the queue ran empty with no job under way
  std::deque<Job> m_jobs;
  std::map<std::string, Result> m_results;
  unsigned long long m_lastNumber = 0;
  bool m_busy = false;     // a job taken from the queue is under way
  bool m_stopping = false;
  std::thread m_thread;    // started with the first job
};
