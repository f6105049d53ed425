// A captured run with the real console host and the tests' stand-in console
// program: a long output, and a stop that ends the script and the program it
// started (the lines and exit code through the main window: test_captured_output).
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "hosting/captured_run.h"
#include "hosting/script_launcher.h"
#include "hosting/script_text.h"
#include "tests/support/harness.h"

namespace {
const UINT kRunMessage = WM_APP + 7;

std::string TestFolder() {
  char path[MAX_PATH];
  std::string self(path, GetModuleFileNameA(nullptr, path, sizeof path));
  return self.substr(0, self.find_last_of('\\') + 1);
}

class CapturedRunTest : public ::testing::Test {
 protected:
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  CapturedRun run{window, kRunMessage};
  TempDir dir;
  std::string lines;
  int count = 0;
  CapturedBatch end;
  ~CapturedRunTest() override { DestroyWindow(window); }

  // Takes what the run has handed over; true once it has ended.
  bool TakeOnce() {
    MSG msg;
    if (!GetMessageA(&msg, window, 0, 0)) return true;
    if (msg.message != kRunMessage) return false;
    CapturedBatch batch = run.Take();
    if (batch.count > 0) lines += (count > 0 ? "\r\n" : "") + batch.lines;
    count += batch.count;
    if (batch.finished) end = batch;
    return batch.finished;
  }
  void RunToEnd() {
    while (!TakeOnce()) {
    }
  }
  std::string Host() {
    DWORD error = 0;
    return SystemHostPath("CScript.exe", error);
  }
  bool StartScript(const std::string& name, const std::string& text) {
    WriteBytes(dir / name, text);
    DWORD error = 0;
    return run.Start(CapturedRunCommandLine(Host(), dir / name, "", ""), dir.path(), error);
  }
};

TEST_F(CapturedRunTest, LongOutputArrivesWholeAndInOrder) {
  DWORD error = 0;
  ASSERT_TRUE(run.Start("\"" + TestFolder() + "console_standin.exe\" lines 30000", dir.path(), error));
  RunToEnd();
  ASSERT_EQ(count, 30000);
  EXPECT_EQ(lines.substr(0, 15), "line 1\r\nline 2\r");
  EXPECT_EQ(lines.substr(lines.size() - 12), "\r\nline 30000");
  EXPECT_EQ(end.exitCode, 0u);
}

TEST_F(CapturedRunTest, StopEndsTheScriptAndTheProgramItStarted) {
  const std::string pidFile = dir / "child.pid";
  const std::string standin = TestFolder() + "console_standin.exe";
  std::string script = "var sh = new ActiveXObject(\"WScript.Shell\");\r\n"
                       "sh.Run('\"" + standin + "\" sleep \"" + pidFile + "\"', 0, false);\r\n"
                       "WScript.Echo(\"started\");\r\n"
                       "for (;;) {}\r\n";  // the hosts here have no WScript.Sleep
  for (char& c : script)
    if (c == '\\') c = '/';  // no escapes in the script's strings; the system takes either
  ASSERT_TRUE(StartScript("stop.js", script));
  while (lines.find("started") == std::string::npos || ReadBytes(pidFile).empty())
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE) == WAIT_OBJECT_0 && TakeOnce()) break;
  const DWORD pid = strtoul(ReadBytes(pidFile).c_str(), nullptr, 10);
  ASSERT_NE(pid, 0u) << lines;
  HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, pid);
  ASSERT_TRUE(child != nullptr);
  run.Stop();
  RunToEnd();
  EXPECT_TRUE(end.stopped);
  EXPECT_FALSE(run.Running());
  // Ended with the job: a failure here waits no longer than this.
  EXPECT_EQ(WaitForSingleObject(child, 10000), WAIT_OBJECT_0);
  CloseHandle(child);
}
}  // namespace
