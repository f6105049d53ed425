// The Options dialog driven live through the modal seam: the checks with their
// messages and focus, a stored value outside a list, Browse, and the main
// window's Options command changing the open views at once.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "dialogs/dialog_ids.h"
#include "dialogs/optionsdlg.h"
#include "tests/app/app_fixture.h"
#include "views/myeditview.h"

namespace {
int Sel(CDialog& d, int id) { return static_cast<int>(::SendMessageA(d.GetDlgItem(id), CB_GETCURSEL, 0, 0)); }
void Select(CDialog& d, int id, int index) { ::SendMessageA(d.GetDlgItem(id), CB_SETCURSEL, index, 0); }
void Click(CDialog& d, int id) { d.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(d.GetDlgItem(id))); }

class OptionsTest : public ::testing::Test {
 protected:
  ScriptedResponder ui;
  COptionsDlg dlg;
  void SetUp() override {
    dlg.m_nStress = 1;
    dlg.m_nTabStops = 4;
    dlg.m_nFilterIndex = 0;
    dlg.m_nOpenMode = 0;
    dlg.m_strHelpPath = "C:\\old.chm";
  }
};
}  // namespace

// 0, 256 and "abc": each shows its message, the dialog stays open with the
// focus on the tab width; a valid width then closes it.
TEST_F(OptionsTest, TabWidthChecksKeepTheDialogOpenWithTheFocusOnTheField) {
  struct Case { const char* typed; const char* message; } cases[] = {
      {"0", "1 から 255 までの整数を入力してください。"},
      {"256", "1 から 255 までの整数を入力してください。"},
      {"abc", "整数を入力してください。"},
      {"", "整数を入力してください。"},
  };
  ui.onDialog = [&](CDialog& d) {
    d.ShowWindow(SW_SHOW);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.typed);
      ui.shown.clear();
      ::SetFocus(d.GetDlgItem(IDOK));
      d.SetDlgItemText(IDC_OPT_TABSTOPS, c.typed);
      Click(d, IDOK);
      EXPECT_FALSE(d.IsEnded());
      EXPECT_EQ(ui.shown.size(), 1u);
      if (!ui.shown.empty()) {
        EXPECT_EQ(ui.shown[0].text, c.message);
      }
      EXPECT_EQ(GetFocus(), d.GetDlgItem(IDC_OPT_TABSTOPS));
    }
    d.SetDlgItemText(IDC_OPT_TABSTOPS, " 255 ");
    return IDOK;
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_nTabStops, 255);
}

TEST_F(OptionsTest, InitialisationFillsTheListsAndLimitsTheSpinner) {
  ui.onDialog = [&](CDialog& d) {
    EXPECT_EQ(::SendMessageA(d.GetDlgItem(IDC_OPT_STRESS), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(::SendMessageA(d.GetDlgItem(IDC_OPT_EXTENSION), CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(::SendMessageA(d.GetDlgItem(IDC_OPT_OPENMODE), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Sel(d, IDC_OPT_STRESS), 1);
    EXPECT_EQ(d.GetDlgItemText(IDC_OPT_TABSTOPS), "4");
    int lo = 0, hi = 0;
    ::SendMessageA(d.GetDlgItem(IDC_OPT_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 255);
    return IDCANCEL;
  };
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_nTabStops, 4);
}

// A stored colouring language outside the list shows no selection and comes back as -1.
TEST_F(OptionsTest, OutOfRangeListValueShowsNoSelectionAndStoresMinusOne) {
  dlg.m_nStress = 5;
  ui.onDialog = [&](CDialog& d) {
    EXPECT_EQ(Sel(d, IDC_OPT_STRESS), -1);
    return IDOK;
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_nStress, -1);
}

// The length limit counts bytes: 200 double-byte characters are 400 bytes.
TEST_F(OptionsTest, HelpPathLimitCountsBytes) {
  std::string path = "C:\\";
  for (int i = 0; i < 200; ++i) path += "あ";
  ui.onDialog = [&](CDialog& d) {
    d.SetDlgItemText(IDC_OPT_HELPPATH, path.c_str());
    Click(d, IDOK);
    EXPECT_FALSE(d.IsEnded());
    EXPECT_EQ(ui.shown.size(), 1u);
    if (!ui.shown.empty()) {
      EXPECT_EQ(ui.shown[0].text, "260 文字以内で入力してください。");
    }
    return IDCANCEL;
  };
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

// After a failed check Browse stops: no file dialog, and what was typed in the
// fields after the failing one stays.
TEST_F(OptionsTest, BrowseStopsWhenAFieldFailsItsCheck) {
  ui.onFile = [&](CFileDialog& f) {
    f.SetChosenPath("C:\\help\\new.chm");
    return IDOK;
  };
  ui.onDialog = [&](CDialog& d) {
    d.SetDlgItemText(IDC_OPT_TABSTOPS, "0");
    Select(d, IDC_OPT_OPENMODE, 2);
    d.SetDlgItemText(IDC_OPT_HELPPATH, "C:\\typed.chm");
    Click(d, IDC_OPT_BROWSE);
    EXPECT_EQ(ui.fileDialogs, 0);
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(Sel(d, IDC_OPT_OPENMODE), 2);
    EXPECT_EQ(d.GetDlgItemText(IDC_OPT_HELPPATH), "C:\\typed.chm");
    return IDCANCEL;
  };
  dlg.DoModal();
}

// Browse: the file dialog starts at the help path; a chosen file replaces it
// and every other field keeps what was typed; a cancelled one changes nothing.
TEST_F(OptionsTest, BrowseTakesTheChosenFileAndKeepsTheOtherFields) {
  std::string initial;
  bool choose = false;
  ui.onFile = [&](CFileDialog& f) {
    initial = f.m_ofn.lpstrFile;
    EXPECT_TRUE(f.IsOpenDialog());
    EXPECT_TRUE(f.m_ofn.Flags & OFN_HIDEREADONLY);
    if (!choose) return IDCANCEL;
    f.SetChosenPath("C:\\help\\new.chm");
    return IDOK;
  };
  ui.onDialog = [&](CDialog& d) {
    d.SetDlgItemText(IDC_OPT_TABSTOPS, "12");
    Select(d, IDC_OPT_OPENMODE, 2);
    d.SetDlgItemText(IDC_OPT_HELPPATH, "C:\\typed.chm");
    Click(d, IDC_OPT_BROWSE);
    EXPECT_EQ(initial, "C:\\typed.chm");
    EXPECT_EQ(d.GetDlgItemText(IDC_OPT_HELPPATH), "C:\\typed.chm");
    choose = true;
    Click(d, IDC_OPT_BROWSE);
    EXPECT_EQ(d.GetDlgItemText(IDC_OPT_HELPPATH), "C:\\help\\new.chm");
    EXPECT_EQ(d.GetDlgItemText(IDC_OPT_TABSTOPS), "12");
    EXPECT_EQ(Sel(d, IDC_OPT_OPENMODE), 2);
    return IDOK;
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(ui.fileDialogs, 2);
  EXPECT_EQ(dlg.m_strHelpPath, "C:\\help\\new.chm");
  EXPECT_EQ(dlg.m_nOpenMode, 2);
}

// ---------------------------------------------------------------- through the program

class OptionsCommandTest : public AppFixture {
 protected:
  CMyEditView* ActiveView() {
    CMDIChildWnd* child = Frame()->MDIGetActive();
    return child ? dynamic_cast<CMyEditView*>(child->GetActiveView()) : nullptr;
  }
};

TEST_F(OptionsCommandTest, OkChangesTheOpenViewsAndTheStoredSettingsCancelNothing) {
  ASSERT_TRUE(Start());
  CMyEditView* view = ActiveView();
  ASSERT_NE(view, nullptr);
  const int stopsBefore = view->GetTabStops();
  ui.onDialog = [&](CDialog& d) {
    d.SetDlgItemText(IDC_OPT_TABSTOPS, "9");
    return IDCANCEL;
  };
  Command(ID_VIEW_OPTIONS);
  EXPECT_EQ(ui.dialogsShown.size(), 1u);
  EXPECT_EQ(Settings().m_tabStops, 4);
  EXPECT_EQ(view->GetTabStops(), stopsBefore);

  ui.onDialog = [&](CDialog& d) {
    d.SetDlgItemText(IDC_OPT_TABSTOPS, "8");
    Select(d, IDC_OPT_STRESS, 2);
    Select(d, IDC_OPT_OPENMODE, 2);
    ::SendMessageA(d.GetDlgItem(IDC_OPT_AUTOINDENT), BM_SETCHECK, BST_UNCHECKED, 0);
    return IDOK;
  };
  Command(ID_VIEW_OPTIONS);
  EXPECT_EQ(Settings().m_tabStops, 8);
  EXPECT_EQ(Settings().m_stress, 2);
  EXPECT_FALSE(Settings().m_autoIndent);
  EXPECT_EQ(app->m_nOpenMode, 2);
  EXPECT_EQ(view->GetTabStops(), 32);
  EXPECT_EQ(view->m_syntaxMode, 2);
  Exit();
  EXPECT_EQ(Ini("Settings", "TabStops"), "8");
  EXPECT_EQ(Ini("Settings", "Stress"), "2");
  EXPECT_EQ(Ini("Settings", "OpenMode"), "2");
}

TEST(ViewColors, AutomaticColourDrawsAsWindowColoursAndTheRolesDefault) {
  EditorColors c;
  c.text = 0xFF000000u;
  c.background = 0xFF000000u;
  c.keyword = 0xFF000000u;
  c.comment = 0x123456u;
  EditorColors d = DrawableColors(c, 0x111111u, 0xEEEEEEu);
  EXPECT_EQ(d.text, 0x111111u);
  EXPECT_EQ(d.background, 0xEEEEEEu);
  EXPECT_EQ(d.keyword, EditorColors().keyword);  // a role's own default, not the text colour
  EXPECT_EQ(d.comment, 0x123456u);
  c.comment = c.string = 0xFF000000u;
  d = DrawableColors(c, 0x111111u, 0xEEEEEEu);
  EXPECT_EQ(d.comment, 0x0000C0u);
  EXPECT_EQ(d.string, 0x808000u);
}
