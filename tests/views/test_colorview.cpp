// The colouring view in the running application: the pixels of keywords,
// strings and comments in the view's window, the selection left alone, the
// line states across a change of language and past 65,535 lines, and the
// states of the lines below moving with inserted lines.
#include "tests/app/app_fixture.h"

#include <string>
#include "platform/framework/frame.h"
#include "platform/textctl/text_control.h"
#include "views/colorview.h"

namespace {

const COLORREF kKeyword = RGB(255, 0, 0);
const COLORREF kString = RGB(0, 160, 0);
const COLORREF kComment = RGB(0, 0, 255);

class ColorViewTest : public AppFixture {
 protected:
  CColorEditView* view = nullptr;

  void SetUp() override {
    ASSERT_TRUE(Start());
    view = ViewOfActiveOrNewWindow<CColorEditView>();
    ASSERT_NE(view, nullptr);
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

  // An automatic keyword colour draws in the text colour, as every view maps it.
  EditorColors colors = view->GetColors();
  colors.keyword = 0xFF000000;
  colors.text = 0x123456;
  view->SetColors(colors);
  view->SetSel(0, 0);
  Repaint();
  EXPECT_GT(CountColour(var, 3, 0x123456), 3);
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

}  // namespace
