// Macros against real views: run in the real helper process with the real
// script control (JScript and VBScript), the error report, stopping a macro,
// the Macro menu, the language commands and the organize dialog.
#include <windows.h>
#include <commctrl.h>
#include "platform/framework/doc.h"
#include "macros/editor_object.h"
#include "macros/macro_text.h"
#include "platform/framework/bars.h"
#include "views/findreplace.h"
#include "macros/macro_dialogs.h"
#include "macros/macro_engine.h"
#include "macros/macro_menu.h"
#include "macros/macro_run.h"
#include "macros/macro_run_window.h"
#include "tests/app/app_fixture.h"
#include "tests/macros/helper_path.h"
#include "views/myview.h"

namespace {
class MacroTest : public ViewFixture<CMyView> {
 protected:
  void SetUp() override {
    ViewFixture<CMyView>::SetUp();
    Frame()->m_macros.m_helper = HelperPath();
  }

  void SetText(const char* text) {
    view->SetText(text);
    view->SetSel(0, 0);
  }
  // Runs `text` in `language` against the view; the macro file is a name only.
  void Run(const std::string& text, int language) {
    Settings().m_macroLanguage = language;
    Frame()->m_macros.ExecuteText(text, view, dir / "macro\\none.js");
    PumpMessages();
  }
  std::string MacroPath(const std::string& name) const { return dir / ("macro\\" + name); }
  std::string Status() const { return Frame()->GetMessageBar()->GetPaneText(0); }
  std::pair<int, int> Sel(CEditView* v) const {
    int s, e;
    v->GetSel(s, e);
    return {s, e};
  }
  const MessageBoxCall* LastBox() const { return ui.shown.empty() ? nullptr : &ui.shown.back(); }
  // The Macro menu as the menu bar's activation leaves it.
  HMENU OpenMacroMenu() {
    ::SendMessageA(Frame()->m_hWnd, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(Frame()->m_hWnd)), 0);
    return FindMacroMenu(GetMenu(Frame()->m_hWnd));
  }
  std::vector<std::string> MacroItems(HMENU menu) const {
    std::vector<std::string> texts = MenuItemTexts(menu), items;
    std::vector<UINT> ids = MenuItemIds(menu);
    for (size_t k = 0; k < ids.size(); ++k)
      if (ids[k] >= ID_MACRO_FIRST && ids[k] < 1000) items.push_back(std::to_string(ids[k]) + "=" + texts[k]);
    return items;
  }
};
}  // namespace

TEST_F(MacroTest, EveryMemberFromJScriptThroughTheObjectAndAsBareNames) {
  SetText("one\r\ntwo\r\nthree");
  ui.onDialog = [](CDialog&) { return IDOK; };  // the prompt's default, as it stands
  Run("var n = editor.lineCount;\n"
      "editor.lineText(0) = lineText(1).toUpperCase() + n;\n"     // bare and dotted, a property put
      "editor.SELECTEDTEXT = '[' + selectedText + ']';\n"         // any letter case; empty selection
      "alert(editor.windowText.length);\n"
      "if (confirm('go?')) lineText(2) = prompt('p', 'dflt');\n",
      0);
  EXPECT_EQ(view->GetText(), "[]TWO3\r\ntwo\r\ndflt");
  ASSERT_GE(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, "18");  // "[]TWO3\r\ntwo\r\nthree"
  EXPECT_EQ(ui.shown[0].caption, "Ruvelto");
  EXPECT_EQ(ui.shown[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(ui.shown[1].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
  ASSERT_EQ(ui.dialogsShown.size(), 1u);
  EXPECT_EQ(ui.dialogsShown[0], static_cast<UINT>(IDD_PROMPT));
  // The whole run is one step of the history.
  view->Undo();
  EXPECT_EQ(view->GetText(), "one\r\ntwo\r\nthree");
  EXPECT_FALSE(view->CanUndo());
}

TEST_F(MacroTest, EveryMemberFromVBScriptWithSixteenBitIndexes) {
  SetText("alpha\r\nbeta");
  ui.answers = {IDCANCEL};
  Run("Dim i\n"
      "i = LineCount - 1\n"
      "Editor.LineText(i) = UCase(lineText(i)) & \"!\"\n"
      "If Not Confirm(\"q\") Then editor.selectedText = \"<\" & Prompt(\"m\", \"d\") & \">\"\n"
      "Alert windowText\n",
      1);
  // The caret stands at the start of the written line; Confirm answered
  // Cancel and the prompt is cancelled too.
  EXPECT_EQ(view->GetText(), "alpha\r\n<>BETA!");
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[1].text, "alpha\r\n<>BETA!");
  // windowText write is one undo step as well.
  Run("windowText = \"x\"", 1);
  EXPECT_EQ(view->GetText(), "x");
  view->Undo();
  EXPECT_EQ(view->GetText(), "alpha\r\n<>BETA!");
}

TEST_F(MacroTest, AQuestionAskedAtOnceIsNotHiddenByTheRunningWindow) {
  SetText("");
  bool covered = false;
  ui.whileShown = [&](const MessageBoxCall&) {
    const DWORD shown = GetTickCount();
    while (GetTickCount() - shown < 400) {  // the user takes a while to answer
      PumpMessages(1);
      Sleep(10);
    }
    covered = IsWindowVisible(FindWindowA(nullptr, "マクロ実行中")) != FALSE;
  };
  Run("alert('question'); selectedText = 'after';", 0);
  ui.whileShown = nullptr;
  EXPECT_FALSE(covered);
  EXPECT_EQ(view->GetText(), "after");
}

TEST_F(MacroTest, PromptIsAnsweredThroughTheDialogAndKeepsItsMessage) {
  SetText("");
  std::string message;
  ui.onDialog = [&](CDialog& dlg) {
    message = dlg.GetDlgItemText(IDC_PROMPT_MESSAGE);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_PROMPT_ANSWER), "def");
    dlg.SetDlgItemText(IDC_PROMPT_ANSWER, "typed");
    return IDOK;
  };
  Run("selectedText = prompt('名前は?', 'def')", 0);
  EXPECT_EQ(message, "名前は?");
  EXPECT_EQ(view->GetText(), "typed");
}

TEST_F(MacroTest, LineTextEdgesAndANegativeIndexIsNoLine) {
  SetText("a\r\nb");
  view->SetSel(4, 4);  // the caret in line 1
  Run("selectedText = '[' + lineText(2) + '|' + lineText(-1) + ']';\n"
      "lineText(2) = 'past';\n"
      "lineText(-1) = 'x';\n",
      0);
  EXPECT_EQ(view->GetText(), "a\r\nb[|]");
  // Index 0 replaces the first line only, keeps its break, caret at 0.
  Run("lineText(0) = 'first'", 0);
  EXPECT_EQ(view->GetText(), "first\r\nb[|]");
  EXPECT_EQ(Sel(view), std::make_pair(0, 0));
}

TEST_F(MacroTest, WritingLineCountStopsTheMacroWithTheReadOnlyMessage) {
  SetText("keep");
  Run("selectedText = 'x'; lineCount = 5; selectedText = 'y';", 0);
  EXPECT_EQ(view->GetText(), "xkeep");  // the edit before the failure stays
  ASSERT_NE(LastBox(), nullptr);
  EXPECT_NE(LastBox()->text.find(CEditorObject::kReadOnlyMessage), std::string::npos) << LastBox()->text;
  EXPECT_EQ(LastBox()->type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
}

TEST_F(MacroTest, AnEmptyMacroRunsAndReportsNothing) {
  SetText("t");
  Run("", 0);
  Run("", 1);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MacroTest, AMissingFileOrControlIsReportedAndNothingRuns) {
  SetText("t");
  Settings().m_macroLanguage = 0;
  Frame()->m_macros.Run("missing", view);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "'" + MacroPath("missing.js") + "' を開くことができません。(Error:2)");
  Frame()->m_macros.m_scriptControl = "Ruvelto.NoSuchControl";
  Run("selectedText = 'x'", 0);
  Frame()->m_macros.m_scriptControl = "ScriptControl";
  ASSERT_EQ(ui.shown.size(), 3u);
  EXPECT_EQ(ui.shown[1].text, "ScriptControl オブジェクトを作成できません。");
  EXPECT_EQ(ui.shown[1].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_FALSE(ui.shown[2].text.empty());
  EXPECT_EQ(ui.shown[2].type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(view->GetText(), "t");
}

TEST_F(MacroTest, AVBScriptSyntaxErrorInLineThreeSelectsThatLineAndReportsIt) {
  ASSERT_TRUE(WriteBytes(MacroPath("bad.vbs"), "Dim a\r\na = 1\r\nIf a Then a = (\r\nselectedText = \"no\"\r\n"));
  SetText("untouched");
  Settings().m_macroLanguage = 1;
  Frame()->m_macros.Run("bad", view);
  PumpMessages();
  EXPECT_EQ(view->GetText(), "untouched");
  auto* opened = ActiveViewAs<CMyView>();
  ASSERT_NE(opened, nullptr);
  ASSERT_NE(opened, view);
  EXPECT_EQ(opened->GetDocument()->GetTitle(), "bad.vbs");
  EXPECT_EQ(Sel(opened), std::make_pair(14, 29));  // "If a Then a = (" without its CR LF
  ASSERT_NE(LastBox(), nullptr);
  const std::string& report = LastBox()->text;
  EXPECT_EQ(report.rfind("エラー:   ", 0), 0u) << report;
  EXPECT_NE(report.find("\n行番号:   3\n文字位置: "), std::string::npos) << report;
  // The report says what went wrong even where the failure carries only a
  // code: source and description then come from the control's error record.
  EXPECT_EQ(report.find("ソース:   Ruvelto"), std::string::npos) << report;
  const size_t description = report.find("説明:     ");
  ASSERT_NE(description, std::string::npos);
  EXPECT_NE(report[description + std::string("説明:     ").size()], '\n') << report;
}

TEST_F(MacroTest, AFailingLineOutsideTheFileSelectsNothing) {
  // The macro file changed since the text ran: its line 4 does not exist.
  ASSERT_TRUE(WriteBytes(MacroPath("short.js"), "a\r\nb"));
  SetText("t");
  Settings().m_macroLanguage = 0;
  Frame()->m_macros.ExecuteText("\n\n\nthrow new Error('late');\n", view, MacroPath("short.js"));
  PumpMessages();
  auto* opened = ActiveViewAs<CMyView>();
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->GetDocument()->GetTitle(), "short.js");
  auto sel = Sel(opened);
  EXPECT_EQ(sel.first, sel.second);
  EXPECT_FALSE(SelectMacroLine(*opened, 0));
  EXPECT_FALSE(SelectMacroLine(*opened, 3));
  EXPECT_TRUE(SelectMacroLine(*opened, 2));  // the last line, to the end of the text
  EXPECT_EQ(Sel(opened), std::make_pair(3, 4));
}

TEST_F(MacroTest, AMacroFileOpenWithChangesIsSavedBeforeItRuns) {
  ASSERT_TRUE(WriteBytes(MacroPath("m.js"), "selectedText = 'old';"));
  CDocument* doc = app->OpenDocumentFile(MacroPath("m.js").c_str());
  ASSERT_NE(doc, nullptr);
  auto* macroView = dynamic_cast<CMyView*>(doc->GetFirstView());
  macroView->SetSel(0, macroView->GetTextLength());
  macroView->ReplaceSelWithUndo("selectedText = 'new';");
  Settings().m_macroLanguage = 0;
  Frame()->m_macros.Run("m", view);
  EXPECT_EQ(ReadBytes(MacroPath("m.js")), "selectedText = 'new';");
  EXPECT_NE(view->GetText().find("new"), std::string::npos);
}

TEST_F(MacroTest, TheMenuListsExactExtensionsSortedAndRunsAnItem) {
  for (const char* name : {"b.js", "a.js", "C.js", "x.jsx", "v.vbs", "d.o.t.js"})
    ASSERT_TRUE(WriteBytes(MacroPath(name), "selectedText = 'ran';"));
  Settings().m_macroLanguage = 0;
  HMENU menu = OpenMacroMenu();
  ASSERT_NE(menu, nullptr);
  const std::vector<std::string> js = {"200=a", "201=b", "202=C", "203=d.o.t"};
  EXPECT_EQ(MacroItems(menu), js);
  EXPECT_EQ(MacroItems(OpenMacroMenu()), js);  // a second opening: the same
  EXPECT_TRUE(Frame()->IsCommandEnabled(ID_MACRO_ORGANIZE));
  // Routed from the menu past the enable check.
  SetText("");
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, MAKEWPARAM(201, 0), 0);
  EXPECT_EQ(view->GetText(), "ran");
  // The language switch; a removed file vanishes at the next opening.
  Command(ID_MACRO_VBSCRIPT);
  EXPECT_EQ(Settings().m_macroLanguage, 1);
  EXPECT_EQ(MacroItems(OpenMacroMenu()), std::vector<std::string>{"200=v"});
  ASSERT_TRUE(DeleteFileA(MacroPath("v.vbs").c_str()));
  EXPECT_TRUE(MacroItems(OpenMacroMenu()).empty());
  EXPECT_FALSE(Frame()->IsCommandEnabled(ID_MACRO_ORGANIZE));
  Command(ID_MACRO_JSCRIPT);
  EXPECT_EQ(Settings().m_macroLanguage, 0);
  EXPECT_TRUE(Frame()->IsCommandEnabled(ID_MACRO_JSCRIPT));
}

TEST_F(MacroTest, TheMacroMenuIsFoundPastAMaximisedWindowsSystemMenu) {
  ASSERT_TRUE(WriteBytes(MacroPath("m.js"), ""));
  ::SendMessageA(Frame()->m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(Frame()->MDIGetActive()->m_hWnd), 0);
  PumpMessages();
  EXPECT_EQ(MacroItems(OpenMacroMenu()), std::vector<std::string>{"200=m"});
}

TEST_F(MacroTest, OrganizeRenamesDeletesAndRefusesBadNames) {
  std::string japanese, longer;
  for (int k = 0; k < 40; ++k) japanese += "表示";  // each "表" ends with the byte 5C
  for (int k = 0; k < 3; ++k) longer += japanese;  // 480 bytes: longer than a file name may be here
  for (const std::string& name : {std::string("a"), std::string("b"), japanese})
    ASSERT_TRUE(WriteBytes(MacroPath(name + ".js"), "x"));
  Settings().m_macroLanguage = 0;
  ASSERT_NE(OpenMacroMenu(), nullptr);
  ASSERT_EQ(Frame()->m_macros.m_list.GetCount(), 3);
  Frame()->m_macros.m_list.AddTail(longer);
  ui.onDialog = [&](CDialog& d) {
    auto& dlg = dynamic_cast<COrganizeMacroDlg&>(d);
    auto select = [&](int index) {
      LVITEMA item{};
      item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
      ::SendMessageA(dlg.List(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    };
    EXPECT_EQ(::SendMessageA(dlg.List(), LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(dlg.ItemText(3), longer);  // read whole
    select(0);
    dlg.EndLabelEdit(nullptr);  // Esc
    EXPECT_TRUE(FileExists(MacroPath("a.js")));
    size_t boxes = ui.shown.size();
    dlg.EndLabelEdit("..\\x");
    dlg.EndLabelEdit("");
    EXPECT_EQ(ui.shown.size(), boxes + 2);
    EXPECT_TRUE(FileExists(MacroPath("a.js")));
    EXPECT_FALSE(FileExists(dir / "x.js"));
    dlg.EndLabelEdit("B");  // taken by b
    EXPECT_EQ(ui.shown.back().text, "名前が重複しています。");
    dlg.EndLabelEdit("A");  // only the case differs: nothing, silently
    EXPECT_EQ(ui.shown.size(), boxes + 3);
    dlg.EndLabelEdit("z");
    EXPECT_TRUE(FileExists(MacroPath("z.js")));
    EXPECT_EQ(dlg.ItemText(0), "z");
    select(2);
    EXPECT_EQ(dlg.ItemText(2), japanese);
    ui.answers = {IDNO};
    dlg.OnDelete();
    EXPECT_TRUE(FileExists(MacroPath(japanese + ".js")));
    ui.answers = {IDYES};
    dlg.OnDelete();
    EXPECT_FALSE(FileExists(MacroPath(japanese + ".js")));
    EXPECT_EQ(::SendMessageA(dlg.List(), LVM_GETITEMCOUNT, 0, 0), 3);
    select(0);
    dlg.OnEdit();  // opens z.js and closes the dialog
    EXPECT_TRUE(dlg.IsEnded());
    return IDCANCEL;
  };
  Command(ID_MACRO_ORGANIZE);
  EXPECT_EQ(Titles().back(), "z.js");
  ASSERT_EQ(Frame()->m_macros.m_list.GetCount(), 3);
  EXPECT_EQ(Frame()->m_macros.m_list.GetAt(0), "z");
  EXPECT_EQ(MacroItems(OpenMacroMenu()), (std::vector<std::string>{"200=b", "201=z"}));
}

TEST_F(MacroTest, OrganizeEndsALabelEditWithEscAsACancel) {
  ASSERT_TRUE(WriteBytes(MacroPath("a.js"), "x"));
  Settings().m_macroLanguage = 0;
  ASSERT_NE(OpenMacroMenu(), nullptr);
  ui.onDialog = [&](CDialog& d) {
    auto& dlg = dynamic_cast<COrganizeMacroDlg&>(d);
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(dlg.List(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    for (WPARAM key : {WPARAM(VK_ESCAPE), WPARAM(VK_RETURN)}) {
      ::SendMessageA(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MACRO_RENAME, BN_CLICKED), 0);
      HWND edit = reinterpret_cast<HWND>(::SendMessageA(dlg.List(), LVM_GETEDITCONTROL, 0, 0));
      EXPECT_NE(edit, nullptr);
      if (!edit) break;
      ::SetWindowTextA(edit, key == VK_ESCAPE ? "esc" : "ret");
      ::SendMessageA(edit, WM_KEYDOWN, key, 0);
      ::SendMessageA(edit, WM_CHAR, key, 0);
      PumpMessages();
    }
    return IDOK;
  };
  Command(ID_MACRO_ORGANIZE);
  EXPECT_FALSE(FileExists(MacroPath("esc.js")));
  EXPECT_TRUE(FileExists(MacroPath("ret.js")));
  EXPECT_FALSE(FileExists(MacroPath("a.js")));
}

TEST_F(MacroTest, AddMacroProposesTheTitleUpToItsFirstDotAndRefusesBadNames) {
  Command(ID_FILE_NEW);
  auto* fresh = ActiveViewAs<CMyView>();
  ASSERT_NE(fresh, nullptr);
  EXPECT_FALSE(Frame()->IsCommandEnabled(ID_MACRO_ADD));  // an empty text
  ASSERT_TRUE(WriteBytes(dir / "my.tool.js", "selectedText = 1;"));
  CDocument* doc = app->OpenDocumentFile((dir / "my.tool.js").c_str());
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(Frame()->IsCommandEnabled(ID_MACRO_ADD));
  std::string proposed;
  ui.onDialog = [&](CDialog& dlg) {
    proposed = dlg.GetDlgItemText(IDC_MACRO_NAME);
    dlg.SetDlgItemText(IDC_MACRO_NAME, "..\\out");
    return IDOK;  // refused: the dialog stays open, which ends it as cancelled
  };
  Command(ID_MACRO_ADD);
  EXPECT_EQ(proposed, "my");
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_FALSE(FileExists(dir / "out.js"));
  EXPECT_EQ(doc->GetPathName(), dir / "my.tool.js");
  ui.onDialog = [&](CDialog& dlg) {
    dlg.SetDlgItemText(IDC_MACRO_NAME, "tool");
    return IDOK;
  };
  Command(ID_MACRO_ADD);
  EXPECT_EQ(ReadBytes(MacroPath("tool.js")), "selectedText = 1;");
  EXPECT_EQ(doc->GetTitle(), "tool.js");
  Settings().m_macroLanguage = 0;
  EXPECT_EQ(MacroItems(OpenMacroMenu()), std::vector<std::string>{"200=tool"});
}

TEST_F(MacroTest, AnEditForAWindowClosedMeanwhileEndsTheMacroWithAMessageThatSaysSo) {
  SetText("t");
  ui.whileShown = [&](const MessageBoxCall& call) {
    if (call.text == "closing") ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_FILE_CLOSE, 0);
  };
  Run("alert('closing'); selectedText = 'late'; alert('never');", 0);
  ui.whileShown = nullptr;
  EXPECT_TRUE(Docs().empty());
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[1].text, "マクロの対象のウィンドウは閉じられています。");
}

TEST_F(MacroTest, AMacroFileWhoseSaveFailsIsNotRun) {
  ASSERT_TRUE(WriteBytes(MacroPath("ro.js"), "selectedText = 'disk';"));
  CDocument* doc = app->OpenDocumentFile(MacroPath("ro.js").c_str());
  ASSERT_NE(doc, nullptr);
  auto* macroView = dynamic_cast<CMyView*>(doc->GetFirstView());
  macroView->SetSel(0, macroView->GetTextLength());
  macroView->ReplaceSelWithUndo("selectedText = 'editor';");
  SetFileAttributesA(MacroPath("ro.js").c_str(), FILE_ATTRIBUTE_READONLY);
  Settings().m_macroLanguage = 0;
  SetText("");
  Frame()->m_macros.Run("ro", view);
  SetFileAttributesA(MacroPath("ro.js").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(view->GetText(), "");
  EXPECT_EQ(ReadBytes(MacroPath("ro.js")), "selectedText = 'disk';");
  EXPECT_EQ(ui.shown.size(), 1u);  // the save's own report only
}

namespace {
// The editor's side of a run, in this process: each edit goes to the view as
// the editor applies it, and the view must then equal the helper's copy.
class ComparingChannel : public MacroChannel {
 public:
  ComparingChannel(CMyEditView& view, MacroTextCopy& copy) : m_view(view), m_copy(copy) {}
  void Edit(const MacroEdit& edit) override {
    ApplyMacroEdit(m_view, edit);
    ++edits;
    int start, end;
    m_view.GetSel(start, end);
    std::string selected;
    m_view.CopySelectedText(selected);
    bool same = m_view.GetText() == m_copy.AllText() && start == m_copy.SelectionStart() &&
                end == m_copy.SelectionEnd() && selected == m_copy.SelectedText() &&
                m_view.GetLineCount() == m_copy.LineCount();
    for (int k = 0; same && k < m_copy.LineCount(); ++k)
      same = m_view.GetTextRange(m_view.LineIndex(k), m_view.LineLength(m_view.LineIndex(k))) == m_copy.LineText(k);
    if (!same) mismatches.push_back("edit " + std::to_string(edits) + ": view '" + m_view.GetText() + "' copy '" +
                                    m_copy.AllText() + "'");
  }
  void Alert(const std::string&) override {}
  bool Confirm(const std::string&) override { return true; }
  std::string Prompt(const std::string&, const std::string& answer) override { return answer; }
  int edits = 0;
  std::vector<std::string> mismatches;

 private:
  CMyEditView& m_view;
  MacroTextCopy& m_copy;
};

// Presses the running window's 中止 (or sends Esc, or closes it) once the view
// shows some of the macro's edits.
CMyEditView* g_watchedView = nullptr;
std::string g_textBefore;
int g_stopWay = 0;
bool g_userCouldEdit = false;  // a window but the running one was enabled while the macro ran
BOOL CALLBACK NoteEnabled(HWND h, LPARAM running) {
  if (h != reinterpret_cast<HWND>(running) && IsWindowVisible(h) && IsWindowEnabled(h)) g_userCouldEdit = true;
  return TRUE;
}
void CALLBACK StopOnceEdited(HWND, UINT, UINT_PTR, DWORD) {
  HWND running = FindWindowA(nullptr, "マクロ実行中");
  if (!running || !g_watchedView || g_watchedView->GetText() == g_textBefore) return;
  EnumThreadWindows(GetCurrentThreadId(), NoteEnabled, reinterpret_cast<LPARAM>(running));
  if (g_stopWay == 0) ::SendMessageA(GetDlgItem(running, IDCANCEL), BM_CLICK, 0, 0);
  if (g_stopWay == 1) ::PostMessageA(GetDlgItem(running, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
  if (g_stopWay == 2) ::PostMessageA(running, WM_CLOSE, 0, 0);
}
}  // namespace

TEST_F(MacroTest, TheHelpersCopyAgreesWithTheViewAfterEveryKindOfEdit) {
  SetText("一行目\r\n二\rthree\nfour");
  view->SetSel(4, 14);  // from inside the first line into the third
  int start, end;
  view->GetSel(start, end);
  MacroTextCopy copy(view->GetText(), start, end);
  ComparingChannel channel(*view, copy);
  auto* editor = new CEditorObject(copy, channel);
  MacroFailure failure;
  const bool ran = RunMacroInControl(
      "selectedText = '選択';\n"                         // a selection across lines, double-byte text
      "lineText(1) = 'x\\r\\ny\\rz';\n"                  // line breaks written into a line
      "lineText(lineCount - 1) = '';\n"
      "selectedText = '';\n"                             // nothing selected, nothing written
      "selectedText = '末';\n"
      "lineText(0) = lineText(0) + '\\u00e9|' + lineText(1);\n"  // a character code page 932 lacks
      "windowText = 'a\\u0000b\\r\\n';\n"                 // a string ends at its NUL
      "selectedText = 'q';\n"
      "windowText = ''; windowText = '';\n"              // the empty text made empty again
      "selectedText = 'い\\r\\n';\n",
      "JScript", L"ScriptControl", Frame()->m_hWnd, editor, failure);
  editor->Release();
  EXPECT_TRUE(ran) << failure.description;
  EXPECT_EQ(channel.edits, 10);
  EXPECT_TRUE(channel.mismatches.empty()) << channel.mismatches.front();
  EXPECT_EQ(view->GetText(), "い\r\n");
}

TEST_F(MacroTest, AMacroThatNeverEndsIsStoppedByTheButtonEscOrClosingItsWindowAndItsEditsCanBeUndone) {
  SetText("x");
  Command(ID_EDIT_REPLACE);  // a modeless window that could change the text
  HWND replace = view->FindState().dialog;
  ASSERT_TRUE(replace && IsWindowVisible(replace));
  for (g_stopWay = 0; g_stopWay < 3; ++g_stopWay) {
    SCOPED_TRACE(g_stopWay);
    SetText("start\r\nrest");
    g_watchedView = view;
    g_textBefore = view->GetText();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, StopOnceEdited);
    Run("for (var i = 0; ; i++) lineText(0) = 'n' + i;", 0);
    KillTimer(nullptr, timer);
    g_watchedView = nullptr;
    EXPECT_EQ(FindWindowA(nullptr, "マクロ実行中"), nullptr);
    EXPECT_FALSE(g_userCouldEdit);
    EXPECT_TRUE(IsWindowEnabled(Frame()->m_hWnd));
    EXPECT_TRUE(IsWindowEnabled(replace));
    EXPECT_EQ(Status(), "マクロを中止しました。");
    EXPECT_TRUE(ui.shown.empty());
    const std::string stopped = view->GetText();
    EXPECT_EQ(stopped.rfind("n", 0), 0u) << stopped;
    EXPECT_EQ(stopped.substr(stopped.find('\r')), "\r\nrest");
    int steps = 0;
    while (view->m_undo.CanUndo()) {
      view->Undo();
      ++steps;
    }
    EXPECT_GT(steps, 0);
    EXPECT_EQ(view->GetText(), "start\r\nrest");
    while (view->m_undo.CanRedo()) view->Redo();
    EXPECT_EQ(view->GetText(), stopped);
  }
  Run("lineText(1) = 'again';", 0);  // a new helper works afterwards
  EXPECT_EQ(view->GetText().substr(view->GetText().find('\r')), "\r\nagain");
}

TEST_F(MacroTest, AHelperThatCannotStartOrDiesIsReportedAndChangesNothing) {
  struct Case {
    std::string helper;
    std::string message;
  } cases[] = {
      {dir / "missing.exe", "マクロを実行するプログラム\n" + dir / "missing.exe" + "\nを起動できません。"},
      {"C:\\windows\\system32\\hostname.exe", "マクロを実行するプログラムが途中で終了しました。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.helper);
    ui.shown.clear();
    Frame()->m_macros.m_helper = c.helper;
    SetText("kept");
    Run("selectedText = 'x';", 0);
    EXPECT_EQ(view->GetText(), "kept");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind(c.message, 0), 0u) << ui.shown[0].text;
    EXPECT_EQ(ui.shown[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_TRUE(IsWindowEnabled(Frame()->m_hWnd));
  }
}

TEST_F(MacroTest, AQuestionLoopShowsTheRunningWindowUsableAndItsStopEndsTheLoop) {
  SetText("kept");
  HWND running = nullptr;
  int answers = 0;
  bool usable = false;  // the window was up, 中止 enabled, while a question showed
  bool late = false;    // an answer given once the run had lasted the window's delay left it hidden
  DWORD firstAsked = 0, lastAnswered = 0;
  ui.whileShown = [&](const MessageBoxCall&) {
    PumpMessages(1);
    running = FindWindowA(nullptr, "マクロ実行中");
    if (!running) return;
    if (!firstAsked) firstAsked = GetTickCount();
    else if (lastAnswered - firstAsked >= MacroRunWindow::kShowDelay && !IsWindowVisible(running)) late = true;
    lastAnswered = GetTickCount();
    if (IsWindowVisible(running) && IsWindowEnabled(running) && IsWindowEnabled(GetDlgItem(running, IDCANCEL))) {
      usable = true;
      ::SendMessageA(GetDlgItem(running, IDCANCEL), BM_CLICK, 0, 0);
    } else if (++answers == 3000) {
      ::SendMessageA(running, WM_COMMAND, IDCANCEL, 0);  // never came up: end the loop all the same
    }
  };
  Run("for (;;) alert('loop');", 0);
  ui.whileShown = nullptr;
  EXPECT_TRUE(usable) << answers << " answers";
  EXPECT_FALSE(late);
  EXPECT_EQ(FindWindowA(nullptr, "マクロ実行中"), nullptr);
  EXPECT_EQ(Status(), "マクロを中止しました。");
  EXPECT_TRUE(IsWindowEnabled(Frame()->m_hWnd));
  EXPECT_EQ(view->GetText(), "kept");
}

TEST_F(MacroTest, AnEditTheViewRefusesStopsTheMacroWithAMessageAndLeavesTheTextAlone) {
  SetText("a\r\nbbbbbbbb");
  // Behind the macro's back the text gets shorter than the helper's copy.
  ui.whileShown = [&](const MessageBoxCall& call) {
    if (call.text == "shrink") view->SetText("a");
  };
  Run("alert('shrink'); lineText(1) = 'c'; lineText(0) = 'late'; alert('never');", 0);
  ui.whileShown = nullptr;
  EXPECT_EQ(view->GetText(), "a");
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[1].text.rfind("マクロの変更をウィンドウに反映できなかったため、マクロを中止しました。", 0), 0u)
      << ui.shown[1].text;
}

namespace {
// The running window beside a box the helper's engine shows itself (a
// VBScript MsgBox, owned by the main window): down while the box shows (the
// timer answers it after a while), then up at the main window's lower right
// corner without the focus; the timer then stops the run.
struct {
  HWND main = nullptr, box = nullptr;
  CMyEditView* view = nullptr;
  int ticks = 0;
  DWORD since = 0;  // when the box and the window were first seen up together
  bool covered = false, shown = false, active = false;
  RECT at{};
} g_seen;
BOOL CALLBACK FindHelperBox(HWND h, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(h, &process);
  if (process != GetCurrentProcessId() && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == g_seen.main) g_seen.box = h;
  return !g_seen.box;
}
void CALLBACK WatchRunningWindow(HWND, UINT, UINT_PTR, DWORD) {
  HWND running = FindWindowA(nullptr, "マクロ実行中");
  if (!g_seen.box) EnumWindows(FindHelperBox, 0);
  if (g_seen.box && IsWindow(g_seen.box)) {
    // (a box that was answered may linger hidden for a moment)
    // Both up for longer than the window takes to step aside (it looks every 100 ms).
    const bool both = IsWindowVisible(g_seen.box) && IsWindowVisible(running);
    if (!both) g_seen.since = 0;
    else if (!g_seen.since) g_seen.since = GetTickCount();
    g_seen.covered = g_seen.covered || (both && GetTickCount() - g_seen.since > 400);
    if (++g_seen.ticks == 30) ::PostMessageA(g_seen.box, WM_COMMAND, IDOK, 0);  // well past the window's delay
  } else if (g_seen.box && IsWindowVisible(running) && !g_seen.shown && g_seen.view->GetTextLength() > 0) {
    // (stopped once the macro's edit after the box has arrived)
    g_seen.shown = true;
    g_seen.active = GetActiveWindow() == running || GetFocus() == GetDlgItem(running, IDCANCEL);
    GetWindowRect(running, &g_seen.at);
    ::SendMessageA(running, WM_COMMAND, IDCANCEL, 0);
  }
}
}  // namespace

TEST_F(MacroTest, TheRunningWindowStaysOffAHelpersBoxAndComesUpAtTheCornerWithoutTheFocus) {
  SetText("");
  g_seen = {};
  g_seen.main = Frame()->m_hWnd;
  g_seen.view = view;
  ::SetForegroundWindow(Frame()->m_hWnd);
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, WatchRunningWindow);
  Run("MsgBox \"from the engine\"\nselectedText = \"after\"\nDo\nLoop", 1);
  KillTimer(nullptr, timer);
  ASSERT_GE(g_seen.ticks, 30);
  EXPECT_FALSE(g_seen.covered);
  ASSERT_TRUE(g_seen.shown);
  EXPECT_FALSE(g_seen.active);
  RECT main;
  GetWindowRect(Frame()->m_hWnd, &main);
  EXPECT_GT(g_seen.at.left, (main.left + main.right) / 2);  // in the lower right, not over the centre
  EXPECT_GT(g_seen.at.top, (main.top + main.bottom) / 2);
  EXPECT_EQ(view->GetText(), "after");
}
