// The syntax check (Ctrl+F7) with the real JScript and VBScript engines in the
// real checker helper: the caret and status text, nothing run, a lost helper.
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
    Frame()->m_checker.m_helper = HelperPath();
  }
  // Ctrl+F7 on `text` coloured as `language` (1 JScript, 2 VBScript).
  void Check(const std::string& text, int language) {
    view->SetText(text.c_str());
    view->SetSel(0, 0);
    view->m_syntaxMode = language;
    ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_SCRIPT_CHECK, 0);
  }
  std::string Status() const { return Frame()->GetMessageBar()->GetPaneText(0); }
  int Caret() const {
    int s, e;
    view->GetSel(s, e);
    return e;
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
  Check("var a = 1;\r\n", 1);
  ASSERT_EQ(Status(), "構文エラーはありません。");
  // Dead while idle: the next check starts another helper and is answered.
  HANDLE first = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, Frame()->m_checker.HelperId());
  ASSERT_TRUE(first);
  ASSERT_TRUE(TerminateProcess(first, 1));
  WaitForSingleObject(first, INFINITE);
  CloseHandle(first);
  Check("var a = ;\r\n", 1);
  EXPECT_EQ(Status(), "構文エラー: 構文エラー (行 1, 列 9)");
  // One that does not answer within the time allowed is ended and reported.
  Frame()->m_checker.m_timeout = 1;
  std::string big;
  for (int k = 0; k < 20000; ++k) big += "var a" + std::to_string(k) + " = function () { return 1; };\r\n";
  Check(big, 1);
  EXPECT_NE(Status().find("途中で終了"), std::string::npos) << Status();
  Frame()->m_checker.m_timeout = 10000;
  Check("var a = ;\r\n", 1);
  EXPECT_EQ(Status(), "構文エラー: 構文エラー (行 1, 列 9)");
  EXPECT_TRUE(ui.shown.empty());
}
}  // namespace
