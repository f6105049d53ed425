// The captured run (see captured_run.h).
#include "hosting/captured_run.h"
#include <vector>

CapturedRun::~CapturedRun() {
  Stop();
  Finish();
}

void CapturedRun::Finish() {
  if (m_worker.joinable()) m_worker.join();
  for (HANDLE* h : {&m_job, &m_process, &m_read})
    if (*h) {
      CloseHandle(*h);
      *h = nullptr;
    }
}

bool CapturedRun::Start(const std::string& commandLine, const std::string& folder, DWORD& error) {
  if (Running()) {
    error = ERROR_BUSY;
    return false;
  }
  Finish();
  m_pending = CapturedBatch();
  m_stopping = false;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE write = nullptr;
  if (!CreatePipe(&m_read, &write, &inherit, 1 << 16)) {
    error = GetLastError();
    return false;
  }
  SetHandleInformation(m_read, HANDLE_FLAG_INHERIT, 0);
  // The script's own input is nothing: a script that reads it sees its end.
  HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);
  m_job = CreateJobObjectA(nullptr, nullptr);
  if (m_job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = input == INVALID_HANDLE_VALUE ? nullptr : input;
  startup.hStdOutput = write;
  startup.hStdError = write;
  PROCESS_INFORMATION info{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  const DWORD startTick = GetTickCount();
  const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED,
                                      nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info);
  error = started ? 0 : GetLastError();
  CloseHandle(write);  // the pipe ends when the program and its children have closed theirs
  if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
  if (!started) {
    Finish();
    return false;
  }
  if (m_job) AssignProcessToJobObject(m_job, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  m_process = info.hProcess;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_running = true;
  }
  m_worker = std::thread([this, startTick] { Read(startTick); });
  return true;
}

bool CapturedRun::Running() const {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_running;
}

void CapturedRun::Stop() {
  std::lock_guard<std::mutex> hold(m_lock);
  if (!m_running) return;
  m_stopping = true;
  if (m_job) TerminateJobObject(m_job, 1);
  if (m_process) TerminateProcess(m_process, 1);  // in case it is in no job
}

CapturedBatch CapturedRun::Take() {
  std::lock_guard<std::mutex> hold(m_lock);
  CapturedBatch batch = std::move(m_pending);
  m_pending = CapturedBatch();
  m_posted = false;
  return batch;
}

void CapturedRun::Hand(const std::string& lines, int count, bool finished) {
  bool post = false;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    if (count > 0) {
      if (m_pending.count > 0) m_pending.lines += "\r\n";
      m_pending.lines += lines;
      m_pending.count += count;
    }
    if (finished) m_running = false;
    post = !m_posted;
    m_posted = true;
  }
  if (post) PostMessageA(m_notify, m_message, 0, 0);
}

void CapturedRun::Read(DWORD startTick) {
  try {
    std::string partial, ready;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(m_read, chunk, sizeof chunk, &got, nullptr) && got > 0) {
      partial.append(chunk, got);
      std::size_t from = 0, end;
      int count = 0;
      ready.clear();
      while ((end = partial.find('\n', from)) != std::string::npos) {
        std::size_t stop = end > from && partial[end - 1] == '\r' ? end - 1 : end;
        if (count++ > 0) ready += "\r\n";
        ready.append(partial, from, stop - from);
        from = end + 1;
      }
      partial.erase(0, from);
      if (count > 0) Hand(ready, count, false);
    }
    WaitForSingleObject(m_process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    const double seconds = (GetTickCount() - startTick) / 1000.0;
    {
      std::lock_guard<std::mutex> hold(m_lock);
      if (!partial.empty()) {
        if (partial.back() == '\r') partial.pop_back();
        if (m_pending.count++ > 0) m_pending.lines += "\r\n";
        m_pending.lines += partial;
      }
      m_pending.finished = true;
      m_pending.stopped = m_stopping;
      m_pending.exitCode = code;
      m_pending.seconds = seconds;
    }
    Hand(std::string(), 0, true);
  } catch (...) {
    {
      std::lock_guard<std::mutex> hold(m_lock);
      m_pending.finished = true;
      m_pending.stopped = m_stopping;
    }
    Hand(std::string(), 0, true);
  }
}
