// The line-number strip of the script view in the running application: the
// current row's colours as the caret moves in two windows, the rows after a
// scroll, and whole lines selected by pressing and dragging in the strip.
#include "tests/app/app_fixture.h"

#include <cstring>
#include <string>
#include "platform/framework/frame.h"
#include "platform/textctl/text_control.h"
#include "views/myview.h"

namespace {

const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kCyan = RGB(0, 255, 255);

class GutterTest : public AppFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(Start()); }

  CMyView* NewView(int lines) {
    Command(ID_FILE_NEW);
    CMDIChildWnd* child = Frame()->MDIGetActive();
    CMyView* view = child ? dynamic_cast<CMyView*>(static_cast<CView*>(child->GetActiveView())) : nullptr;
    if (!view) return nullptr;
    std::string text;
    for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i + 1) + "\r\n";
    text += "last";
    view->SetText(text.c_str());
    Caret(view, 0);
    return view;
  }
  HWND Strip(CMyView* view) const { return GetDlgItem(view->m_hWnd, CLineNumberWnd::kControlId); }
  int H(CMyView* view) const { return static_cast<int>(view->SendMessage(RVEM_GETLINEHEIGHT)); }
  void Caret(CMyView* view, int line) {
    const int at = view->LineIndex(line);
    view->SendMessage(EM_SETSEL, static_cast<WPARAM>(at), at);
    PumpMessages();
  }
  COLORREF Row(CMyView* view, int row) {
    HWND strip = Strip(view);
    UpdateWindow(strip);
    HDC dc = GetDC(strip);
    COLORREF c = GetPixel(dc, 1, row * H(view) + 1);
    ReleaseDC(strip, dc);
    return c;
  }
  LRESULT Mouse(CMyView* view, UINT msg, int line) {
    const int y = (line - view->GetFirstVisibleLine()) * H(view) + 2;
    return SendMessageA(Strip(view), msg, msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(5, static_cast<short>(y)));
  }
  std::pair<int, int> Sel(CMyView* view) const {
    int s = 0, e = 0;
    view->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return {s, e};
  }
};

TEST_F(GutterTest, EachWindowHighlightsItsOwnCaretLine) {
  CMyView* a = NewView(20);
  CMyView* b = NewView(20);
  ASSERT_TRUE(a && b);
  ASSERT_NE(Strip(a), nullptr);
  // Side by side, so that neither repaints the other's strip.
  SendMessageA(GetParent(GetParent(a->m_hWnd)), WM_MDITILE, MDITILE_HORIZONTAL, 0);
  PumpMessages();
  Caret(a, 5);
  EXPECT_EQ(Row(a, 5), kBlue);
  EXPECT_EQ(Row(a, 0), kCyan);
  Caret(b, 2);
  // The row of line 5 in a is repainted when a's caret leaves it, whatever b did.
  ValidateRect(Strip(a), nullptr);
  a->SendMessage(EM_SETSEL, static_cast<WPARAM>(a->LineIndex(6)), a->LineIndex(6));
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(Strip(a), update, FALSE);
  EXPECT_TRUE(PtInRegion(update, 3, 5 * H(a) + 2));
  EXPECT_FALSE(PtInRegion(update, 3, 2 * H(a) + 2));
  DeleteObject(update);
  EXPECT_EQ(Row(a, 5), kCyan);
  EXPECT_EQ(Row(a, 6), kBlue);
  EXPECT_EQ(Row(b, 2), kBlue);
  EXPECT_EQ(Row(b, 5), kCyan);
}

TEST_F(GutterTest, RowsFollowAScroll) {
  CMyView* view = NewView(200);
  ASSERT_NE(view, nullptr);
  Caret(view, 12);
  view->SendMessage(EM_LINESCROLL, 0, 10);
  PumpMessages();
  EXPECT_EQ(Row(view, 2), kBlue);  // line 12 is now the third row
  EXPECT_EQ(Row(view, 0), kCyan);
  EXPECT_EQ(view->m_lineNumbers.m_paintedFirstLine, 10);
}

// The strip widens to the numbers of a long text and narrows again for a
// short one; the text always starts right of it.
TEST_F(GutterTest, StripFitsTheLastLinesNumber) {
  CMyView* view = NewView(200000);
  ASSERT_NE(view, nullptr);
  CLineNumberWnd& strip = view->m_lineNumbers;
  for (auto [text, number] : {std::pair<const char*, const char*>{nullptr, "200001"}, {"short", "8888"}}) {
    if (text) view->SetText(text);
    UpdateWindow(Strip(view));
    HDC dc = GetDC(Strip(view));
    SelectObject(dc, strip.m_font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, number, static_cast<int>(strlen(number)), &size);
    ReleaseDC(Strip(view), dc);
    RECT own = {};
    GetClientRect(Strip(view), &own);
    EXPECT_LT(size.cx, own.right) << number;
    EXPECT_EQ(LOWORD(view->SendMessage(EM_GETMARGINS)), own.right + 1) << number;
  }
  EXPECT_EQ(strip.m_width, 31);
}

TEST_F(GutterTest, PressAndDragSelectWholeLines) {
  CMyView* view = NewView(30);
  ASSERT_NE(view, nullptr);
  Mouse(view, WM_LBUTTONDOWN, 10);
  EXPECT_EQ(Sel(view), std::make_pair(view->LineIndex(10), view->LineIndex(11)));
  Mouse(view, WM_MOUSEMOVE, 7);
  EXPECT_EQ(Sel(view), std::make_pair(view->LineIndex(7), view->LineIndex(11)));
  EXPECT_EQ(view->LineFromChar(-1), 7);
  Mouse(view, WM_MOUSEMOVE, 13);
  EXPECT_EQ(Sel(view), std::make_pair(view->LineIndex(10), view->LineIndex(14)));
  Mouse(view, WM_LBUTTONUP, 13);
  // A new press, then a drag to the line the last drag ended on.
  Mouse(view, WM_LBUTTONDOWN, 3);
  Mouse(view, WM_MOUSEMOVE, 13);
  EXPECT_EQ(Sel(view), std::make_pair(view->LineIndex(3), view->LineIndex(14)));
  // Above the strip: up to line 0, never to the last line.
  SendMessageA(Strip(view), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, static_cast<short>(-40)));
  EXPECT_EQ(Sel(view).first, 0);
  Mouse(view, WM_LBUTTONUP, 0);
  // The last line, without a line break, up to the end of the text.
  view->SendMessage(EM_LINESCROLL, 0, 30);
  PumpMessages();  // the strip shows the scrolled lines before the press
  Mouse(view, WM_LBUTTONDOWN, 30);
  EXPECT_EQ(Sel(view), std::make_pair(view->LineIndex(30), view->GetTextLength()));
  Mouse(view, WM_LBUTTONUP, 30);
}

// Edits made while the view's drawing is held (a macro's, each a message of
// its own) leave the strip alone; when drawing comes back the strip shows the
// caret's line and the scrolled rows.
TEST_F(GutterTest, HeldDrawingLeavesTheStripUntilItComesBack) {
  CMyView* view = NewView(200);
  ASSERT_NE(view, nullptr);
  HWND strip = Strip(view);
  UpdateWindow(view->m_hWnd);
  UpdateWindow(strip);
  view->SetRedraw(false);
  for (int line = 1; line <= 150; ++line) {
    const int at = view->LineIndex(line);
    ASSERT_TRUE(view->ApplyEdit(at, at + 4, "LINE", at + 4));
  }
  RECT dirty = {};
  EXPECT_FALSE(GetUpdateRect(strip, &dirty, FALSE));
  EXPECT_EQ(view->m_lineNumbers.m_currentLine, 0);
  view->SetRedraw(true);
  EXPECT_EQ(view->m_lineNumbers.m_currentLine, 150);
  EXPECT_TRUE(GetUpdateRect(strip, &dirty, FALSE));
  EXPECT_EQ(Row(view, 150 - view->GetFirstVisibleLine()), kBlue);
}

}  // namespace
