// The syntax check with the real JScript and VBScript engines in the real
// checker helper, answered on the check worker's thread: Ctrl+F7's caret and
// status text, nothing run, a lost helper, a stale answer, the check as you
// type with its mark and wave, and the mark following the text.
#include <windows.h>
#include <fstream>
#include "app/mainfrm.h"
#include "resources/resource.h"
#include "tests/app/app_fixture.h"
#include "tests/macros/helper_path.h"
#include "views/myview.h"

namespace {
class ScriptCheckTest : public ViewFixture<CMyView> {
 protected:
  void SetUp() override {
    ViewFixture<CMyView>::SetUp();
    Frame()->Checks().Checker().m_helper = HelperPath();
    app->m_checkAsYouType = false;  // only Ctrl+F7 checks, unless a test turns it on
  }
  // Pumps messages until `done` holds; false after 30 s.
  template <typename Done>
  bool PumpUntil(Done done, DWORD step = 20) {
    const DWORD begun = GetTickCount();
    while (!done()) {
      if (GetTickCount() - begun > 30000) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, step, QS_ALLINPUT);
      PumpMessages(1);
    }
    return true;
  }
  bool Answered() {
    return PumpUntil([this] { return Frame()->Checks().Idle(); });
  }
  // Ctrl+F7 on `text` coloured as `language` (1 JScript, 2 VBScript), its answer waited for.
  void Check(const std::string& text, int language) {
    view->SetText(text.c_str());
    view->SetSel(0, 0);
    view->m_syntaxMode = language;
    ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_SCRIPT_CHECK, 0);
    ASSERT_TRUE(Answered());
  }
  std::string Status() const { return Frame()->GetMessageBar()->GetPaneText(0); }
  int Caret() const {
    int s, e;
    view->GetSel(s, e);
    return e;
  }
  static std::string BigScript() {
    std::string big;
    for (int k = 0; k < 20000; ++k) big += "var a" + std::to_string(k) + " = function () { return 1; };\r\n";
    return big;
  }
};

TEST_F(ScriptCheckTest, ErrorsPutTheCaretAtTheirPlaceAndSayItInTheStatusBar) {
  struct Case {
    const char* text;
    int language;
    int caret;  // byte offset in the text; -1: stays at 0
    const char* status;
    int marked;  // the gutter's red line, from 0; -1 none
  } cases[] = {
      {"var a = 1;\r\nvar b = ;\r\n", 1, 20, "構文エラー: 構文エラー (行 2, 列 9)", 1},
      {"var a = 1;\r\n// 日本語\r\nvar = 2;\r\n", 1, 27, "構文エラー: 構文エラー (行 3, 列 5)", 2},
      {"Dim a\r\nIf a Then\r\n", 2, 18, "構文エラー: 構文エラー (0x80004005) (行 3, 列 1)", 2},
      {"var a = '日本語';\r\nfunction f(x) { return x * 2; }\r\n", 1, -1, "構文エラーはありません。", -1},
      {"Dim s\r\ns = \"日本語\"\r\nSub F(x)\r\n  s = x\r\nEnd Sub\r\n", 2, -1, "構文エラーはありません。", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Check(c.text, c.language);
    EXPECT_EQ(Status(), c.status);
    EXPECT_EQ(Caret(), c.caret < 0 ? 0 : c.caret);
    EXPECT_EQ(view->m_lineNumbers.ErrorLine(), c.marked);
    EXPECT_EQ(view->SyntaxErrorIndex(), c.marked < 0 ? -1 : c.caret);  // the wave starts at the error
  }
  EXPECT_TRUE(ui.shown.empty());  // never a box
}

TEST_F(ScriptCheckTest, ACorrectScriptThatCreatesAFileCreatesNothing) {
  const std::string js = dir / "from-js.txt", vbs = dir / "from-vbs.txt";
  std::string jsLiteral;  // the path in a JScript string
  for (char ch : js) jsLiteral += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
  Check("var fso = new ActiveXObject('Scripting.FileSystemObject');\r\nfso.CreateTextFile('" + jsLiteral +
            "').Close();\r\n",
        1);
  EXPECT_EQ(Status(), "構文エラーはありません。");
  Check("Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\nfso.CreateTextFile(\"" + vbs + "\").Close\r\n", 2);
  EXPECT_EQ(Status(), "構文エラーはありません。");
  EXPECT_EQ(GetFileAttributesA(js.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(vbs.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ScriptCheckTest, AHelperThatDiesOrHangsIsReplacedAndTheLostCheckReported) {
  ScriptChecker& checker = Frame()->Checks().Checker();
  Check("var a = 1;\r\n", 1);
  ASSERT_EQ(Status(), "構文エラーはありません。");
  // Dead while idle: the next check starts another helper and is answered.
  HANDLE first = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, checker.HelperId());
  ASSERT_TRUE(first);
  ASSERT_TRUE(TerminateProcess(first, 1));
  WaitForSingleObject(first, INFINITE);
  CloseHandle(first);
  Check("var a = ;\r\n", 1);
  EXPECT_EQ(Status(), "構文エラー: 構文エラー (行 1, 列 9)");
  // Killed in the middle of a check: reported, while the editor goes on
  // answering. The idle helper is ended first, so that the check is the new
  // helper's from the moment its process id shows.
  const DWORD idle = checker.HelperId();
  HANDLE old = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, idle);
  ASSERT_TRUE(old);
  TerminateProcess(old, 1);
  WaitForSingleObject(old, INFINITE);
  CloseHandle(old);
  view->SetText(BigScript().c_str());
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_SCRIPT_CHECK, 0);
  EXPECT_EQ(Status(), "構文をチェックしています...");
  ASSERT_TRUE(PumpUntil([&] { return checker.HelperId() != idle; }, 1));
  HANDLE busy = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, checker.HelperId());
  ASSERT_TRUE(busy);
  ASSERT_TRUE(TerminateProcess(busy, 1));
  CloseHandle(busy);
  EXPECT_NE(::SendMessageA(view->m_hWnd, WM_GETTEXTLENGTH, 0, 0), 0);  // the window answers meanwhile
  ASSERT_TRUE(Answered());
  EXPECT_NE(Status().find("途中で終了"), std::string::npos) << Status();
  // One that does not answer within the time allowed is ended and reported.
  checker.m_timeout = 1;
  Check(BigScript(), 1);
  EXPECT_NE(Status().find("途中で終了"), std::string::npos) << Status();
  checker.m_timeout = 10000;
  Check("var a = ;\r\n", 1);
  EXPECT_EQ(Status(), "構文エラー: 構文エラー (行 1, 列 9)");
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ScriptCheckTest, AnAnswerForAnOlderTextIsDropped) {
  view->SetText("var a = 1;\r\nvar b = ;\r\n");
  view->SetSel(0, 0);
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_SCRIPT_CHECK, 0);
  ::SendMessageA(view->m_hWnd, WM_CHAR, 'x', 1);  // typed before the answer came
  ASSERT_TRUE(Answered());
  EXPECT_EQ(Caret(), 1);
  EXPECT_EQ(view->m_lineNumbers.ErrorLine(), -1);
  EXPECT_EQ(Status().find("構文"), std::string::npos) << Status();
}

TEST_F(ScriptCheckTest, ClosingWhileACheckRunsEndsItsHelper) {
  Check("var a = 1;\r\n", 1);
  HANDLE helper = OpenProcess(SYNCHRONIZE, FALSE, Frame()->Checks().Checker().HelperId());
  ASSERT_TRUE(helper);
  Frame()->Checks().Checker().m_timeout = INFINITE - 1;  // a stall would never end by itself
  view->SetText(BigScript().c_str());
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_SCRIPT_CHECK, 0);
  ui.defaultAnswer = IDNO;  // the unsaved text is not saved
  Exit();
  EXPECT_EQ(WaitForSingleObject(helper, 5000), WAIT_OBJECT_0);
  CloseHandle(helper);
}

TEST_F(ScriptCheckTest, AsYouTypeTheErrorIsMarkedAfterAPauseAndUnmarkedWhenFixed) {
  app->m_checkAsYouType = true;
  view->m_syntaxMode = 1;
  view->SetText("var a = 1;\r\nvar b = ;\r\nvar c = 2;\r\n");
  view->SetSel(3, 3);
  ASSERT_TRUE(PumpUntil([this] { return view->m_lineNumbers.ErrorLine() == 1; }));
  EXPECT_EQ(view->SyntaxErrorIndex(), 20);
  EXPECT_EQ(Caret(), 3);  // the caret stays where it was
  EXPECT_EQ(Status().find("構文"), std::string::npos) << Status();
  view->SetSel(20, 20);
  ::SendMessageA(view->m_hWnd, WM_CHAR, '2', 1);
  ASSERT_TRUE(PumpUntil([this] { return view->m_lineNumbers.ErrorLine() == -1; }));
  EXPECT_EQ(view->SyntaxErrorIndex(), -1);
  EXPECT_EQ(Caret(), 21);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ScriptCheckTest, TheMarkFollowsItsTextUntilTheNextAnswer) {
  struct Case {
    int start, end;
    const char* text;
    int line, index;  // the mark after the edit
  } cases[] = {
      {0, 0, "// one\r\n// two\r\n", 4, 40},  // lines put in above
      {0, 8, "", 1, 16},                      // a line taken out above
      {18, 18, "xx", 2, 26},                  // typed before the error on its line
      {26, 26, "yy", 2, 24},                  // typed after it
      {20, 26, "", 2, 20},                    // the error's text taken away
      {12, 26, "", 1, 12},                    // with the line break above it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    view->SetText("line 0\r\nline 1\r\nvar b = ;\r\nend\r\n");
    view->SetSyntaxError(2, 8);
    ASSERT_EQ(view->SyntaxErrorIndex(), 24);
    ASSERT_TRUE(view->ApplyEdit(c.start, c.end, c.text, c.start));
    EXPECT_EQ(view->m_lineNumbers.ErrorLine(), c.line);
    EXPECT_EQ(view->SyntaxErrorIndex(), c.index);
  }
  view->SetText("another text");  // a load takes the mark away
  EXPECT_EQ(view->m_lineNumbers.ErrorLine(), -1);
}

// The switch in a fresh installation: on, and absent from the settings file
// until it differs; the menu item toggles it, and the file keeps it.
using CheckSettingTest = AppFixture;
TEST_F(CheckSettingTest, TheSwitchIsKeptAndWrittenOnlyOnceItDiffers) {
  const char* written[] = {"<absent>", "0", "1"};  // after starts that toggle it 0, 1, 1 times
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    ASSERT_TRUE(Start());
    EXPECT_EQ(app->m_checkAsYouType, run != 2);
    if (run > 0) Command(ID_SCRIPT_CHECK_TYPING);
    EXPECT_EQ(app->m_checkAsYouType, run != 1);
    Exit();
    app.reset();
    EXPECT_EQ(Ini("Settings", "CheckAsYouType"), written[run]);
  }
}
}  // namespace
