// The editor font and colour dialog, run for real and driven live through the
// modal seam: the pickers get the colours in their own order, OK reads them
// back, Cancel keeps them, a face the dialog does not list survives an
// untouched OK, and the main window's Font command changes the open views.
#include <gtest/gtest.h>
#include <windows.h>
#include "dialogs/colorfontdlg.h"
#include "dialogs/dialog_ids.h"
#include "tests/app/app_fixture.h"
#include "views/myeditview.h"

using colorgrid::kColors;

namespace {
const COLORREF kKeyword = 0x00000001, kComment = 0x00000002, kString = 0x00000003, kText = 0x00000004,
               kBackground = colorgrid::kAutomaticColor;

CCJColorPicker* PickerOf(HWND dlg, int id) { return dynamic_cast<CCJColorPicker*>(CWnd::FromHandle(GetDlgItem(dlg, id))); }

// Opens the picker `id` and picks table cell `cell` with the keyboard.
void PickWithKeys(HWND dlg, int id, int cell) {
  HWND button = GetDlgItem(dlg, id);
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  CCJColorPicker* picker = PickerOf(dlg, id);
  ASSERT_NE(picker, nullptr);
  ASSERT_NE(picker->Popup(), nullptr);
  HWND popup = picker->Popup()->m_hWnd;
  SendMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);  // customize box
  SendMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);  // automatic box
  SendMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);  // cell 0
  for (int i = 0; i < cell; ++i) SendMessageA(popup, WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
}

LOGFONTA Face(const char* face, int height) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return lf;
}

class ColorFontTest : public ::testing::Test {
 protected:
  ScriptedResponder ui;
  LOGFONTA initial = Face("FixedSys", -19);
  CColorFontDlg dlg{&initial, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FIXEDPITCHONLY | CF_NOVERTFONTS | CF_EFFECTS};
  void SetUp() override { dlg.SetColors(kKeyword, kComment, kString, kText, kBackground); }
};
}  // namespace

TEST_F(ColorFontTest, TemplateAndHookWithoutEffects) {
  EXPECT_FALSE(dlg.m_cf.Flags & CF_EFFECTS);
  EXPECT_TRUE(dlg.m_cf.Flags & CF_ENABLETEMPLATE);
  EXPECT_TRUE(dlg.m_cf.Flags & CF_ENABLEHOOK);
  EXPECT_TRUE(dlg.m_cf.Flags & CF_FIXEDPITCHONLY);
  EXPECT_EQ(dlg.m_cf.lpTemplateName, MAKEINTRESOURCEA(134));
}

// SetColors takes keyword, comment, string, text, background; the controls
// are 1018, 1019, 1020, 1021 and 1017. OK reads the pickers back.
TEST_F(ColorFontTest, PickersShowTheGivenColoursAndOkReadsThemBack) {
  ui.onLive = [&](const char* kind, HWND d) {
    EXPECT_STREQ(kind, "font");
    const std::pair<int, COLORREF> expected[] = {
        {IDC_CF_KEYWORD, kKeyword}, {IDC_CF_COMMENT, kComment}, {IDC_CF_STRING, kString},
        {IDC_CF_TEXT, kText},       {IDC_CF_BACKGROUND, kBackground}};
    for (auto [id, color] : expected) {
      CCJColorPicker* p = PickerOf(d, id);
      EXPECT_NE(p, nullptr) << id;
      if (p) {
        EXPECT_EQ(p->GetColor(), color) << id;
      }
    }
    PickWithKeys(d, IDC_CF_KEYWORD, 2);
    return IDOK;
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetKeywordColor(), kColors[2].color);
  EXPECT_EQ(dlg.GetCommentColor(), kComment);
  EXPECT_EQ(dlg.GetStringColor(), kString);
  EXPECT_EQ(dlg.GetTextColor(), kText);
  EXPECT_EQ(dlg.GetBackgroundColor(), kBackground);
}

// An automatic choice shows what it draws as: a syntax role its own default
// colour, the background the window's colour.
TEST_F(ColorFontTest, AnAutomaticSwatchShowsTheColourItDrawsAs) {
  dlg.SetColors(kKeyword, colorgrid::kAutomaticColor, colorgrid::kAutomaticColor, kText, kBackground);
  ui.onLive = [&](const char*, HWND d) {
    const std::pair<int, COLORREF> expected[] = {
        {IDC_CF_COMMENT, RGB(192, 0, 0)}, {IDC_CF_STRING, RGB(0, 128, 128)}, {IDC_CF_BACKGROUND, GetSysColor(COLOR_WINDOW)}};
    for (auto [id, color] : expected) EXPECT_EQ(PickerOf(d, id)->m_automaticShownAs, color) << id;
    return IDCANCEL;
  };
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(ColorFontTest, CancelKeepsTheColours) {
  ui.onLive = [&](const char*, HWND d) {
    PickWithKeys(d, IDC_CF_STRING, 5);
    EXPECT_EQ(PickerOf(d, IDC_CF_STRING)->GetColor(), kColors[5].color);
    return IDCANCEL;
  };
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.GetStringColor(), kString);
}

// "FixedSys" is not listed: the dialog shows a listed face, and OK without a
// change keeps FixedSys at its size; choosing another face takes that face.
TEST_F(ColorFontTest, UnlistedFaceSurvivesAnUntouchedOk) {
  std::string shown;
  ui.onLive = [&](const char*, HWND d) {
    char face[64] = "";
    GetDlgItemTextA(d, 1136, face, sizeof face);
    shown = face;
    return IDOK;
  };
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(shown.empty());
  EXPECT_NE(shown, "FixedSys");
  LOGFONTA got{};
  dlg.GetCurrentFont(&got);
  EXPECT_STREQ(got.lfFaceName, "FixedSys");
  EXPECT_EQ(got.lfHeight, -19);

  std::string picked;
  ui.onLive = [&](const char*, HWND d) {
    HWND list = GetDlgItem(d, 1136);
    const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    const int now = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
    EXPECT_GT(count, 1);
    const int other = now == 0 ? 1 : 0;
    char face[64] = "";
    SendMessageA(list, CB_GETLBTEXT, other, reinterpret_cast<LPARAM>(face));
    picked = face;
    SendMessageA(list, CB_SETCURSEL, other, 0);
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(1136, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return IDOK;
  };
  ASSERT_EQ(dlg.DoModal(), IDOK);
  dlg.GetCurrentFont(&got);
  EXPECT_EQ(std::string(got.lfFaceName), picked);
}

// ---------------------------------------------------------------- through the program

class FontCommandTest : public AppFixture {};

TEST_F(FontCommandTest, OkStoresColoursAndFontAndChangesTheOpenViews) {
  ASSERT_TRUE(Start());
  CMyEditView* view = dynamic_cast<CMyEditView*>(Frame()->MDIGetActive()->GetActiveView());
  ASSERT_NE(view, nullptr);
  const EditorColors before = Settings().m_colors;
  ui.onLive = [&](const char*, HWND d) {
    PickWithKeys(d, IDC_CF_COMMENT, 4);
    return IDCANCEL;
  };
  Command(ID_VIEW_FONT);
  EXPECT_EQ(Settings().m_colors.comment, before.comment);

  ui.onLive = [&](const char*, HWND d) {
    PickWithKeys(d, IDC_CF_COMMENT, 4);
    return IDOK;
  };
  Command(ID_VIEW_FONT);
  EXPECT_EQ(Settings().m_colors.comment, kColors[4].color);
  EXPECT_EQ(Settings().m_colors.keyword, before.keyword);
  // The view has its own copy of the editor font.
  HFONT font = reinterpret_cast<HFONT>(view->SendMessage(WM_GETFONT));
  EXPECT_NE(font, nullptr);
  EXPECT_NE(font, Frame()->EditorFont());
  LOGFONTA a{}, b{};
  GetObjectA(font, sizeof a, &a);
  GetObjectA(Frame()->EditorFont(), sizeof b, &b);
  EXPECT_STREQ(a.lfFaceName, b.lfFaceName);
  EXPECT_EQ(a.lfHeight, b.lfHeight);
  EXPECT_STREQ(b.lfFaceName, "FixedSys");  // untouched: the default face stays
}
