// The editor's connection to a macro helper (see macro_connection.h).
#include "macros/macro_connection.h"
#include <cstdio>
#include "platform/cp932_wide.h"
#include "platform/framework/pathutil.h"

namespace {
// The job that holds every helper: when the editor ends, however it ends,
// the system ends the helpers with it.
HANDLE HelperJob() {
  static HANDLE job = [] {
    HANDLE h = CreateJobObjectA(nullptr, nullptr);
    if (h) {
      JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
      limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
      SetInformationJobObject(h, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    return h;
  }();
  return job;
}

// Handles that are closed when this goes, unless released.
struct Handles {
  HANDLE h[5] = {};
  ~Handles() {
    for (HANDLE x : h)
      if (x && x != INVALID_HANDLE_VALUE) CloseHandle(x);
  }
};

// The pipe the helper writes to: the editor's end overlapped (its reader can
// be told to stop at any time), the helper's end inheritable.
bool CreateInboundPipe(HANDLE& editorEnd, HANDLE& helperEnd) {
  static LONG serial = 0;
  char name[96];
  std::snprintf(name, sizeof name, "\\\\.\\pipe\\ruvelto-macro-%lu-%ld-%lu", GetCurrentProcessId(),
                InterlockedIncrement(&serial), GetTickCount());
  editorEnd = CreateNamedPipeA(name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                               PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                               64 * 1024, 0, nullptr);
  if (editorEnd == INVALID_HANDLE_VALUE) {
    editorEnd = nullptr;
    return false;
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  helperEnd = CreateFileA(name, GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, 0, nullptr);
  return helperEnd != INVALID_HANDLE_VALUE;
}
}  // namespace

std::string MacroHelperBesideProgram() {
  char path[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return std::string();
  }
  return PathFolderWithSeparator(std::string(path, n)) + "ruvelto-macro.exe";
}

MacroConnection::~MacroConnection() {
  EndHelper();
  if (m_stop) SetEvent(m_stop);
  m_inbox.Close();
  if (m_reader.joinable()) m_reader.join();
  m_toHelper.reset();  // its write fails at once now that the helper's end is gone
  for (HANDLE h : {m_fromHelper, m_stop, m_arrived, m_process.hThread, m_process.hProcess})
    if (h) CloseHandle(h);
}

bool MacroConnection::Start(const std::string& helper, DWORD& error) {
  error = ERROR_SUCCESS;
  if (helper.empty()) {
    error = ERROR_FILENAME_EXCED_RANGE;
    return false;
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  // 0 helper's read end, 1 editor's write end, 2 editor's read end, 3 helper's
  // write end, 4 the helper's standard handles (NUL).
  Handles p;
  bool made = CreatePipe(&p.h[0], &p.h[1], &inherit, 0) && SetHandleInformation(p.h[1], HANDLE_FLAG_INHERIT, 0) &&
              CreateInboundPipe(p.h[2], p.h[3]);
  if (made) {
    p.h[4] = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         OPEN_EXISTING, 0, nullptr);
    made = p.h[4] != INVALID_HANDLE_VALUE;
  }
  if (!made) {
    error = GetLastError();
    return false;
  }
  // The helper inherits these three handles and no other of the editor's.
  HANDLE inherited[3] = {p.h[0], p.h[3], p.h[4]};
  SIZE_T listSize = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
  std::unique_ptr<char[]> listBytes(new char[listSize ? listSize : 1]);
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBytes.get());
  const bool listed = InitializeProcThreadAttributeList(list, 1, 0, &listSize) &&
                      UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                                sizeof inherited, nullptr, nullptr);
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = startup.StartupInfo.hStdOutput = startup.StartupInfo.hStdError = p.h[4];
  if (listed) startup.lpAttributeList = list;
  // The helper finds its pipes by the handle values on its command line.
  char handles[48];
  std::snprintf(handles, sizeof handles, " %lu %lu", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(p.h[0])),
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(p.h[3])));
  const std::wstring path = cp932::ToWide(helper);
  std::wstring command = L"\"" + path + L"\"" + cp932::ToWide(handles);
  const BOOL started = CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, TRUE,
                                      CREATE_SUSPENDED | (listed ? EXTENDED_STARTUPINFO_PRESENT : 0), nullptr,
                                      nullptr, &startup.StartupInfo, &m_process);
  error = started ? ERROR_SUCCESS : GetLastError();
  if (listed) DeleteProcThreadAttributeList(list);
  if (!started) {
    m_process = PROCESS_INFORMATION{};
    return false;
  }
  if (HANDLE job = HelperJob()) AssignProcessToJobObject(job, m_process.hProcess);
  ResumeThread(m_process.hThread);
  m_toHelper.reset(new MacroPipeWriter(p.h[1]));
  m_fromHelper = p.h[2];
  p.h[1] = p.h[2] = nullptr;  // kept; the helper's ends and NUL close with `p`
  m_reader = std::thread([this] { Read(); });
  return true;
}

bool MacroConnection::Send(const MacroMessage& message) { return m_toHelper && m_toHelper->Send(message); }

bool MacroConnection::Ended(MacroStreamEnd& how) const {
  if (!m_streamEnded || !m_inbox.Empty()) return false;
  how = m_how;
  return true;
}

void MacroConnection::EndHelper() {
  if (HelperRunning())
    TerminateProcess(m_process.hProcess, 1);
}

void MacroConnection::Read() {
  OVERLAPPED pending{};
  pending.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  auto read = [&](char* into, size_t size) -> size_t {
    SetEvent(m_arrived);  // what was queued since the last read is there to take
    if (!pending.hEvent) return 0;
    ResetEvent(pending.hEvent);
    DWORD got = 0;
    if (ReadFile(m_fromHelper, into, static_cast<DWORD>(size), &got, &pending)) return got;
    if (GetLastError() != ERROR_IO_PENDING) return 0;
    HANDLE waits[2] = {pending.hEvent, m_stop};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
      CancelIo(m_fromHelper);
      GetOverlappedResult(m_fromHelper, &pending, &got, TRUE);
      return 0;
    }
    return GetOverlappedResult(m_fromHelper, &pending, &got, FALSE) ? got : 0;
  };
  m_how = ReadMacroStream(read, m_inbox);
  if (pending.hEvent) CloseHandle(pending.hEvent);
  m_streamEnded = true;
  SetEvent(m_arrived);
}
