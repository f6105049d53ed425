// Shift+F7 through the real main window and the real console host: the 出力
// window's lines and exit code, Esc that stops a script, the question of a
// second run; and the jump from a host's error line that the tests' stand-in
// console program prints, captured as a run's output is.
#include "tests/app/app_fixture.h"
#include "app/output_window.h"
#include "hosting/captured_run.h"
#include "platform/framework/dialog.h"
#include "platform/framework/doc.h"
#include "platform/framework/editview.h"
#include "resources/resource.h"

namespace {
class CapturedOutputTest : public AppFixture {
 protected:
  // Starts with `script` open, written to `name` in the test's folder.
  void Open(const char* name, const std::string& script) {
    WriteBytes(dir / name, script);
    ASSERT_TRUE(Start({dir / name}));
    ui.onDialog = [](CDialog&) { return IDOK; };  // the parameters as they are
  }
  // Pumps until the 出力 window's text holds `text`.
  std::string WaitFor(const std::string& text) {
    COutputWnd* output = nullptr;
    for (int i = 0; i < 4000; ++i) {
      output = COutputWnd::Find(Frame());
      if (output && TextOf(output->TextWindow()).find(text) != std::string::npos) break;
      PumpMessages(1);
      Sleep(5);
    }
    return output ? TextOf(output->TextWindow()) : std::string();
  }
};

TEST_F(CapturedOutputTest, ShiftF7ShowsTheLinesAndTheExitCode) {
  Open("echo.js", "WScript.Echo(\"\x93\xfa\x96\x7b\x8c\xea\");\r\nWScript.Echo(\"\");\r\nWScript.Quit(4);\r\n");  // 日本語
  Command(ID_SCRIPT_CAPTURE);
  const std::string text = WaitFor("終了コード");
  EXPECT_NE(text.find("CScript.exe //nologo " + (dir / "echo.js") + "\r\n日本語\r\n\r\n終了コード 4 ("), std::string::npos)
      << text;
  EXPECT_EQ(COutputWnd::Find(Frame())->GetWindowText(), "出力");
}

TEST_F(CapturedOutputTest, EscStopsTheRunAndASecondRunAsksFirst) {
  Open("loop.js", "WScript.Echo(\"go\");\r\nfor (;;) {}\r\n");
  Command(ID_SCRIPT_CAPTURE);
  WaitFor("go");
  ASSERT_TRUE(Frame()->CapturedRunRunning());
  EXPECT_EQ(COutputWnd::Find(Frame())->GetWindowText(), "出力 - 実行中");
  // No to the question leaves the first run running and the window as it is.
  ::SendMessageA(Frame()->m_hWndMDIClient, WM_MDINEXT, 0, 0);  // the script's window again
  PumpMessages();
  ui.answers = {IDNO};
  const size_t boxes = ui.shown.size();
  Command(ID_SCRIPT_CAPTURE);
  EXPECT_EQ(ui.shown.size(), boxes + 1);
  EXPECT_TRUE(Frame()->CapturedRunRunning());
  ::SendMessageA(COutputWnd::Find(Frame())->TextWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
  const std::string text = WaitFor("中止しました");
  EXPECT_EQ(text.substr(text.size() - 14), "\r\n中止しました") << text;
  EXPECT_FALSE(Frame()->CapturedRunRunning());
}

TEST_F(CapturedOutputTest, AHostsErrorLineJumpsToItsPlace) {
  Open("err.js", "var a = 1;\r\nvar b = 2;\r\nvar c = x;\r\n");
  COutputWnd* output = COutputWnd::Open(Frame(), Frame()->EditorFont());
  ASSERT_NE(output, nullptr);
  char self[MAX_PATH];
  std::string standin(self, GetModuleFileNameA(nullptr, self, sizeof self));
  standin = standin.substr(0, standin.find_last_of('\\') + 1) + "console_standin.exe";
  CapturedRun run(Frame()->m_hWnd, WM_NULL);
  DWORD error = 0;
  ASSERT_TRUE(run.Start("\"" + standin + "\" error " + (dir / "err.js"), dir.path(), error));
  CapturedBatch batch;
  while (!batch.finished) {
    PumpMessages(1);
    CapturedBatch more = run.Take();
    if (more.count > 0) output->AppendLines(more.lines);
    batch.finished = more.finished;
  }
  ASSERT_EQ(TextOf(output->TextWindow()), (dir / "err.js") + "(3, 5) Microsoft JScript runtime error: 'x' is undefined");
  ASSERT_TRUE(output->JumpToLine(0));
  auto* view = ActiveViewAs<CEditView>();
  ASSERT_NE(view, nullptr);
  int start = 0, end = 0;
  view->GetSel(start, end);
  EXPECT_EQ(start, 12 + 12 + 4);  // two lines with their CR LF, then four characters
}
}  // namespace
