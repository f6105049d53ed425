// The script view in the running application: auto-indentation as typed,
// delete to the end of the line, go to line, the shortcut menu, the line
// indicator and the settings a new window takes.
#include "tests/app/app_fixture.h"

#include <string>
#include "platform/framework/bars.h"
#include "platform/framework/frame.h"
#include "platform/textctl/text_control.h"
#include "views/gotolinedlg.h"
#include "views/myview.h"

namespace {

class ScriptViewTest : public AppFixture {
 protected:
  CMyView* view = nullptr;

  void SetUp() override {
    ASSERT_TRUE(Start());
    Command(ID_FILE_NEW);
    view = ActiveViewAs<CMyView>();
    ASSERT_NE(view, nullptr);
  }
  void Load(const std::string& text, int caret) {
    view->SetText(text.c_str());
    view->SetSel(caret, caret);
  }
  void Type(const std::string& keys) {
    for (char c : keys) view->SendMessage(WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  void Key(UINT vk) { view->SendMessage(WM_KEYDOWN, vk, 1); }
  std::string Text() const { return view->GetText(); }
  std::string Indicator() {
    PumpMessages();
    app->OnIdle(0);
    return Frame()->m_wndStatusBar.GetPaneText(1);
  }
};

TEST_F(ScriptViewTest, EnterIndentsTheNewLineAsOneUndoStep) {
  struct Case {
    int stress;
    const char* line;
    const char* indented;
  } cases[] = {
      {1, "\tif (a) {", "\t\t"}, {1, "\tx = 1;", "\t"},  {1, "\tx = 1", "\t\t"},
      {1, "    y;", "\t"},       {0, "\tif (a) {", "\t"}, {2, "\tIf a Then", "\t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    view->m_syntaxMode = c.stress;
    Load(c.line, static_cast<int>(strlen(c.line)));
    Type("\r");
    EXPECT_EQ(Text(), std::string(c.line) + "\r\n" + c.indented);
    view->Undo();
    EXPECT_EQ(Text(), c.line);
  }
  // At the very start of a line nothing is indented.
  view->m_syntaxMode = 1;
  Load("\tx = 1", 0);
  Type("\r");
  EXPECT_EQ(Text(), "\r\n\tx = 1");
  // Inside a block comment the indentation is copied without a tab more.
  view->SetText("/*\r\n\tnote");
  view->PaintSyntaxColors();
  view->SetSel(9, 9);
  Type("\r");
  EXPECT_EQ(Text(), "/*\r\n\tnote\r\n\t");
  // Switched off, Enter is only Enter.
  view->m_autoIndent = FALSE;
  Load("\tx = 1", 6);
  Type("\r");
  EXPECT_EQ(Text(), "\tx = 1\r\n");
}

TEST_F(ScriptViewTest, BraceAfterEnterMovesBackOnlyOnABlankLine) {
  view->m_syntaxMode = 1;
  Load("\tif (a) {", 9);
  Type("\r}");
  EXPECT_EQ(Text(), "\tif (a) {\r\n\t}");
  // A click between Enter and the brace leaves the brace where it is typed.
  Load("\tif (a) {", 9);
  Type("\r");
  view->SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(200, 2));
  view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, 2));
  view->SetSel(13, 13);
  Type("}");
  EXPECT_EQ(Text(), "\tif (a) {\r\n\t\t}");
  // After Enter, End takes the caret past text: the brace must not eat the ";".
  Load("foo(x);", 4);
  Type("\r");
  Key(VK_END);
  view->SendMessage(WM_KEYUP, VK_END, 1);
  view->SetSel(view->GetTextLength(), view->GetTextLength());  // where End puts it
  Type("}");
  EXPECT_EQ(Text(), "foo(\r\n\tx);}");
}

// A run of edits from outside the control (a macro's) inside one group, with
// drawing held as a run holds it, is one Ctrl+Z however long it runs, and its
// history stays bounded: the group keeps the text before it once.
TEST_F(ScriptViewTest, ARunOfEditsIsOneUndoStepAndStaysBounded) {
  const struct {
    const char* name;
    int edits;
    bool everyLine;  // upper-cases line i, else rewrites the first line
  } cases[] = {{"3,000 lines upper-cased", 3000, true}, {"the first line written 20,000 times", 20000, false}};
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i) + "\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Load(text, 0);
    {
      UndoGroup run(view->m_undo);
      view->SetRedraw(false);
      for (int i = 0; i < c.edits; ++i) {
        const int at = c.everyLine ? view->LineIndex(i) : 0;
        const std::string put = c.everyLine ? "LINE" : "n" + std::to_string(i);
        ASSERT_TRUE(view->ApplyEdit(at, c.everyLine ? at + 4 : view->LineIndex(1) - 2, put, at));
        ASSERT_LE(view->m_undo.records.size(), static_cast<size_t>(view->m_undo.groupRecordBound) + 2u);
      }
      view->SetRedraw(true);
    }
    const std::string after = Text();
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), text);
    EXPECT_FALSE(view->CanUndo());
    Command(ID_EDIT_REDO);
    EXPECT_EQ(Text(), after);
  }
}

// An edit the view cannot make changes nothing and says so; one that replaces
// nothing only moves the caret.
TEST_F(ScriptViewTest, AnEditOutsideTheTextOrGrowingPastTheSizeLimitIsRefused) {
  const struct {
    const char* name;
    int start, end;
    std::string put;
  } cases[] = {{"a range past the end", 2, 9, "x"},
               {"a range upside down", 3, 1, "x"},
               {"a negative start", -1, 1, "x"},
               {"past the size limit", 0, 0, std::string(CEditView::kMaxFileSize, 'x')},
               {"the caret alone", 4, 4, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Load("abcdef", 0);
    EXPECT_EQ(view->ApplyEdit(c.start, c.end, c.put, 4), c.put.empty());
    EXPECT_EQ(Text(), "abcdef");
    EXPECT_FALSE(view->CanUndo());
    EXPECT_EQ(view->CaretIndex(), c.put.empty() ? 4 : 0);
  }
}

TEST_F(ScriptViewTest, DeleteToEndOfLineKeepsTheLineBreak) {
  Load("abc\r\ndef\r\nghi", 1);
  Command(ID_EDIT_DELETE_TO_EOL);
  EXPECT_EQ(Text(), "a\r\ndef\r\nghi");
  Command(ID_EDIT_DELETE_TO_EOL);  // at the line's end: nothing
  EXPECT_EQ(Text(), "a\r\ndef\r\nghi");
  view->SetSel(9, 9);  // last line: to the end of the text
  Command(ID_EDIT_DELETE_TO_EOL);
  EXPECT_EQ(Text(), "a\r\ndef\r\ng");
  view->SetSel(3, 5);  // a selection: removed as it is
  Command(ID_EDIT_DELETE_TO_EOL);
  EXPECT_EQ(Text(), "a\r\nf\r\ng");
  view->Undo();
  EXPECT_EQ(Text(), "a\r\ndef\r\ng");
  // LF line ends, as a file keeps them with detection off.
  Load("abc\ndef", 1);
  Command(ID_EDIT_DELETE_TO_EOL);
  EXPECT_EQ(Text(), "a\ndef");
  EXPECT_EQ(view->CaretIndex(), 1);
}

TEST_F(ScriptViewTest, GoToLineChecksTheNumberAndReachesEveryLine) {
  std::string text;
  for (int i = 0; i < 70000; ++i) text += "x\r\n";
  Load(text, 3 * 5);
  int opened = 0;
  std::vector<std::string> refusals;
  ui.onDialog = [&](CDialog& d) {
    opened = static_cast<int>(static_cast<CGoToLineDlg&>(d).m_line);
    for (const char* bad : {"0", "abc", "-3", "70002"}) {
      ui.shown.clear();
      d.SetDlgItemText(CGoToLineDlg::kLineField, bad);
      d.SendMessage(WM_COMMAND, IDOK);
      EXPECT_FALSE(d.IsEnded()) << bad;
      refusals.push_back(ui.shown.empty() ? "" : ui.shown[0].text);
    }
    d.SetDlgItemText(CGoToLineDlg::kLineField, "70000");
    return IDOK;
  };
  Command(ID_EDIT_GOTO_LINE);
  EXPECT_EQ(opened, 6);
  EXPECT_EQ(refusals, (std::vector<std::string>{"1 から 70001 までの整数を入力してください。", "正の整数を入力してください。",
                                                "正の整数を入力してください。",
                                                "1 から 70001 までの整数を入力してください。"}));
  EXPECT_EQ(view->CaretIndex(), 3 * 69999);
  // A short text: the dialog allows up to 65535; past the last line is a message.
  Load("a\r\nb", 0);
  ui.shown.clear();
  ui.onDialog = [&](CDialog& d) {
    d.SetDlgItemText(CGoToLineDlg::kLineField, "65536");
    d.SendMessage(WM_COMMAND, IDOK);
    EXPECT_FALSE(d.IsEnded());
    d.SetDlgItemText(CGoToLineDlg::kLineField, "3");
    return IDOK;
  };
  Command(ID_EDIT_GOTO_LINE);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[1].text, "指定された行はありません。");
  EXPECT_EQ(ui.shown[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_EQ(view->CaretIndex(), 0);
}

TEST_F(ScriptViewTest, ShortcutMenuOnlyOverTheTextAndItsCommandsReachTheView) {
  Load("alpha\r\nbeta", 0);
  RECT format = view->GetRect();
  POINT inText = {format.left + 20, format.top + 5}, inMargin = {5, format.top + 5};
  ClientToScreen(view->m_hWnd, &inText);
  ClientToScreen(view->m_hWnd, &inMargin);
  UINT firstItem = 0;
  ui.onMenu = [&](HMENU menu, POINT) {
    firstItem = GetMenuItemID(menu, 0);
    return static_cast<UINT>(ID_EDIT_SELECT_ALL);
  };
  view->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view->m_hWnd), MAKELPARAM(inMargin.x, inMargin.y));
  EXPECT_TRUE(ui.menusShown.empty());
  view->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view->m_hWnd), MAKELPARAM(inText.x, inText.y));
  ASSERT_EQ(ui.menusShown.size(), 1u);
  EXPECT_EQ(ui.menusShown[0].x, inText.x);
  EXPECT_EQ(firstItem, static_cast<UINT>(ID_EDIT_UNDO));
  PumpMessages();
  int s = -1, e = -1;
  view->GetSel(s, e);
  EXPECT_EQ(e - s, view->GetTextLength());
  // From the keyboard the menu stands at the mouse, which is over the text here.
  SetCursorPos(inText.x, inText.y);
  PumpMessages();
  view->SendMessage(WM_SYSKEYDOWN, VK_F10, 1);  // Shift is not down: the menu bar's key
  EXPECT_EQ(ui.menusShown.size(), 1u);
  view->SendMessage(WM_KEYDOWN, VK_APPS, 1);
  EXPECT_EQ(ui.menusShown.size(), 2u);
}

TEST_F(ScriptViewTest, LineIndicatorFollowsTheCaretOfEachWindow) {
  Load("a\r\nb\r\nc\r\nd", 0);
  view->SetSel(6, 6);
  EXPECT_EQ(Indicator(), " 行:    3");
  // Shift+Up from the start of line 3 moves the caret, the selection's start.
  view->SetSel(6, 3);
  EXPECT_EQ(Indicator(), " 行:    2");
  CMyView* first = view;
  Command(ID_FILE_NEW);
  CMyView* second = ActiveViewAs<CMyView>();
  ASSERT_TRUE(second && second != first);
  EXPECT_EQ(Indicator(), " 行:    1");
  Frame()->MDIActivate(first->GetParentFrame()->m_hWnd);
  EXPECT_EQ(Indicator(), " 行:    2");
}

// The line pane is as wide as the line count's numbers need in the bar's
// font, and narrows again for a window with a short text.
TEST_F(ScriptViewTest, LinePaneFitsSixDigitLineNumbers) {
  CStatusBar& bar = Frame()->m_wndStatusBar;
  const int usual = bar.GetPaneWidth(1);
  Load(std::string(400000, '\n'), 400000);
  const std::string text = Indicator();
  EXPECT_EQ(text, " 行: 400001");
  RECT pane = {};
  bar.SendMessage(SB_GETRECT, 1, reinterpret_cast<LPARAM>(&pane));
  HDC dc = GetDC(bar.m_hWnd);
  SelectObject(dc, reinterpret_cast<HFONT>(bar.SendMessage(WM_GETFONT)));
  SIZE size = {};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ReleaseDC(bar.m_hWnd, dc);
  EXPECT_LT(size.cx, pane.right - pane.left - 2 * GetSystemMetrics(SM_CXEDGE));
  Command(ID_FILE_NEW);
  EXPECT_EQ(Indicator(), " 行:    1");
  EXPECT_EQ(bar.GetPaneWidth(1), usual);
}

TEST_F(ScriptViewTest, ANewWindowTakesTheEditorFontAndTabStops) {
  Settings().m_tabStops = 8;
  Settings().m_autoIndent = false;
  Command(ID_FILE_NEW);
  CMyView* fresh = ActiveViewAs<CMyView>();
  ASSERT_NE(fresh, nullptr);
  LOGFONTA shown{}, editor{};
  GetObjectA(fresh->GetFont(), sizeof shown, &shown);
  GetObjectA(Frame()->EditorFont(), sizeof editor, &editor);
  EXPECT_STREQ(shown.lfFaceName, editor.lfFaceName);
  EXPECT_EQ(shown.lfHeight, editor.lfHeight);
  EXPECT_NE(fresh->GetFont(), Frame()->EditorFont());  // its own copy
  EXPECT_EQ(fresh->GetTabStops(), 32);
  EXPECT_FALSE(fresh->m_autoIndent);
  EXPECT_EQ(fresh->SendMessage(EM_GETMARGINS) & 0xFFFF, static_cast<LRESULT>(CMyView::kLeftMargin));
}

}  // namespace
