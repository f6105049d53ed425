// The text control in a real window under the display: typed bytes, keys, mouse,
// clipboard, IME delivery, EDIT-style queries with byte indexes, notifications
// counted by the parent, scrolling and painting colours.
#include "tests/textctl/text_control_fixture.h"

namespace {

TEST_F(TextControlTest, TypingInsertsBytesAndNotifiesEachChange) {
  Type("ab");
  Type("日");  // lead byte, then trail byte
  Send(WM_CHAR, '\r', 1);
  Send(WM_CHAR, '\t', 1);
  Send(WM_CHAR, 0x7F, 1);
  EXPECT_EQ(Text(), "ab日\r\n\t\x7F");
  EXPECT_EQ(Sel(), std::make_pair(DWORD(8), DWORD(8)));
  POINT caret;
  GetCaretPos(&caret);
  EXPECT_EQ(caret.x, PosOf(8).x);
  EXPECT_EQ(caret.y, PosOf(8).y);
  EXPECT_EQ(g_notes[EN_CHANGE], 6);  // the lead byte alone changes nothing
  EXPECT_EQ(g_notes[EN_UPDATE], 6);
  EXPECT_TRUE(Send(EM_GETMODIFY));
  // A lead byte followed by a non-trail byte is dropped.
  Send(WM_CHAR, 0x93, 1);
  Send(WM_CHAR, '\r', 1);
  EXPECT_EQ(Text(), "ab日\r\n\t\x7F\r\n");
  // Control codes other than the handled ones insert nothing.
  Send(WM_CHAR, 27, 1);
  EXPECT_EQ(Send(WM_GETTEXTLENGTH), 10);
}

TEST_F(TextControlTest, SetTextIsSilentAndClearsModified) {
  Type("x");
  g_notes.clear();
  SetText("日本\r\nx");
  EXPECT_EQ(g_notes[EN_CHANGE], 0);
  EXPECT_FALSE(Send(EM_GETMODIFY));
  EXPECT_EQ(Send(RVEM_GETTEXTLEN), 7);
  EXPECT_STREQ(reinterpret_cast<const char*>(Send(RVEM_GETTEXTPTR)), "日本\r\nx");
  Send(EM_SETSEL, 2, 4);
  Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("語"));
  EXPECT_EQ(Text(), "日語\r\nx");
  EXPECT_EQ(g_notes[EN_CHANGE], 1);
  EXPECT_TRUE(Send(EM_GETMODIFY));
  EXPECT_FALSE(Send(EM_CANUNDO));
  Send(EM_SETMODIFY, FALSE);
  EXPECT_FALSE(Send(EM_GETMODIFY));
  // WM_GETTEXT into a short buffer never ends inside a double-byte character.
  char buf[4];
  EXPECT_EQ(Send(WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 2);
  EXPECT_STREQ(buf, "日");
}

TEST_F(TextControlTest, BackspaceAndDeleteRemoveWholeCharactersAndLineBreaks) {
  SetText("a日\r\nb");
  Send(EM_SETSEL, 3, 3);
  Send(WM_CHAR, 8, 1);
  EXPECT_EQ(Text(), "a\r\nb");
  Send(EM_SETSEL, 3, 3);
  Send(WM_CHAR, 8, 1);  // after CR LF
  EXPECT_EQ(Text(), "ab");
  SetText("x\r\ny日");
  Send(EM_SETSEL, 1, 1);
  Key(VK_DELETE);  // before CR
  EXPECT_EQ(Text(), "xy日");
  Send(EM_SETSEL, 2, 2);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "xy");
  g_notes.clear();
  Key(VK_DELETE);  // at the end
  Send(EM_SETSEL, 0, 0);
  Send(WM_CHAR, 8, 1);  // at the start
  EXPECT_EQ(Text(), "xy");
  EXPECT_EQ(g_notes[EN_CHANGE], 0);
  // With a selection both keys remove just the selection.
  Send(EM_SETSEL, 2, 0);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "");
}

TEST_F(TextControlTest, SelectionKeepsAnchorAndCaretAndNeverSplitsACharacter) {
  SetText("ab日本cd");
  Send(EM_SETSEL, 6, 1);  // caret before anchor
  EXPECT_EQ(Sel(), std::make_pair(DWORD(1), DWORD(6)));
  Key(VK_LEFT, true);  // extends from the caret end, at 1
  EXPECT_EQ(Sel(), std::make_pair(DWORD(0), DWORD(6)));
  Send(EM_SETSEL, 3, 5);  // both ends inside characters: widened
  EXPECT_EQ(Sel(), std::make_pair(DWORD(2), DWORD(6)));
  Send(EM_SETSEL, 0, -1);
  EXPECT_EQ(Sel(), std::make_pair(DWORD(0), DWORD(8)));
  Send(EM_SETSEL, -1, 0);  // -1 drops the selection, keeps the caret
  EXPECT_EQ(Sel(), std::make_pair(DWORD(8), DWORD(8)));
  Send(EM_SETSEL, 7, 3);
  Type("X");
  EXPECT_EQ(Text(), "abXd");
}

TEST_F(TextControlTest, LineQueriesUseByteIndexes) {
  SetText("日本\r\n\r\nabc");
  EXPECT_EQ(Send(EM_GETLINECOUNT), 3);
  EXPECT_EQ(Send(EM_LINEINDEX, 1), 6);
  EXPECT_EQ(Send(EM_LINEINDEX, 2), 8);
  EXPECT_EQ(Send(EM_LINEINDEX, 3), -1);
  EXPECT_EQ(Send(EM_LINELENGTH, 0), 4);
  EXPECT_EQ(Send(EM_LINELENGTH, 6), 0);
  EXPECT_EQ(Send(EM_LINELENGTH, 9), 3);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, 5), 0);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, 8), 2);
  Send(EM_SETSEL, 9, 2);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, -1), 0);  // the selection start's line
  EXPECT_EQ(Send(EM_LINEINDEX, -1), 0);     // the caret's line
  EXPECT_EQ(Send(EM_LINELENGTH, -1), 2 + 2);  // unselected bytes on those lines
  char line[16] = {};
  *reinterpret_cast<WORD*>(line) = sizeof line;
  EXPECT_EQ(Send(EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 4);
  EXPECT_EQ(std::string(line, 4), "日本");
  EXPECT_EQ(Send(EM_GETLINE, 7, reinterpret_cast<LPARAM>(line)), 0);
}

TEST_F(TextControlTest, PositionsFollowCharacterWidthsTabsAndLines) {
  const int tabDu = 16;
  Send(EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabDu));
  SetText("a日\tb\r\nxy");
  RECT f;
  Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&f));
  TEXTMETRICA tm;
  HDC dc = GetDC(edit_);
  HGDIOBJ old = SelectObject(dc, font_);
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(edit_, dc);
  int tab = tabDu * tm.tmAveCharWidth / 4;
  LRESULT p = Send(EM_POSFROMCHAR, 1);
  EXPECT_EQ(static_cast<short>(LOWORD(p)), f.left + Width("a"));
  EXPECT_EQ(static_cast<short>(HIWORD(p)), f.top);
  int afterKanji = Width("a日");
  int tabEnd = (afterKanji / tab + 1) * tab;
  EXPECT_EQ(static_cast<short>(LOWORD(Send(EM_POSFROMCHAR, 4))), f.left + tabEnd);
  p = Send(EM_POSFROMCHAR, 7);
  EXPECT_EQ(static_cast<short>(LOWORD(p)), f.left);
  EXPECT_EQ(static_cast<short>(HIWORD(p)), f.top + tm.tmHeight);
  EXPECT_EQ(Send(EM_POSFROMCHAR, 9), -1);  // just past the end
  EXPECT_EQ(PosOf(9).x, f.left + Width("xy"));
  // Every boundary maps back from its own position.
  for (int i : {0, 1, 3, 4, 5, 7, 8, 9}) {
    POINT q = PosOf(i);
    EXPECT_EQ(Send(RVEM_CHARFROMPOS32, 0, reinterpret_cast<LPARAM>(&q)), i) << i;
    EXPECT_EQ(LOWORD(Send(EM_CHARFROMPOS, 0, MAKELPARAM(q.x, q.y))), i) << i;
  }
  EXPECT_EQ(HIWORD(Send(EM_CHARFROMPOS, 0, MAKELPARAM(f.left + 1, f.top + tm.tmHeight + 1))), 1);
  EXPECT_EQ(Send(EM_CHARFROMPOS, 0, MAKELPARAM(5000, 5)), -1);
  // A text ending in a line break: the end index starts the empty last line.
  SetText("ab\r\n");
  EXPECT_EQ(PosOf(4).x, f.left);
  EXPECT_EQ(PosOf(4).y, f.top + tm.tmHeight);
  // The left margin moves the format rectangle and every position with it.
  Send(EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(32, 0));
  EXPECT_EQ(LOWORD(Send(EM_GETMARGINS)), 32);
  EXPECT_EQ(static_cast<short>(LOWORD(Send(EM_POSFROMCHAR, 0))), 32);
}

TEST_F(TextControlTest, NavigationKeys) {
  SetText("abc 日本語\r\nx\r\nlonger line");
  Key(VK_END);
  EXPECT_EQ(Sel().second, 10u);
  Key(VK_RIGHT);  // over CR LF at once
  EXPECT_EQ(Sel().second, 12u);
  Key(VK_LEFT);
  Key(VK_LEFT);
  EXPECT_EQ(Sel().second, 8u);
  Key(VK_HOME, true);
  EXPECT_EQ(Sel(), std::make_pair(DWORD(0), DWORD(8)));
  Key(VK_RIGHT, false, true);  // collapses to the selection end first
  EXPECT_EQ(Sel(), std::make_pair(DWORD(8), DWORD(8)));
  Send(EM_SETSEL, 0, 0);
  Key(VK_RIGHT, false, true);
  EXPECT_EQ(Sel().second, 4u);
  Key(VK_RIGHT, true, true);
  EXPECT_EQ(Sel(), std::make_pair(DWORD(4), DWORD(10)));
  // Down through a short line keeps the column.
  Send(EM_SETSEL, 8, 8);
  Key(VK_DOWN);
  EXPECT_EQ(Sel().second, 13u);  // end of "x"
  Key(VK_DOWN);
  EXPECT_EQ(Sel().second, 15u + 8u);
  Key(VK_END, false, true);
  EXPECT_EQ(Sel().second, static_cast<DWORD>(Send(WM_GETTEXTLENGTH)));
  Key(VK_HOME, true, true);
  EXPECT_EQ(Sel(), std::make_pair(static_cast<DWORD>(0), static_cast<DWORD>(Send(WM_GETTEXTLENGTH))));
}

TEST_F(TextControlTest, MouseClickDragDoubleClickAndShiftClick) {
  SetText("hello 日本語 world\r\nsecond line");
  POINT a = PosOf(2), b = PosOf(15);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x + 1, a.y + 2));
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x + 1, b.y + 2));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(b.x + 1, b.y + 2));
  EXPECT_EQ(Sel(), std::make_pair(DWORD(2), DWORD(15)));
  POINT c = PosOf(8);
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(c.x + 2, c.y + 2));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(c.x + 2, c.y + 2));
  EXPECT_EQ(Sel(), std::make_pair(DWORD(6), DWORD(12)));  // the kanji word
  POINT d = PosOf(22);
  Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(d.x + 1, d.y + 2));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(d.x + 1, d.y + 2));
  EXPECT_EQ(Sel(), std::make_pair(DWORD(6), DWORD(22)));
  EXPECT_EQ(GetFocus(), edit_);
}

TEST_F(TextControlTest, DragBelowTheTextScrollsOnATimer) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\r\n";
  SetText(text.c_str());
  RECT client;
  GetClientRect(edit_, &client);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2));
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, client.bottom + 20));
  g_notes.clear();
  DWORD until = GetTickCount() + 400;
  while (GetTickCount() < until) {
    Pump();
    Sleep(10);
  }
  Send(WM_LBUTTONUP, 0, MAKELPARAM(5, client.bottom + 20));
  int first = static_cast<int>(Send(EM_GETFIRSTVISIBLELINE));
  EXPECT_GT(first, 0);
  EXPECT_GT(g_notes[EN_VSCROLL], 0);
  EXPECT_GE(Send(EM_LINEFROMCHAR, Sel().second), first);
  EXPECT_EQ(Sel().first, 0u);
}

TEST_F(TextControlTest, ScrollingByCaretLinesAndWheel) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "row " + std::to_string(i) + "\r\n";
  SetText(text.c_str());
  int last = static_cast<int>(Send(EM_LINEINDEX, 150));
  Send(EM_SETSEL, last, last);
  EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);  // setting the selection does not scroll
  g_notes.clear();
  Send(EM_SCROLLCARET);
  int first = static_cast<int>(Send(EM_GETFIRSTVISIBLELINE));
  EXPECT_GT(first, 100);
  EXPECT_LE(first, 150);
  EXPECT_EQ(g_notes[EN_VSCROLL], 1);
  POINT p = PosOf(last);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, Send(RVEM_CHARFROMPOS32, 0, reinterpret_cast<LPARAM>(&p))), 150);
  Send(EM_LINESCROLL, 0, -10);
  EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), first - 10);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), first - 13);
  Send(WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);
  Key(VK_NEXT);
  EXPECT_GT(Send(EM_GETFIRSTVISIBLELINE), 0);
  EXPECT_GT(Send(EM_LINEFROMCHAR, -1), 0);
}

TEST_F(TextControlTest, ClipboardRoundTripInCfText) {
  SetText("前\r\nafter");
  Send(EM_SETSEL, 0, 4);
  g_notes.clear();
  Send(WM_CUT);
  EXPECT_EQ(Text(), "after");
  EXPECT_EQ(g_notes[EN_CHANGE], 1);
  ASSERT_TRUE(OpenClipboard(parent_));
  HANDLE h = GetClipboardData(CF_TEXT);
  ASSERT_TRUE(h);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(h)), "前\r\n");
  GlobalUnlock(h);
  CloseClipboard();
  Send(EM_SETSEL, 5, 5);
  Send(WM_PASTE);
  Send(WM_PASTE);
  EXPECT_EQ(Text(), "after前\r\n前\r\n");
  EXPECT_EQ(Sel().second, 13u);
  Send(EM_SETSEL, 0, 2);
  Send(WM_COPY);
  Send(EM_SETSEL, 13, 13);
  Type("\x16");  // Ctrl+V as a character
  EXPECT_EQ(Text(), "after前\r\n前\r\naf");
}

TEST_F(TextControlTest, PasteTakesUnicodeOnlyClipboardAsCp932) {
  ASSERT_TRUE(OpenClipboard(parent_));
  EmptyClipboard();
  const wchar_t text[] = L"\x6F22\x5B57 ok";  // 漢字 ok
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  memcpy(GlobalLock(mem), text, sizeof text);
  GlobalUnlock(mem);
  SetClipboardData(CF_UNICODETEXT, mem);
  CloseClipboard();
  Send(WM_PASTE);
  EXPECT_EQ(Text(), "漢字 ok");
  EXPECT_EQ(Sel().second, 7u);
}

TEST_F(TextControlTest, TextLimitStopsTypingAndTrimsPastes) {
  Send(EM_SETLIMITTEXT, 5);
  EXPECT_EQ(Send(EM_GETLIMITTEXT), 5);
  Type("abcd");
  Type("日");  // would make 6 bytes
  EXPECT_EQ(Text(), "abcd");
  EXPECT_EQ(g_notes[EN_MAXTEXT], 1);
  Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("日x"));  // only whole characters fit
  EXPECT_EQ(Text(), "abcd");
  Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("xyz"));
  EXPECT_EQ(Text(), "abcdx");
  SetText("much longer than five");  // WM_SETTEXT ignores the limit
  EXPECT_EQ(Send(WM_GETTEXTLENGTH), 21);
  Send(EM_SETLIMITTEXT, 0);
  EXPECT_EQ(static_cast<DWORD>(Send(EM_GETLIMITTEXT)), 0xFFFFFFFFu);
}

TEST_F(TextControlTest, ReadOnlyRefusesTypingButNotReplaceSel) {
  SetText("abc");
  Send(EM_SETREADONLY, TRUE);
  EXPECT_TRUE(GetWindowLongA(edit_, GWL_STYLE) & ES_READONLY);
  Send(EM_SETSEL, 3, 3);
  Type("x");
  Send(WM_CHAR, 8, 1);
  Send(WM_CLEAR);
  EXPECT_EQ(Text(), "abc");
  Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("!"));
  EXPECT_EQ(Text(), "abc!");
}

TEST_F(TextControlTest, ImeResultsArriveAsCharacterBytesThroughTheSubclass) {
  g_controlProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  SetWindowLongPtrA(edit_, GWLP_USERDATA, 0x1234);  // the subclass's own slot
  // A WM_IME_CHAR becomes lead byte then trail byte.
  Send(WM_IME_CHAR, 0x93FA, 1);  // 日
  Pump();
  EXPECT_EQ(Text(), "日");
  EXPECT_EQ(g_charsSeen, (std::vector<unsigned>{0x93, 0xFA}));
  // A composition finished in the input context reaches the control as
  // WM_IME_COMPOSITION; the default handling delivers the same bytes.
  g_charsSeen.clear();
  HIMC imc = ImmGetContext(edit_);
  ASSERT_TRUE(imc);
  ImmSetOpenStatus(imc, TRUE);
  const wchar_t word[] = L"\x672C";  // 本
  ASSERT_TRUE(ImmSetCompositionStringW(imc, SCS_SETSTR, const_cast<wchar_t*>(word), sizeof(wchar_t), nullptr, 0));
  COMPOSITIONFORM form = {};
  ASSERT_TRUE(ImmGetCompositionWindow(imc, &form));  // the composition sits at the caret
  EXPECT_EQ(form.dwStyle, static_cast<DWORD>(CFS_POINT));
  EXPECT_EQ(form.ptCurrentPos.x, PosOf(2).x);
  EXPECT_EQ(form.ptCurrentPos.y, PosOf(2).y);
  ASSERT_TRUE(ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
  ImmReleaseContext(edit_, imc);
  Pump();
  EXPECT_EQ(Text(), "日本");
  EXPECT_EQ(g_charsSeen, (std::vector<unsigned>{0x96, 0x7B}));
  EXPECT_EQ(GetWindowLongPtrA(edit_, GWLP_USERDATA), 0x1234);
  SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_controlProc));
}

TEST_F(TextControlTest, PaintsWithTheParentsBrushAndTheSelectionColour) {
  g_ctlBrush = CreateSolidBrush(RGB(255, 0, 0));
  SetText("selected text\r\nmore");
  Send(EM_SETSEL, 0, 8);
  g_ctlColorCalls = 0;
  InvalidateRect(edit_, nullptr, TRUE);
  UpdateWindow(edit_);
  EXPECT_GT(g_ctlColorCalls, 0);
  RECT f;
  Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&f));
  HDC dc = GetDC(edit_);
  EXPECT_EQ(GetPixel(dc, f.right - 3, f.bottom - 3), RGB(255, 0, 0));  // below the text
  EXPECT_EQ(GetPixel(dc, f.left, f.top), GetSysColor(COLOR_HIGHLIGHT));  // selected cell's corner
  ReleaseDC(edit_, dc);
  // With redraw off nothing is invalidated; turning it on repaints everything.
  Send(WM_SETREDRAW, FALSE);
  Type("more text");
  RECT update;
  EXPECT_FALSE(GetUpdateRect(edit_, &update, FALSE));
  Send(WM_SETREDRAW, TRUE);
  EXPECT_TRUE(GetUpdateRect(edit_, &update, FALSE));
  UpdateWindow(edit_);
  HBRUSH brush = g_ctlBrush;
  g_ctlBrush = nullptr;
  InvalidateRect(edit_, nullptr, TRUE);
  UpdateWindow(edit_);
  DeleteObject(brush);
  g_ctlBrush = nullptr;
}

// Every glyph is drawn: under Wine the hinted underscore of the gothic face
// has no pixel at 12 and 14 points (16 and 19 pixels), on any line.
TEST_F(TextControlTest, UnderscoresShowInTheEditorFonts) {
  SetText("run_log.txt\r\nmy_var_name");
  SetFocus(parent_);  // no caret over the text
  const std::pair<const char*, int> fonts[] = {{"FixedSys", -19}, {"IPAゴシック", -16}};
  for (auto [face, height] : fonts) {
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH, face);
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    UpdateWindow(edit_);
    HDC dc = GetDC(edit_);
    for (int index : {0, 3, 15, 19}) {  // the "r" and the underscores of run_, my_, var_
      const POINT at = PosOf(index), next = PosOf(index + 1);
      int ink = 0;  // pixels of the character's cell not in the background colour
      for (int y = at.y; y < at.y + LineHeight(); ++y)
        for (int x = at.x; x < next.x; ++x) ink += GetPixel(dc, x, y) != GetPixel(dc, at.x, at.y);
      EXPECT_GT(ink, 0) << face << " " << height << " px, the character at " << index;
    }
    ReleaseDC(edit_, dc);
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    DeleteObject(font);
  }
}

}  // namespace
