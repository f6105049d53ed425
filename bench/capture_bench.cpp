// A run's captured output: 100,000 lines printed by the tests' stand-in
// console program reach the 出力 window of the real application (read by the
// captured run, taken and appended on the user interface thread as the main
// window does), against the floor in the same run: a bare reader of the same
// program's pipe that only reads (target: at most 2 times the floor). The
// longest step on the user interface thread says how long input could wait.
// The stand-in writes each line with a write of its own, so the reader's pace
// sets the number of hand-offs: the bare reader, back in ReadFile at once,
// takes almost every line alone (its read count is printed) and pays a
// wake-up for each, while the captured run's reader, splitting lines between
// reads, finds several waiting; that is why the floor can take longer than
// the capture.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "app/mainfrm.h"
#include "app/myapp.h"
#include "app/output_window.h"
#include "bench/bench_util.h"
#include "hosting/captured_run.h"

namespace {
const int kLines = 100000;

std::string CommandLine() {
  char self[MAX_PATH];
  std::string path(self, GetModuleFileNameA(nullptr, self, sizeof self));
  path = path.substr(0, path.find_last_of('\\') + 1) + "..\\tests\\console_standin.exe";
  return "\"" + path + "\" lines " + std::to_string(kLines);
}

// The floor: the program started with its output piped, every byte read.
size_t BareRead(const std::string& line, int* reads = nullptr) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  CreatePipe(&read, &write, &inherit, 1 << 16);
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  // Its input as the captured run gives it: nothing.
  HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = write;
  startup.hStdError = write;
  PROCESS_INFORMATION info{};
  std::vector<char> command(line.begin(), line.end());
  command.push_back('\0');
  CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info);
  CloseHandle(write);
  CloseHandle(input);
  size_t total = 0;
  char chunk[65536];
  DWORD got = 0;
  int count = 0;
  while (ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got > 0) total += got, ++count;
  if (reads) *reads = count;
  WaitForSingleObject(info.hProcess, INFINITE);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  CloseHandle(read);
  return total;
}

// The captured run into the 出力 window; `longest` the longest step on this thread, in ms.
int CapturedIntoWindow(CMainFrame* frame, const std::string& line, double& longest) {
  COutputWnd* output = COutputWnd::Open(frame, frame->EditorFont());
  output->Clear();
  CapturedRun run(frame->m_hWnd, WM_NULL);
  DWORD error = 0;
  if (!run.Start(line, "", error)) return 0;
  int lines = 0;
  for (bool finished = false; !finished;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    const double start = bench::Now();
    bench::Pump();
    CapturedBatch batch = run.Take();
    if (batch.count > 0) output->AppendLines(batch.lines);
    lines += batch.count;
    finished = batch.finished;
    longest = std::max(longest, (bench::Now() - start) * 1000.0);
  }
  return lines;
}
}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string dir = std::string(temp) + "rvbench_capture_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  SetEnvironmentVariableA("LOCALAPPDATA", dir.c_str());
  CMyApp app;
  app.m_modulePathOverride = dir + "\\ruvelto.exe";
  app.m_nCmdShow = SW_SHOWNORMAL;
  if (!app.InitInstance()) return 1;
  bench::Pump();
  auto* frame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
  if (!frame) return 1;
  const std::string line = CommandLine();
  int reads = 0;
  size_t bytes = BareRead(line, &reads);  // warms the cache
  std::printf("reads of the bare reader: %d\n", reads);
  // In turns, so that a busy machine slows both alike.
  std::vector<double> floorMs, capturedMs;
  double longest = 0;
  int lines = 0;
  for (int round = 0; round < 5; ++round) {
    floorMs.push_back(bench::MedianMs(1, [&] { bytes = BareRead(line); }));
    capturedMs.push_back(bench::MedianMs(1, [&] { lines = CapturedIntoWindow(frame, line, longest); }));
  }
  std::sort(floorMs.begin(), floorMs.end());
  std::sort(capturedMs.begin(), capturedMs.end());
  const double floor = floorMs[2], captured = capturedMs[2];
  std::printf("bare read of the pipe (floor): %8.1f ms (%zu bytes)\n", floor, bytes);
  std::printf("captured into the 出力 window: %8.1f ms  %.2fx floor (target <= 2x), %d lines\n", captured,
              captured / floor, lines);
  std::printf("longest step on the user interface thread: %.1f ms\n", longest);
  return lines == kLines ? 0 : 1;
}
