// The find and replace commands in the running application: notifications of
// the dialog sent to a real view through the registered message, F3 and
// Shift+F3, the not-found message through the modal seam, Replace and Replace
// All with their undo, and the dialog's ownership by the view that opened it.
#include "tests/app/app_fixture.h"

#include <cstring>
#include "platform/cp932.h"
#include "platform/framework/frame.h"
#include "platform/textctl/text_control.h"
#include "views/findreplace.h"
#include "views/myeditview.h"

namespace {

class FindTest : public ViewFixture<CMyEditView> {
 protected:
  void SetUp() override {
    ViewFixture::SetUp();
    if (HasFatalFailure()) return;
    FindReplaceState& state = view->FindState();
    state.Close();
    state.findText.clear();
    state.replaceText.clear();
    state.matchCase = FALSE;
    state.searchDown = TRUE;
    state.regex = FALSE;
    state.inSelection = FALSE;
  }

  CMyEditView* ActiveView() const { return ActiveViewAs<CMyEditView>(); }
  void Load(const std::string& text, int caret = 0) {
    view->SetText(text.c_str());
    view->m_undo.Clear();
    view->SetSel(caret, caret);
  }
  std::pair<int, int> Sel() const {
    int s, e;
    view->GetSel(s, e);
    return {s, e};
  }
  // A notification of the dialog, as the dialog sends it.
  void Notify(DWORD flags, const char* find, const char* replacement = "") {
    FINDREPLACEA fr{};
    fr.lStructSize = sizeof fr;
    fr.Flags = flags;
    std::string f = find, r = replacement;
    fr.lpstrFindWhat = &f[0];
    fr.lpstrReplaceWith = &r[0];
    SendMessageA(view->m_hWnd, FindReplaceMessage(), 0, reinterpret_cast<LPARAM>(&fr));
  }
  std::string Shown(size_t i) const { return i < ui.shown.size() ? ui.shown[i].text : "<none>"; }
};

TEST_F(FindTest, DialogDirectionThenF3DownAndShiftF3UpKeepingTheStoredDirection) {
  Load("ab\x82\xA0" "ab\x82\xA0" "ab", 4);
  Notify(FR_FINDNEXT, "ab");  // upwards
  EXPECT_EQ(Sel(), std::make_pair(0, 2));
  Notify(FR_FINDNEXT | FR_DOWN, "AB");  // without match case
  EXPECT_EQ(Sel(), std::make_pair(4, 6));
  Notify(FR_FINDNEXT, "ab");
  Command(ID_EDIT_REPEAT);  // F3: down whatever the dialog said
  EXPECT_EQ(Sel(), std::make_pair(4, 6));
  Command(ID_EDIT_REPEAT);
  EXPECT_EQ(Sel(), std::make_pair(8, 10));
  Command(ID_EDIT_FIND_PREV);
  EXPECT_EQ(Sel(), std::make_pair(4, 6));
  EXPECT_FALSE(view->FindState().searchDown);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(FindTest, MatchCaseAndDoubleByteTextNeverMatchInsideACharacter) {
  // 表 is 95 5C: a search for a backslash skips its trail byte.
  Load("\x95\x5C" "Ab\\ab");
  Notify(FR_FINDNEXT | FR_DOWN | FR_MATCHCASE, "\\");
  EXPECT_EQ(Sel(), std::make_pair(4, 5));
  Notify(FR_FINDNEXT | FR_DOWN | FR_MATCHCASE, "ab");
  EXPECT_EQ(Sel(), std::make_pair(5, 7));
  view->SetSel(0, 0);
  Notify(FR_FINDNEXT | FR_DOWN, "ab");
  EXPECT_EQ(Sel(), std::make_pair(2, 4));
}

TEST_F(FindTest, NothingFoundShowsTheMessageAndKeepsTheLastMatchSelected) {
  Load("xy xy");
  Notify(FR_FINDNEXT | FR_DOWN, "xy");
  Command(ID_EDIT_REPEAT);
  Command(ID_EDIT_REPEAT);
  EXPECT_EQ(Sel(), std::make_pair(3, 5));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(Shown(0), "文字列 'xy' が見つかりません。");
  EXPECT_TRUE(ui.shown[0].type & MB_ICONINFORMATION);
  view->SetSel(0, 0);
  Command(ID_EDIT_FIND_PREV);  // from the start: at once
  EXPECT_EQ(ui.shown.size(), 2u);
}

TEST_F(FindTest, ReplaceSelectsFirstThenReplacesAndReplaceAllIsOneUndoStep) {
  Load("a-b a-b a-b a-b");
  Notify(FR_REPLACE | FR_DOWN, "a-b", "X");
  EXPECT_EQ(view->GetText(), "a-b a-b a-b a-b");  // the first press only selects
  EXPECT_EQ(Sel(), std::make_pair(0, 3));
  Notify(FR_REPLACE | FR_DOWN, "a-b", "X");
  EXPECT_EQ(view->GetText(), "X a-b a-b a-b");
  EXPECT_EQ(Sel(), std::make_pair(2, 5));
  // From the selected match on; a replacement holding the find text is not searched again.
  Notify(FR_REPLACEALL | FR_DOWN, "a-b", "[a-b]");
  EXPECT_EQ(view->GetText(), "X [a-b] [a-b] [a-b]");
  view->Undo();
  EXPECT_EQ(view->GetText(), "X a-b a-b a-b");
  view->Redo();
  EXPECT_EQ(view->GetText(), "X [a-b] [a-b] [a-b]");
  view->Undo();
  view->Undo();  // Replace: the removal and the insertion are steps of their own
  EXPECT_EQ(view->GetText(), " a-b a-b a-b");
  view->Undo();
  EXPECT_EQ(view->GetText(), "a-b a-b a-b a-b");
  EXPECT_TRUE(ui.shown.empty());
}

// Replace All and the undo history read the text where it lies: the gap of the
// control's buffer stays at the last change.
TEST_F(FindTest, ReplaceAllAndItsUndoReadTheTextWhereItLies) {
  Load("a-b a-b a-b a-b end");
  Notify(FR_REPLACEALL | FR_DOWN, "a-b", "X");
  RvTextParts parts{};
  view->SendMessage(RVEM_GETTEXTPARTS, 0, reinterpret_cast<LPARAM>(&parts));
  EXPECT_EQ(7, parts.length1);
  EXPECT_EQ("X X", view->GetTextRange(0, 3));
  view->SendMessage(RVEM_GETTEXTPARTS, 0, reinterpret_cast<LPARAM>(&parts));
  EXPECT_EQ(7, parts.length1);
}

// A text already past the size limit still takes replacements that do not
// grow it; one that grows it is refused with the size message.
TEST_F(FindTest, ATextPastTheSizeLimitTakesReplacementsThatDoNotGrowIt) {
  const struct {
    DWORD flag;
    const char* replacement;
    const char* start;  // the text's first bytes afterwards
    size_t boxes;
  } cases[] = {{FR_REPLACEALL, "E", "EExx", 0}, {FR_REPLACEALL, "", "xxxx", 0}, {FR_REPLACEALL, "ee", "eexx", 1},
               {FR_REPLACE, "E", "Eexx", 0}};
  std::string text;
  while (text.size() <= CEditView::kMaxFileSize) text += "ee" + std::string(400, 'x') + "\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.replacement);
    ui.shown.clear();
    Load(text);
    if (c.flag == FR_REPLACE) Notify(FR_REPLACE | FR_DOWN, "e", c.replacement);  // selects the first
    Notify(c.flag | FR_DOWN | FR_MATCHCASE, "e", c.replacement);
    EXPECT_EQ(view->GetTextRange(0, 4), c.start);
    EXPECT_EQ(ui.shown.size(), c.boxes);
  }
}

TEST_F(FindTest, ReplaceAllWithAnEmptyFindTextChangesNothing) {
  Load("abc");
  Notify(FR_REPLACEALL | FR_DOWN, "", "x");
  EXPECT_EQ(view->GetText(), "abc");
  EXPECT_FALSE(view->CanUndo());
}

TEST_F(FindTest, AChangePastTheFileSizeLimitIsRefusedWithTheTooLargeMessage) {
  std::string text(CEditView::kMaxFileSize - 12, 'z');
  text += "aaaa";
  Load(text);
  Notify(FR_REPLACEALL | FR_DOWN, "a", "bbbb");  // 4 x 3 more bytes: 4 past the limit
  char tooLarge[512];
  LoadStringA(GetModuleHandleA(nullptr), AFX_IDP_FILE_TOO_LARGE, tooLarge, sizeof tooLarge);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(Shown(0), tooLarge);
  EXPECT_EQ(view->GetTextLength(), static_cast<int>(text.size()));
  EXPECT_FALSE(view->CanUndo());
  Notify(FR_REPLACEALL | FR_DOWN, "a", "bbb");  // exactly at the limit
  EXPECT_EQ(view->GetTextLength(), static_cast<int>(CEditView::kMaxFileSize));
}

TEST_F(FindTest, ALongSelectionFillsTheFindBufferUpToACharacterBoundary) {
  std::string text = "ab";
  for (int i = 0; i < 2000; ++i) text += "\x82\xA0";
  Load(text);
  view->SetSel(0, -1);
  Command(ID_EDIT_FIND);
  FindReplaceState& state = view->FindState();
  ASSERT_TRUE(state.dialog);
  const std::string put = state.findBuffer;
  EXPECT_EQ(put.size(), static_cast<size_t>(FindReplaceState::kBufferSize - 2));  // "ab" and whole characters
  EXPECT_EQ(put, text.substr(0, put.size()));
}

// The Find dialog moves off the match it finds (or the selection it is asked
// for over) wherever it lies, onto the screen; one that covers none stays put.
TEST_F(FindTest, TheDialogMovesOffTheMatchItFindsAndStaysPutOtherwise) {
  std::string text;
  char line[32];
  for (int i = 0; i < 300; ++i) text += (std::snprintf(line, sizeof line, "line %03d\r\n", i), line);
  Load(text);
  RECT client, box, overlap, screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetClientRect(view->m_hWnd, &client);
  const int visible = client.bottom / view->LineHeight();
  Command(ID_EDIT_FIND);
  const HWND dialog = view->FindState().dialog;
  ASSERT_TRUE(dialog && visible > 4);
  GetWindowRect(dialog, &box);
  const int h = box.bottom - box.top;
  const struct { int line; bool over, askedAgain; } cases[] = {
      {0, true, false}, {visible / 2, true, false}, {visible - 1, true, false}, {visible / 2, false, false},
      {visible - 1, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line * 4 + c.over * 2 + c.askedAgain);
    const int at = c.line * 10;
    view->SetSel(c.askedAgain ? at : 0, c.askedAgain ? at + 8 : 0);
    POINT a = view->PosFromChar(at), b = view->PosFromChar(at + 8);
    ClientToScreen(view->m_hWnd, &a);
    ClientToScreen(view->m_hWnd, &b);
    const RECT match{a.x, a.y, b.x, b.y + view->LineHeight()};
    const POINT put{a.x, c.over ? (match.top + match.bottom - h) / 2 : match.top > h + 8 ? 0 : match.bottom + 8};
    SetWindowPos(dialog, nullptr, put.x, put.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::snprintf(line, sizeof line, "line %03d", c.line);
    if (c.askedAgain) Command(ID_EDIT_FIND);
    else Notify(FR_FINDNEXT | FR_DOWN, line);
    ASSERT_EQ(Sel(), std::make_pair(at, at + 8));
    GetWindowRect(dialog, &box);
    EXPECT_FALSE(IntersectRect(&overlap, &box, &match));
    EXPECT_TRUE(IntersectRect(&overlap, &box, &screen) && EqualRect(&overlap, &box));
    if (!c.over) EXPECT_TRUE(box.left == put.x && box.top == put.y);
  }
}

TEST_F(FindTest, TheDialogBelongsToItsViewAndEndsWithIt) {
  Load("one");
  CMDIChildWnd* first = Frame()->MDIGetActive();
  CMyEditView* a = view;
  Command(ID_EDIT_FIND);
  FindReplaceState& state = view->FindState();
  HWND dialogOfA = state.dialog;
  ASSERT_TRUE(dialogOfA && IsWindow(dialogOfA));

  // Find in another window: A's dialog goes and B gets its own.
  Command(ID_FILE_NEW);
  view = ActiveView();
  ASSERT_NE(view, a);
  Load("two");
  Command(ID_EDIT_FIND);
  EXPECT_FALSE(IsWindow(dialogOfA));
  HWND dialogOfB = state.dialog;
  ASSERT_TRUE(dialogOfB && IsWindow(dialogOfB));
  EXPECT_EQ(state.owner, view->m_hWnd);

  // Closing an unrelated window keeps the dialog; closing its own closes it.
  SendMessageA(first->m_hWnd, WM_CLOSE, 0, 0);
  PumpMessages();
  EXPECT_TRUE(IsWindow(dialogOfB));
  EXPECT_EQ(state.dialog, dialogOfB);
  Command(ID_FILE_CLOSE);
  EXPECT_FALSE(IsWindow(dialogOfB));
  EXPECT_EQ(state.dialog, nullptr);
}

// With 正規表現: Find Next and Shift+F3 over Shift-JIS text, Replace All as one
// change and one undo step (in the selection or from it on), Replace on the
// selected match; a wrong or explosive pattern says so and changes nothing.
TEST_F(FindTest, RegexFindAndReplaceOnShiftJisText) {
  const std::string text = "Set fso = CreateObject(\"表\")\r\nSet sh = CreateObject(\"ソ\")\r\nx = 1";
  const struct {
    DWORD flags;
    const char* find;
    const char* replacement;
    bool inSelection;
    int selStart, selEnd;
    const char* after;  // the text afterwards, or null: unchanged
    int afterStart, afterEnd;
    const char* message;  // the one message shown, or null
  } cases[] = {
      {FR_FINDNEXT | FR_DOWN, "Set (\\w+) =", "", false, 0, 0, nullptr, 0, 9, nullptr},
      {FR_FINDNEXT | FR_DOWN, "Set (\\w+) =", "", false, 0, 9, nullptr, 30, 38, nullptr},
      {FR_FINDNEXT, "^set", "", false, 40, 40, nullptr, 30, 33, nullptr},
      {FR_FINDNEXT | FR_DOWN, "\\\\", "", false, 0, 0, nullptr, 0, 0, "文字列 '\\\\' が見つかりません。"},
      {FR_FINDNEXT | FR_DOWN, "(\"[^\"]", "", false, 0, 0, nullptr, 0, 0, "*正規表現が正しくありません。"},
      {FR_REPLACEALL | FR_DOWN, "Set (\\w+) = CreateObject\\(\"(.)\"\\)", "$2:$1", false, 0, 0,
       "表:fso\r\nソ:sh\r\nx = 1", 8, 13, nullptr},
      {FR_REPLACEALL | FR_DOWN, "^Set", "Dim", true, 0, 40, "Dim fso = CreateObject(\"表\")\r\nDim sh = CreateObject(\"ソ\")\r\nx = 1",
       0, 40, nullptr},
      {FR_REPLACEALL | FR_DOWN, "Set", "Dim", false, 30, 30, "Set fso = CreateObject(\"表\")\r\nDim sh = CreateObject(\"ソ\")\r\nx = 1",
       30, 33, nullptr},
      {FR_REPLACE | FR_DOWN, "\\d", "[$&]", false, 63, 64, "Set fso = CreateObject(\"表\")\r\nSet sh = CreateObject(\"ソ\")\r\nx = [1]",
       66, 66, nullptr},
      {FR_REPLACEALL | FR_DOWN, "(S+)+\\d", "", false, 0, 0, nullptr, 0, 0, "正規表現が複雑すぎるため検索を中止しました。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.find);
    Load(text);
    ui.shown.clear();
    view->FindState().regex = TRUE;
    view->FindState().inSelection = c.inSelection;
    view->SetSel(c.selStart, c.selEnd);
    if (c.message && std::strcmp(c.message, "正規表現が複雑すぎるため検索を中止しました。") == 0)
      Load(std::string(3000, 'S'));
    Notify(c.flags, c.find, c.replacement);
    EXPECT_EQ(c.after ? c.after : view->GetText(), view->GetText());
    if (!c.message) EXPECT_EQ(Sel(), std::make_pair(c.afterStart, c.afterEnd));
    ASSERT_EQ(ui.shown.size(), c.message ? 1u : 0u);
    if (c.message && c.message[0] == '*') EXPECT_EQ(0u, Shown(0).find(c.message + 1)) << Shown(0);
    else if (c.message) EXPECT_EQ(c.message, Shown(0));
    if (c.after && c.flags & FR_REPLACEALL) {
      view->Undo();
      EXPECT_EQ(text, view->GetText());
    }
  }
}

// The dialogs carry 正規表現 (remembered for the run) and, in Replace,
// 選択範囲のみ, checked as it opens over a selection of more than one line.
TEST_F(FindTest, TheDialogsCarryTheRegexAndInSelectionBoxes) {
  Load("ab\r\ncd\r\n");
  FindReplaceState& state = view->FindState();
  const struct {
    UINT command;
    int selEnd;
    bool inSelection;
  } cases[] = {{ID_EDIT_REPLACE, 6, true}, {ID_EDIT_REPLACE, 4, false}, {ID_EDIT_REPLACE, 0, false}, {ID_EDIT_FIND, 6, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.selEnd);
    state.Close();
    view->SetSel(0, c.selEnd);
    Command(c.command);
    ASSERT_TRUE(state.dialog);
    EXPECT_EQ(c.inSelection, IsDlgButtonChecked(state.dialog, 1101) == BST_CHECKED);
    EXPECT_TRUE(GetDlgItem(state.dialog, 0x480) && GetDlgItem(state.dialog, 0x411));  // the system's edt1, chx2
    CheckDlgButton(state.dialog, 1100, BST_CHECKED);
    Notify(FR_FINDNEXT | FR_DOWN, "^c.");
    EXPECT_EQ(Sel(), std::make_pair(4, 6));
    EXPECT_TRUE(state.regex);
    state.Close();
    Command(c.command);
    EXPECT_EQ(IsDlgButtonChecked(state.dialog, 1100), BST_CHECKED);
    CheckDlgButton(state.dialog, 1100, BST_UNCHECKED);
    Notify(FR_FINDNEXT | FR_DOWN, "^c.");
    EXPECT_FALSE(state.regex);
    view->SetSel(0, c.selEnd);
  }
}

// 選択範囲のみ: Replace All takes the matches wholly inside the selection, with or
// without a pattern, as one step; the selection then covers the replaced text.
TEST_F(FindTest, ReplaceAllInTheSelectionOnly) {
  const std::string text = "a-b\r\na-b\r\na-b";
  const struct {
    BOOL regex;
    const char* find;
    const char* after;
    int selEnd;
  } cases[] = {{FALSE, "a-b", "a-b\r\nX\r\na-b", 10}, {TRUE, "^a", "a-b\r\nX-b\r\nX-b", 12}, {FALSE, "zz", nullptr, 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.find);
    Load(text);
    ui.shown.clear();
    view->FindState().regex = c.regex;
    view->FindState().inSelection = TRUE;
    view->SetSel(2, 12);
    Notify(FR_REPLACEALL | FR_DOWN, c.find, "X");
    EXPECT_EQ(c.after ? c.after : text, view->GetText());
    EXPECT_EQ(Sel(), std::make_pair(2, c.selEnd));
    EXPECT_EQ(ui.shown.size(), c.after ? 0u : 1u);
    view->Undo();
    EXPECT_EQ(text, view->GetText());
  }
}

}  // namespace
