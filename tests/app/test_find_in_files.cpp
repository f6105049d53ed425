// Find in files through the real main window: a tree in Shift-JIS, UTF-8 and
// EUC-JP (written by the system's converters), the dialog answered through the
// modal seam, the results in the 出力 window, jumps by Enter and F8, and the
// entries kept in the settings file.
#include "tests/app/app_fixture.h"
#include <algorithm>
#include <fstream>
#include <iterator>
#include "app/output_window.h"
#include "platform/framework/dialog.h"
#include "platform/framework/doc.h"
#include "platform/framework/editview.h"
#include "resources/resource.h"

namespace {

std::string Encoded(const wchar_t* text, UINT codePage) {
  int n = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text, -1, &bytes[0], n, nullptr, nullptr);
  bytes.resize(static_cast<size_t>(n - 1));
  return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

class FindInFilesTest : public AppFixture {
 protected:
  void SetUp() override {
    CreateDirectoryA((dir / "tree").c_str(), nullptr);
    CreateDirectoryA((dir / "tree\\sub").c_str(), nullptr);
    WriteBytes(dir / "tree\\a.js", Encoded(L"var x = 1;\r\n// 検索の対象 here\r\n", 932));
    WriteBytes(dir / "tree\\sub\\b.vbs", Encoded(L"' 日本語のコメントです。\r\nMsgBox \"検索\"\r\n", CP_UTF8));
    WriteBytes(dir / "tree\\sub\\c.txt", Encoded(L"これは日本語の文章です。\n検索する行\n", 20932));
    WriteBytes(dir / "tree\\sub\\zero.txt", std::string("\x8c\x9f\x8d\xf5\0\x01", 6));  // 検索 and a zero byte
    WriteBytes(dir / "tree\\d.bat", Encoded(L"rem 検索\r\n", 932));  // not of the types searched
    ASSERT_TRUE(Start());
    Settings().m_autoKanji = true;  // files read as the open command reads them with detection on
  }

  // Runs the command with the dialog answered, and waits for the last line.
  COutputWnd* Search(const std::string& find, bool pattern = false) {
    ui.onDialog = [&](CDialog& dlg) {
      dlg.SetDlgItemText(IDC_FIF_FIND, find.c_str());
      dlg.SetDlgItemText(IDC_FIF_FOLDER, (dir / "tree").c_str());
      CheckDlgButton(dlg.m_hWnd, IDC_FIF_REGEX, pattern ? BST_CHECKED : BST_UNCHECKED);
      return IDOK;
    };
    Command(ID_EDIT_FIND_IN_FILES);
    ui.onDialog = nullptr;
    COutputWnd* output = COutputWnd::Find(Frame());
    if (!output) return nullptr;
    for (int i = 0; i < 2000 && TextOf(output->TextWindow()).find("件見つかりました") == std::string::npos; ++i) {
      PumpMessages(1);
      Sleep(5);
    }
    PumpMessages();
    return output;
  }

  std::string ActivePath() {
    CDocument* doc = Frame()->GetActiveDocument();
    return doc ? doc->GetPathName() : std::string();
  }
};

TEST_F(FindInFilesTest, ResultsOfThreeEncodingsFillTheOutputWindowAndJump) {
  COutputWnd* output = Search("検索");
  ASSERT_NE(output, nullptr);
  std::vector<std::string> lines = Lines(TextOf(output->TextWindow()));
  ASSERT_EQ(lines.size(), 5u) << TextOf(output->TextWindow());
  std::vector<std::string> results(lines.begin() + 1, lines.end() - 1);
  std::sort(results.begin(), results.end());
  const std::string tree = dir / "tree";
  EXPECT_EQ(results, (std::vector<std::string>{tree + "\\a.js(2,4): // 検索の対象 here",
                                               tree + "\\sub\\b.vbs(2,9): MsgBox \"検索\"",
                                               tree + "\\sub\\c.txt(2,1): 検索する行"}));
  EXPECT_EQ(lines.back(), "3 件見つかりました (3 個のファイル、検索 3 個、スキップ 1 個)");
  EXPECT_EQ(output->GetWindowText(), "出力");
  EXPECT_EQ(Ini("FindInFiles", "Find0"), "検索");
  // It draws with the editor font, and with the new one once the font is changed.
  EXPECT_EQ(::SendMessageA(output->TextWindow(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(Frame()->EditorFont()));
  LOGFONTA font{};
  GetObjectA(Frame()->EditorFont(), sizeof font, &font);
  font.lfHeight -= 2;
  Frame()->SetEditorFont(font);
  EXPECT_EQ(::SendMessageA(output->TextWindow(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(Frame()->EditorFont()));

  // Enter on the UTF-8 file's line opens it with the match selected.
  HWND text = output->TextWindow();
  int line = static_cast<int>(std::find(lines.begin(), lines.end(), tree + "\\sub\\b.vbs(2,9): MsgBox \"検索\"") - lines.begin());
  int at = static_cast<int>(::SendMessageA(text, EM_LINEINDEX, line, 0));
  ::SendMessageA(text, EM_SETSEL, at, at);
  ::SendMessageA(text, WM_KEYDOWN, VK_RETURN, 0);
  PumpMessages();
  EXPECT_EQ(ActivePath(), tree + "\\sub\\b.vbs");
  auto* view = ActiveViewAs<CEditView>();
  ASSERT_NE(view, nullptr);
  int start = 0, end = 0;
  view->GetSel(start, end);
  EXPECT_EQ(start, 26 + 8);  // past the first line: ', a blank, 11 double-byte characters, CR LF
  EXPECT_EQ(end, start + 4);  // the whole match, 検索

  // F8 from the document's window goes on to the next result line, Shift+F8 back.
  std::string next = Lines(TextOf(text))[static_cast<size_t>(line) + 1];
  Command(ID_NEXT_RESULT);
  if (next.find("件見つかりました") == std::string::npos)
    EXPECT_EQ(ActivePath() + "(", next.substr(0, ActivePath().size() + 1));
  Command(ID_PREV_RESULT);
  EXPECT_EQ(ActivePath(), tree + "\\sub\\b.vbs");

  // Ctrl+S in the 出力 window saves its text as shown under a name asked for;
  // closing it asks nothing.
  output->ActivateFrame();
  ui.onFile = [&](CFileDialog& dlg) {
    dlg.SetChosenPath(dir / "out.txt");
    return IDOK;
  };
  Command(ID_FILE_SAVE);
  ui.onFile = nullptr;
  std::ifstream saved(dir / "out.txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), TextOf(text));
  const size_t boxes = ui.shown.size();
  ::SendMessageA(output->m_hWnd, WM_CLOSE, 0, 0);
  PumpMessages();
  EXPECT_EQ(COutputWnd::Find(Frame()), nullptr);
  EXPECT_EQ(ui.shown.size(), boxes);
}

TEST_F(FindInFilesTest, TheDialogStartsWithTheSelectionOrTheWordAtTheCaret) {
  auto* view = ViewOfActiveOrNewWindow<CEditView>();
  ASSERT_NE(view, nullptr);
  view->SetText("var 日本語テキスト = obj_1.Run();\r\nx");
  struct Case {
    int anchor, caret;
    const char* expected;
  } cases[] = {
      {0, 3, "var"},           // a selection on one line, as it is
      {8, 8, "日本語テキスト"},  // inside a run of double-byte characters
      {23, 23, "obj_1"},       // inside an ASCII word
      {26, 26, "obj_1"},       // just after it
      {0, 40, ""},             // a selection over two lines gives nothing
      {3, 3, "var"},           // the word that ends at the caret
  };
  for (const Case& c : cases) {
    view->SetSel(c.anchor, c.caret);
    EXPECT_EQ(Frame()->FindTextAtCaret(), c.expected) << c.anchor << "," << c.caret;
  }
}

TEST_F(FindInFilesTest, EscInTheOutputWindowStopsTheSearchWithALastLine) {
  for (int i = 0; i < 400; ++i) WriteBytes(dir / ("tree\\many" + std::to_string(i) + ".txt"), "needle\r\n");
  ui.onDialog = [&](CDialog& dlg) {
    dlg.SetDlgItemText(IDC_FIF_FIND, "needle");
    dlg.SetDlgItemText(IDC_FIF_FOLDER, (dir / "tree").c_str());
    return IDOK;
  };
  // Esc as soon as the command has started the search, before any result came in.
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_EDIT_FIND_IN_FILES, 0);
  COutputWnd* output = COutputWnd::Find(Frame());
  ASSERT_NE(output, nullptr);
  ::SendMessageA(output->TextWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
  PumpMessages();
  std::vector<std::string> lines = Lines(TextOf(output->TextWindow()));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.back(), "中止しました");
  EXPECT_NE(lines[lines.size() - 2].find("件見つかりました"), std::string::npos);
  EXPECT_LT(lines.size(), 400u);  // stopped before the end
  EXPECT_EQ(output->GetWindowText(), "出力");
}

TEST_F(FindInFilesTest, APatternSearchesTheTreeAndABadOneIsSaidBeforeAnySearch) {
  COutputWnd* output = Search("検索.+行|^MsgBox", true);
  ASSERT_NE(output, nullptr);
  std::vector<std::string> lines = Lines(TextOf(output->TextWindow()));
  EXPECT_EQ(lines.back(), "2 件見つかりました (2 個のファイル、検索 3 個、スキップ 1 個)");
  const std::string shown = TextOf(output->TextWindow());
  Search("needle(", true);
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown.back().text.rfind("正規表現が正しくありません。", 0), 0u) << ui.shown.back().text;
  EXPECT_EQ(TextOf(output->TextWindow()), shown);  // nothing searched
}

}  // namespace
