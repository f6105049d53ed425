// The colouring view in the running application: the pixels of keywords,
// strings and comments in the view's window, the selection left alone, the
// line states across a change of language and past 65,535 lines, the states
// of the lines below moving with inserted lines, a jump into a long comment,
// and the language a window takes from its file.
#include "tests/app/app_fixture.h"

#include <functional>
#include <string>
#include "platform/framework/frame.h"
#include "resources/resource.h"
#include "views/gotolinedlg.h"
#include "platform/textctl/text_control.h"
#include "document/mydoc.h"
#include "views/colorview.h"

namespace {

const COLORREF kKeyword = RGB(255, 0, 0);
const COLORREF kString = RGB(0, 160, 0);
const COLORREF kComment = RGB(0, 0, 255);

class ColorViewTest : public ViewFixture<CColorEditView> {
 protected:

  void SetUp() override {
    ViewFixture::SetUp();
    if (HasFatalFailure()) return;
    EditorColors colors;
    colors.keyword = kKeyword;
    colors.string = kString;
    colors.comment = kComment;
    view->SetColors(colors);
    PumpMessages();
  }

  void Load(const std::string& text, int language) {
    view->m_syntaxMode = language;
    view->SetText(text.c_str());
    view->SetSel(0, 0);
    Repaint();
  }
  void Repaint() {
    InvalidateRect(view->m_hWnd, nullptr, FALSE);
    UpdateWindow(view->m_hWnd);
  }
  int LineHeight() const { return static_cast<int>(view->SendMessage(RVEM_GETLINEHEIGHT)); }
  POINT Pos(int index) const {
    POINT p = {0, 0};
    view->SendMessage(RVEM_POSFROMCHAR32, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&p));
    return p;
  }
  // Pixels of `colour` in the cells of the `length` bytes at `index`.
  int CountColour(int index, int length, COLORREF colour) const {
    POINT a = Pos(index), b = Pos(index + length);
    HDC dc = GetDC(view->m_hWnd);
    int n = 0;
    for (int y = a.y; y < a.y + LineHeight(); ++y)
      for (int x = a.x; x < b.x; ++x)
        if (GetPixel(dc, x, y) == colour) ++n;
    ReleaseDC(view->m_hWnd, dc);
    return n;
  }
  int IndexOf(const std::string& text, const char* what) const { return static_cast<int>(text.find(what)); }
};

TEST_F(ColorViewTest, KeywordsStringsAndCommentsTakeTheirColoursAndTheSelectionKeepsItsOwn) {
  const std::string text = "var s = \"\x83\x5C\x95\x5C\";\r\n\tif (s) x = 1; // \x93\xFA\x96\x7B";
  Load(text, 1);
  const int var = 0, str = IndexOf(text, "\""), iff = IndexOf(text, "if"), rem = IndexOf(text, "//");
  EXPECT_GT(CountColour(var, 3, kKeyword), 3);
  EXPECT_GT(CountColour(iff, 2, kKeyword), 3);    // after a tab
  EXPECT_GT(CountColour(str, 6, kString), 6);     // double-byte characters inside
  EXPECT_GT(CountColour(rem, 7, kComment), 6);
  EXPECT_EQ(CountColour(IndexOf(text, "x ="), 1, kKeyword), 0);
  EXPECT_EQ(CountColour(IndexOf(text, "x ="), 1, kComment), 0);

  view->SetSel(iff, iff + 2);
  Repaint();
  EXPECT_EQ(CountColour(iff, 2, kKeyword), 0);
  EXPECT_GT(CountColour(var, 3, kKeyword), 3);

  // An automatic keyword colour draws in the keyword's own default colour.
  EditorColors colors = view->GetColors();
  colors.keyword = 0xFF000000;
  colors.text = 0x123456;
  view->SetColors(colors);
  view->SetSel(0, 0);
  Repaint();
  EXPECT_GT(CountColour(var, 3, RGB(0, 0, 255)), 3);
  EXPECT_EQ(CountColour(var, 3, 0x123456), 0);
}

// An underscore that the editor font's hinting leaves blank is filled in by
// the control; inside a comment or a string it takes that role's colour.
TEST_F(ColorViewTest, UnderscoresInCommentsAndStringsTakeTheirColours) {
  const std::string text = "// run_log\r\nx = \"my_var\";";
  Load(text, 1);
  EXPECT_GT(CountColour(IndexOf(text, "_log"), 1, kComment), 0);
  EXPECT_GT(CountColour(IndexOf(text, "_var"), 1, kString), 0);
}

TEST_F(ColorViewTest, ChangingTheLanguageForgetsTheLineStatesOfTheOther) {
  std::string text = "/* open\r\n";
  for (int i = 0; i < 8; ++i) text += "Dim x\r\n";
  Load(text, 1);
  EXPECT_EQ(view->LineState(6), 8u);
  // VBScript, and only line 5 painted: it must not start inside a JScript comment.
  view->m_syntaxMode = 2;
  const int h = LineHeight();
  const int line5 = Pos(view->LineIndex(5)).y;
  RECT band = {0, line5, 2000, line5 + h};
  view->PaintSyntaxColors(&band);
  EXPECT_EQ(view->LineState(6), 0u);
  EXPECT_GT(CountColour(view->LineIndex(5), 3, kKeyword), 3);
}

TEST_F(ColorViewTest, LinesPast65535AreTheLinesPainted) {
  std::string text;
  text.reserve(7 * 70000);
  for (int i = 0; i < 70000; ++i) text += i == 66000 ? "/* x\r\n" : "if y\r\n";
  Load(text, 1);
  view->SendMessage(EM_LINESCROLL, 0, 66000);
  ASSERT_EQ(view->GetFirstVisibleLine(), 66000);
  UpdateWindow(view->m_hWnd);
  EXPECT_EQ(view->LineState(66002), 8u);
  EXPECT_EQ(view->LineState(66000 - 65536 + 2), 0u);
  EXPECT_GT(CountColour(view->LineIndex(66002), 2, kComment), 3);
}

TEST_F(ColorViewTest, InsertedLinesCarryTheStatesBelowThem) {
  std::string text = "/* a\r\nb\r\nc */\r\nif\r\n";
  Load(text, 1);
  EXPECT_EQ(view->LineState(2), 8u);
  EXPECT_EQ(view->LineState(3), 0u);
  // Two lines inserted above the comment: the comment's states move down with it.
  view->SetSel(0, 0);
  view->ReplaceSelWithUndo("x\r\ny\r\n");
  EXPECT_EQ(view->LineState(4), 8u);
  EXPECT_EQ(view->LineState(5), 0u);
  view->SetSel(0, 6);
  view->ReplaceSelWithUndo("");
  EXPECT_EQ(view->LineState(2), 8u);
  EXPECT_EQ(view->LineState(3), 0u);
}

// A 60-line block comment that runs past the first screen, reached without
// painting the lines between: every way there colours it as comment.
TEST_F(ColorViewTest, AJumpIntoALongCommentColoursItAsComment) {
  std::string text = "var a;\r\n/* start\r\n";
  for (int i = 0; i < 60; ++i) text += "var if while x\r\n";
  text += "*/ if\r\nvar b;\r\n";
  const int closing = 62;
  auto ctrlEnd = [&] {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    view->SendMessage(WM_KEYDOWN, VK_END, 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  };
  auto goToLine = [&] {
    ui.onDialog = [](CDialog& d) {
      d.SetDlgItemText(CGoToLineDlg::kLineField, "63");
      return IDOK;
    };
    Command(ID_EDIT_GOTO_LINE);
  };
  auto scrollBar = [&] { view->SendMessage(WM_VSCROLL, SB_BOTTOM, 0); };
  auto languageAndBack = [&] {
    view->m_syntaxMode = 2;
    Repaint();
    view->m_syntaxMode = 1;
    ctrlEnd();
  };
  for (const std::function<void()>& jump : {std::function<void()>(ctrlEnd), std::function<void()>(goToLine),
                                            std::function<void()>(scrollBar), std::function<void()>(languageAndBack)}) {
    Load(text, 1);
    jump();
    UpdateWindow(view->m_hWnd);
    ASSERT_GT(view->GetFirstVisibleLine(), 20);
    const int inside = view->LineIndex(closing - 1), end = view->LineIndex(closing);
    EXPECT_EQ(CountColour(inside, 14, kKeyword), 0);
    EXPECT_GT(CountColour(inside + 4, 2, kComment), 3);
    EXPECT_GT(CountColour(end, 2, kComment), 3);  // */
    EXPECT_GT(CountColour(end + 3, 2, kKeyword), 3);
    EXPECT_EQ(view->LineState(closing + 1), 0u);
  }
}

// Each window colours by its own file's extension, others by the settings;
// Save As follows the new extension and offers the filter of the old one.
TEST_F(ColorViewTest, AWindowsLanguageFollowsItsFilesExtension) {
  Settings().m_stress = 0;
  const struct {
    const char* name;
    int language;
    DWORD filter;
  } cases[] = {{"a.vbs", 2, 3}, {"b.VBE", 2, 5}, {"c.js", 1, 2}, {"d.jse", 1, 5}, {"e.wsf", 0, 1}, {"f.txt", 0, 5}};
  CColorEditView* vbs = nullptr;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteBytes(dir / c.name, "x\r\n"));
    CDocument* doc = app->OpenDocumentFile((dir / c.name).c_str());
    auto* v = dynamic_cast<CColorEditView*>(doc->GetFirstView());
    EXPECT_EQ(v->m_syntaxMode, c.language);
    DWORD offered = 0;
    ui.onFile = [&](CFileDialog& dlg) {
      offered = dlg.m_ofn.nFilterIndex;
      dlg.SetChosenPath(dir / (std::string(c.name) + ".js"));
      return IDOK;
    };
    ASSERT_TRUE(doc->DoSave(nullptr));
    EXPECT_EQ(offered, c.filter);
    EXPECT_EQ(v->m_syntaxMode, 1);
    if (c.language == 2) vbs = v;
  }
  // A new window takes the settings, and only it follows their change.
  Command(ID_FILE_NEW);
  auto* untitled = ActiveViewAs<CColorEditView>();
  EXPECT_EQ(untitled->m_syntaxMode, 0);
  Settings().m_stress = 2;
  app->UpdateAllDocumentViews(2);
  EXPECT_EQ(untitled->m_syntaxMode, 2);
  EXPECT_EQ(vbs->m_syntaxMode, 1);  // b.VBE.js
}

}  // namespace
