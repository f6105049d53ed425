// The edit view base in the running application: typed characters, keys, IME
// results, mouse and clipboard commands sent to a document's real view, checked
// against the text, the selection, the history, the document's modified flag
// and the enabling of Undo and Redo.
#include "tests/app/app_fixture.h"

#include <imm.h>
#include <cstring>
#include <functional>
#include <random>
#include <sstream>
#include "platform/framework/frame.h"
#include "platform/textctl/text_control.h"
#include "views/myeditview.h"
#include "views/myview.h"

namespace {

void SetModifiers(bool shift, bool ctrl = false, bool alt = false) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  keys[VK_MENU] = alt ? 0x80 : 0;
  SetKeyboardState(keys);
}

bool PutClipboard(UINT format, const void* data, size_t bytes, HWND owner) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
  memcpy(GlobalLock(h), data, bytes);
  GlobalUnlock(h);
  bool ok = SetClipboardData(format, h) != nullptr;
  CloseClipboard();
  return ok;
}

std::string ClipboardText() {
  std::string out;
  if (!OpenClipboard(nullptr)) return out;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    out = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return out;
}

class EditViewTest : public ViewFixture<CMyEditView> {
 protected:

  void SetUp() override {
    ViewFixture::SetUp();
    if (HasFatalFailure()) return;
    SetFocus(view->m_hWnd);
    SetModifiers(false);
    PumpMessages();
  }
  void TearDown() override {
    SetModifiers(false);
    AppFixture::TearDown();
  }

  CMyEditView* ActiveView() const { return ActiveViewAs<CMyEditView>(); }
  CDocument* Doc() const { return view->GetDocument(); }

  // A starting text with an empty history, an unmodified document and the caret at `caret`.
  void Load(const char* text, int caret = -1) {
    view->SetText(text);
    view->m_undo.Clear();
    Doc()->SetModifiedFlag(FALSE);
    if (caret < 0) caret = view->GetTextLength();
    view->SetSel(caret, caret);
  }

  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(view->m_hWnd, msg, wp, lp); }
  // Bytes as WM_CHAR messages, a double-byte character as lead then trail byte.
  void Type(const char* bytes) {
    for (const char* p = bytes; *p; ++p) Send(WM_CHAR, static_cast<unsigned char>(*p), 1);
  }
  void Key(int vk, bool shift = false) {
    SetModifiers(shift);
    Send(WM_KEYDOWN, vk, 1);
    Send(WM_KEYUP, vk, 0xC0000001);
    SetModifiers(false);
  }
  void Backspace() { Send(WM_CHAR, 8, 1); }
  // A key pressed as the user would: posted to the focused view and taken by
  // the message loop, which applies the main accelerator table first.
  void Press(int vk, bool shift, bool ctrl, bool alt = false) {
    SetModifiers(shift, ctrl, alt);
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    PostMessageA(view->m_hWnd, down, vk, alt ? 0x20000001 : 1);
    PumpMessages();
    SetModifiers(false);
  }
  void Select(int anchor, int caret) { view->SetSel(anchor, caret); }
  std::string Text() const { return view->GetText(); }
  std::pair<int, int> Sel() const {
    int s, e;
    view->GetSel(s, e);
    return {s, e};
  }

  // The history as "T0-3 D1-3[bc] | I1-3": kind letter (I insert, T typing,
  // D delete, F Delete key), range, held text in brackets; "|" marks `top`.
  std::string History() const {
    const CUndoStack& u = view->m_undo;
    std::string out;
    for (size_t i = 0; i <= u.records.size(); ++i) {
      std::ostringstream token;
      if (static_cast<int>(i) == u.top && i < u.records.size()) token << "| ";
      if (i < u.records.size()) {
        const UndoRecord& r = u.records[i];
        token << "?.ITDF"[r.kind] << r.start << '-' << r.end;
        if (!r.text.empty()) token << '[' << r.text << ']';
      }
      if (token.str().empty()) continue;
      if (!out.empty()) out += ' ';
      out += token.str();
    }
    return out;
  }

  bool UndoEnabled() const { return Frame()->IsCommandEnabled(ID_EDIT_UNDO); }
  bool RedoEnabled() const { return Frame()->IsCommandEnabled(ID_EDIT_REDO); }

  // Finishes an IME composition of `word` in the view's input context.
  bool Compose(const wchar_t* word) {
    HIMC imc = ImmGetContext(view->m_hWnd);
    if (!imc) return false;
    ImmSetOpenStatus(imc, TRUE);
    bool ok = ImmSetCompositionStringW(imc, SCS_SETSTR, const_cast<wchar_t*>(word),
                                       static_cast<DWORD>(wcslen(word) * sizeof(wchar_t)), nullptr, 0) &&
              ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    ImmReleaseContext(view->m_hWnd, imc);
    PumpMessages();
    return ok;
  }

  // Bytes of the result string left in the view's input context: emptied by a
  // composition of nothing.
  LONG ImeResultLength() {
    Compose(L"");
    HIMC imc = ImmGetContext(view->m_hWnd);
    LONG n = ImmGetCompositionStringA(imc, GCS_RESULTSTR, nullptr, 0);
    ImmReleaseContext(view->m_hWnd, imc);
    return n;
  }

  POINT Pos(int index) const { return view->PosFromChar(index); }
  void Click(int index, bool shift) {
    POINT p = Pos(index);
    LPARAM at = MAKELPARAM(p.x + 1, p.y + 2);
    Send(WM_LBUTTONDOWN, MK_LBUTTON | (shift ? MK_SHIFT : 0), at);
    Send(WM_LBUTTONUP, shift ? MK_SHIFT : 0, at);
  }
};

TEST_F(EditViewTest, TypedRunIsOneStepAndSpacesStandAlone) {
  EXPECT_FALSE(UndoEnabled());
  EXPECT_FALSE(RedoEnabled());
  Type("abc");
  EXPECT_EQ(History(), "T0-3");
  EXPECT_TRUE(UndoEnabled());
  EXPECT_FALSE(RedoEnabled());
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(History(), "| T0-3[abc]");
  EXPECT_FALSE(UndoEnabled());
  EXPECT_TRUE(RedoEnabled());
  Command(ID_EDIT_REDO);
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(Sel(), std::make_pair(3, 3));

  Load("");
  Type("ab cd");
  EXPECT_EQ(History(), "T0-2 I2-3 T3-5");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "ab ");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "ab");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "");

  // Moving the caret ends the run; tab is a step of its own.
  Load("");
  Type("ab");
  Key(VK_LEFT);
  Type("c\td");
  EXPECT_EQ(Text(), "ac\tdb");
  EXPECT_EQ(History(), "T0-2 T1-2 I2-3 T3-4");
}

TEST_F(EditViewTest, DoubleByteCharacterTypedAsTwoBytesJoinsTheRun) {
  Type("a");
  Type("日本");
  Type("b");
  EXPECT_EQ(Text(), "a日本b");
  EXPECT_EQ(History(), "T0-6");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "");
  Command(ID_EDIT_REDO);
  EXPECT_EQ(Text(), "a日本b");
  // A half-width katakana is a single printable byte.
  Load("");
  Type("\xB1\xB2");
  EXPECT_EQ(History(), "T0-2");
}

// A lead byte whose trail byte does not follow at once: whatever the control
// makes of it, undoing everything must give back the starting text and redoing
// everything the text reached.
TEST_F(EditViewTest, InterruptedDoubleByteInputKeepsTheHistoryInStep) {
  struct Case {
    const char* name;
    std::function<void()> between;
  };
  const Case cases[] = {
      {"arrow", [&] { Key(VK_LEFT); }},
      {"backspace", [&] { Backspace(); }},
      {"delete", [&] { Key(VK_DELETE); }},
      {"enter", [&] { Send(WM_CHAR, 13, 1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load("xy", 1);
    Send(WM_CHAR, 0x96, 1);  // lead byte of 本
    c.between();
    Send(WM_CHAR, 0x7B, 1);  // its trail byte, also '{'
    Type("z");
    const std::string reached = Text();
    while (view->CanUndo()) Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "xy") << History();
    while (view->CanRedo()) Command(ID_EDIT_REDO);
    EXPECT_EQ(Text(), reached) << History();
  }
}

TEST_F(EditViewTest, TypingOverAShiftArrowSelectionIsTwoSteps) {
  Load("hello");
  Key(VK_LEFT, true);
  Key(VK_LEFT, true);
  EXPECT_EQ(Sel(), std::make_pair(3, 5));
  Type("XY");
  EXPECT_EQ(Text(), "helXY");
  EXPECT_EQ(History(), "D3-5[lo] T3-5");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "hel");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "hello");
  EXPECT_EQ(Sel(), std::make_pair(5, 5));  // after the restored text
}

TEST_F(EditViewTest, ANewEditDiscardsRedoEvenWhenItExtendsTheStepBelow) {
  Type("ab ");
  Command(ID_EDIT_UNDO);
  EXPECT_TRUE(RedoEnabled());
  Type("c");
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(History(), "T0-3");
  EXPECT_FALSE(RedoEnabled());
  Command(ID_EDIT_REDO);  // disabled: dropped by the frame
  EXPECT_EQ(Text(), "abc");

  Command(ID_EDIT_UNDO);
  Load("xyz", 1);
  Key(VK_DELETE);
  Command(ID_EDIT_UNDO);
  Key(VK_DELETE);  // a deletion discards it too
  EXPECT_EQ(History(), "F1-2[y]");
}

TEST_F(EditViewTest, BackspaceAtTheStartAndDeleteAtTheEndRecordNothing) {
  Load("ab", 0);
  Backspace();
  Load("ab", 2);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "ab");
  EXPECT_EQ(History(), "");
  EXPECT_FALSE(Doc()->IsModified());
  Load("", 0);
  Backspace();
  Key(VK_DELETE);
  EXPECT_EQ(History(), "");
  EXPECT_FALSE(UndoEnabled());
}

// Each deletion key must record exactly the bytes the control removes, and
// undo must give back the text before it.
TEST_F(EditViewTest, DeletionKeysRecordWhatTheControlRemoves) {
  struct Case {
    const char* text;
    int caret;
    bool forward;
    const char* after;
    const char* history;
  };
  const Case cases[] = {
      {"a日", 3, false, "a", "D1-3[日]"},
      {"日a", 3, false, "日", "D2-3[a]"},
      {"亜a", 3, false, "亜", "D2-3[a]"},        // 0x9F before 'a' is a trail byte
      {"亜亜", 4, false, "亜", "D2-4[亜]"},      // trail byte with a lead byte's value
      {"x\r\n亜\r\n亜b", 10, false, "x\r\n亜\r\n亜", "D9-10[b]"},
      {"ab\r\ncd", 4, false, "abcd", "D2-4[\r\n]"},
      {"ab\r\ncd", 2, true, "abcd", "F2-4[\r\n]"},
      {"a日b", 1, true, "ab", "F1-3[日]"},
      {"a\rb", 1, true, "ab", "F1-2[\r]"},       // lone CR
      {"a\nb", 2, false, "ab", "D1-2[\n]"},      // lone LF
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Load(c.text, c.caret);
    const std::string before = Text();
    if (c.forward)
      Key(VK_DELETE);
    else
      Backspace();
    EXPECT_EQ(Text(), c.after);
    EXPECT_EQ(History(), c.history);
    EXPECT_TRUE(Doc()->IsModified());
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), before);
  }
}

TEST_F(EditViewTest, UndoOfDeleteKeyPutsTheCaretBeforeOthersAfter) {
  Load("abcdef", 1);
  Key(VK_DELETE);
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "abcdef");
  EXPECT_EQ(Sel(), std::make_pair(1, 1));

  Load("abcdef", 3);
  Backspace();
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Sel(), std::make_pair(3, 3));

  Load("abcdef");
  Select(1, 4);
  Key(VK_DELETE);  // Delete with a selection removes it like Backspace
  EXPECT_EQ(History(), "D1-4[bcd]");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Sel(), std::make_pair(4, 4));

  Load("abcdef");
  Select(4, 2);
  Command(ID_EDIT_CLEAR);
  EXPECT_EQ(Text(), "abef");
  EXPECT_EQ(History(), "D2-4[cd]");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Sel(), std::make_pair(4, 4));
}

TEST_F(EditViewTest, ImeResultIsOneStepAndItsCharactersAreNotRecordedAgain) {
  Load("ab");
  ASSERT_TRUE(Compose(L"xyz"));
  EXPECT_EQ(Text(), "abxyz");
  EXPECT_EQ(History(), "I2-5");
  Type("w");
  EXPECT_EQ(History(), "I2-5 T5-6");
  Command(ID_EDIT_UNDO);
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "ab");

  // Over a selection: its removal, then the result.
  Load("abcd");
  Select(1, 3);
  ASSERT_TRUE(Compose(L"XY"));
  EXPECT_EQ(Text(), "aXYd");
  EXPECT_EQ(History(), "D1-3[bc] I1-3");
  Command(ID_EDIT_UNDO);
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "abcd");
}

// Each double-byte character of a result reaches the view as two WM_CHAR
// messages (lead, then trail); none of them is recorded a second time.
TEST_F(EditViewTest, ImeDoubleByteResultIsNotRecordedAgain) {
  Load("ab");
  ASSERT_TRUE(Compose(L"\x65E5\x672C"));  // 日本
  EXPECT_EQ(Text(), "ab日本");
  EXPECT_EQ(History(), "I2-6");
  Type("x");
  EXPECT_EQ(History(), "I2-6 T6-7");
  Command(ID_EDIT_UNDO);
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "ab");

  Load("abcd");
  Select(1, 3);
  ASSERT_TRUE(Compose(L"\x30A2x"));  // アx
  EXPECT_EQ(Text(), "aアxd");
  EXPECT_EQ(History(), "D1-3[bc] I1-4");
  Command(ID_EDIT_UNDO);
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "abcd");
}

// The history holds what the control changed, also where the bytes do not
// say beforehand what an input will do: lone lead bytes (a Latin-1 é is E9, a
// lead byte), a byte that joins the one before it into a double-byte
// character, both bytes of a character in one message, an empty IME result.
TEST_F(EditViewTest, TheHistoryRecordsWhatTheControlChanged) {
  struct Case {
    const char* name;
    const char* text;
    int caret;
    std::function<void()> edit;
    const char* after;
    const char* history;
  };
  const Case cases[] = {
      {"Delete before a lone lead byte", "\x82 A", 0, [&] { Key(VK_DELETE); }, " A", "F0-1[\x82]"},
      {"Backspace after a lone lead byte", "a\xE9", 2, [&] { Backspace(); }, "a", "D1-2[\xE9]"},
      {"Backspace after a blank after a Latin-1 letter", "caf\xE9 bar", 5, [&] { Backspace(); },
       "caf\xE9" "bar", "D4-5[ ]"},
      {"typing after a Latin-1 letter", "caf\xE9\r\nx", 4, [&] { Type("s"); }, "caf\xE9s\r\nx", "T4-5"},
      {"a double-byte character in one message", "ab", 1, [&] { Send(WM_CHAR, 0x93FA, 1); }, "a日b", "T1-3"},
      {"an IME result message without a result", "abcd", 1,
       [&] {
         Select(1, 3);
         ASSERT_EQ(ImeResultLength(), 0);
         Send(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
       },
       "abcd", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(c.text, c.caret);
    c.edit();
    EXPECT_EQ(Text(), c.after);
    EXPECT_EQ(History(), c.history);
    while (view->CanUndo()) Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), c.text);
    while (view->CanRedo()) Command(ID_EDIT_REDO);
    EXPECT_EQ(Text(), c.after);
  }
}

// Random input of every kind through the real view; undoing everything must
// give back the starting text, and redoing everything the text reached.
TEST_F(EditViewTest, RandomInputUndoesToTheStartAndRedoesToTheEnd) {
  const char* pieces[] = {"a", "\xE9", "\x82", "日", " ", "\t", "\xB1", "x\r\ny", "亜", "\r", "A"};
  const wchar_t* words[] = {L"\x65E5\x672C", L"x", L"\x30A2x"};
  auto piece = [&](std::mt19937& rng) { return pieces[rng() % (sizeof pieces / sizeof *pieces)]; };
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    std::mt19937 rng(seed);
    Load("start \x82 caf\xE9\r\n日本 end", 3);
    const std::string start = Text();
    std::string log;
    for (int step = 0; step < 150; ++step) {
      const int length = view->GetTextLength();
      const unsigned op = rng() % 14;
      log += std::to_string(op) + ' ';
      switch (op) {
        case 0: Send(WM_CHAR, 'a' + rng() % 26, 1); break;
        case 1: Send(WM_CHAR, static_cast<unsigned char>(" \t\x7F\xB1"[rng() % 4]), 1); break;
        case 2: Send(WM_CHAR, static_cast<unsigned char>("\x82\xE9\x88\x93"[rng() % 4]), 1); break;  // lead bytes
        case 3: Send(WM_CHAR, rng() % 2 ? 0x93FA : 0x889F, 1); break;  // packed double-byte
        case 4: Backspace(); break;
        case 5: Key(VK_DELETE); break;
        case 6: Key(rng() % 2 ? VK_LEFT : VK_RIGHT, rng() % 2 == 0); break;
        case 7: Select(static_cast<int>(rng() % (length + 1)), static_cast<int>(rng() % (length + 1))); break;
        case 8: Send(WM_CHAR, rng() % 2 ? 13 : 10, 1); break;
        case 9:
          if (rng() % 2)
            Compose(words[rng() % 3]);
          else
            Send(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);  // no result string
          break;
        case 10: {
          const char* p = piece(rng);
          PutClipboard(CF_TEXT, p, strlen(p) + 1, view->m_hWnd);
          Command(ID_EDIT_PASTE);
          break;
        }
        case 11: Command(rng() % 2 ? ID_EDIT_CUT : ID_EDIT_CLEAR); break;
        case 12: view->ReplaceSelWithUndo(piece(rng)); break;
        case 13: Send(WM_IME_CHAR, rng() % 2 ? 0x93FA : 'q', 1); break;
      }
    }
    const std::string end = Text();
    while (view->CanUndo()) Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), start) << "seed " << seed << ", operations " << log;
    while (view->CanRedo()) Command(ID_EDIT_REDO);
    EXPECT_EQ(Text(), end) << "seed " << seed << ", operations " << log;
  }
}

TEST_F(EditViewTest, EnterRecordsTheSelectionRemovalAndALineBreak) {
  if (auto* script = dynamic_cast<CMyView*>(view)) script->m_autoIndent = FALSE;  // Enter alone
  Load("abcd");
  Select(1, 3);
  Send(WM_CHAR, 13, 1);
  EXPECT_EQ(Text(), "a\r\nd");
  EXPECT_EQ(History(), "D1-3[bc] I1-3");
  Send(WM_CHAR, 10, 1);  // Ctrl+Enter
  EXPECT_EQ(Text(), "a\r\n\r\nd");
  EXPECT_EQ(History(), "D1-3[bc] I1-3 I3-5");
  Command(ID_EDIT_UNDO);
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "ad");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "abcd");
}

TEST_F(EditViewTest, PasteCutAndClearAreRecorded) {
  const char paste[] = "XYZ";
  ASSERT_TRUE(PutClipboard(CF_TEXT, paste, sizeof paste, view->m_hWnd));
  Load("abcd");
  Select(1, 3);
  EXPECT_TRUE(Frame()->IsCommandEnabled(ID_EDIT_PASTE));
  Command(ID_EDIT_PASTE);
  EXPECT_EQ(Text(), "aXYZd");
  EXPECT_EQ(History(), "D1-3[bc] I1-4");
  EXPECT_EQ(Sel(), std::make_pair(4, 4));

  Select(0, 2);
  Command(ID_EDIT_CUT);
  EXPECT_EQ(Text(), "YZd");
  EXPECT_EQ(ClipboardText(), "aX");
  EXPECT_EQ(History(), "D1-3[bc] I1-4 D0-2[aX]");
  Command(ID_EDIT_UNDO);
  Command(ID_EDIT_UNDO);
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "abcd");
  Command(ID_EDIT_REDO);
  Command(ID_EDIT_REDO);
  Command(ID_EDIT_REDO);
  EXPECT_EQ(Text(), "YZd");

  // Text offered only as Unicode is pasted in code page 932; the record must
  // match the bytes that went in.
  const wchar_t wide[] = L"\x65E5x";
  ASSERT_TRUE(PutClipboard(CF_UNICODETEXT, wide, sizeof wide, view->m_hWnd));
  Load("ab", 1);
  Command(ID_EDIT_PASTE);
  EXPECT_EQ(Text(), "a日xb");
  EXPECT_EQ(History(), "I1-4");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "ab");
}

TEST_F(EditViewTest, MouseClickPlacesTheCaretAndShiftClickExtends) {
  Load("hello world", 0);
  Click(6, false);
  EXPECT_EQ(Sel(), std::make_pair(6, 6));
  Type("X");
  Click(2, true);
  EXPECT_EQ(Sel(), std::make_pair(2, 7));
  Type("Y");
  EXPECT_EQ(Text(), "heYworld");
  EXPECT_EQ(History(), "T6-7 D2-7[llo X] T2-3");
}

TEST_F(EditViewTest, AcceleratorKeysUndoRedoCutAndPasteInStepWithTheHistory) {
  Type("abc def");
  Press('Z', false, true);
  EXPECT_EQ(Text(), "abc ");
  Press(VK_BACK, false, false, true);  // Alt+Backspace
  EXPECT_EQ(Text(), "abc");
  Press('Y', false, true);
  EXPECT_EQ(Text(), "abc ");
  Select(0, 2);
  Press(VK_DELETE, true, false);  // Shift+Delete cuts
  EXPECT_EQ(Text(), "c ");
  EXPECT_EQ(ClipboardText(), "ab");
  Press(VK_END, false, false);
  Press(VK_INSERT, true, false);  // Shift+Insert pastes
  EXPECT_EQ(Text(), "c ab");
  // With nothing selected, Shift+Delete must leave text and history agreeing.
  view->SetSel(1, 1);
  Press(VK_DELETE, true, false);
  const std::string now = Text();
  while (view->CanUndo()) Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "") << "after " << now << ": " << History();
}

TEST_F(EditViewTest, EveryChangeIncludingUndoAndRedoMarksTheDocumentModified) {
  auto changed = [&](const std::function<void()>& edit) {
    Doc()->SetModifiedFlag(FALSE);
    edit();
    return Doc()->IsModified() != FALSE;
  };
  EXPECT_TRUE(changed([&] { Type("a"); }));
  EXPECT_TRUE(changed([&] { Command(ID_EDIT_UNDO); }));  // back to the saved text, still modified
  EXPECT_EQ(Text(), "");
  EXPECT_TRUE(changed([&] { Command(ID_EDIT_REDO); }));
  EXPECT_TRUE(changed([&] { Backspace(); }));
  EXPECT_TRUE(changed([&] { view->ReplaceSelWithUndo("xy"); }));
  EXPECT_FALSE(changed([&] { Key(VK_LEFT); }));
  EXPECT_TRUE(changed([&] {
    for (int i = 0; i < 3; ++i) Command(ID_EDIT_UNDO);
  }));
  EXPECT_EQ(Text(), "");
  EXPECT_FALSE(changed([&] { Command(ID_EDIT_UNDO); }));  // nothing left to undo
}

TEST_F(EditViewTest, ANewDocumentStartsWithAnEmptyHistoryOfItsOwn) {
  Type("abc");
  CMyEditView* first = view;
  Command(ID_FILE_NEW);
  view = ActiveView();
  ASSERT_NE(view, first);
  EXPECT_EQ(History(), "");
  EXPECT_FALSE(UndoEnabled());
  EXPECT_EQ(first->m_undo.records.size(), 1u);
  // Undo in the new window leaves the first alone.
  SetFocus(view->m_hWnd);
  Type("z");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(first->GetText(), "abc");
}

TEST_F(EditViewTest, ReplaceSelWithUndoAndCopySelectedText) {
  Load("abcdef");
  Select(1, 3);
  view->ReplaceSelWithUndo("XYZ");
  EXPECT_EQ(Text(), "aXYZdef");
  EXPECT_EQ(Sel(), std::make_pair(4, 4));
  EXPECT_EQ(History(), "D1-3[bc] I1-4");
  std::string out = "kept";
  EXPECT_FALSE(view->CopySelectedText(out));
  EXPECT_EQ(out, "kept");
  Select(5, 2);
  EXPECT_TRUE(view->CopySelectedText(out));
  EXPECT_EQ(out, "YZd");
  view->ReplaceSelWithUndo("");  // only the removal
  EXPECT_EQ(History(), "D1-3[bc] I1-4 D2-5[YZd]");
}

// The end of the text lies where a further character would be painted.
TEST_F(EditViewTest, PosFromCharAnswersTheEndOfTheText) {
  auto endOf = [&](const char* text) {
    Load(text);
    return Pos(view->GetTextLength());
  };
  auto rawAt = [&](const char* text, int index) {
    Load(text);
    return view->PosFromCharRaw(index);
  };
  const POINT origin = rawAt("x", 0);
  const int lineHeight = static_cast<int>(Send(RVEM_GETLINEHEIGHT));
  ASSERT_GT(lineHeight, 0);

  POINT ab = endOf("ab");
  POINT abx = rawAt("abx", 2);
  EXPECT_EQ(ab.x, abx.x);
  EXPECT_EQ(ab.y, abx.y);
  // Right after the painted width of b.
  HDC dc = GetDC(view->m_hWnd);
  HGDIOBJ old = SelectObject(dc, view->GetFont());
  SIZE b{};
  GetTextExtentPoint32A(dc, "b", 1, &b);
  SelectObject(dc, old);
  ReleaseDC(view->m_hWnd, dc);
  EXPECT_EQ(ab.x, rawAt("ab", 1).x + b.cx);

  POINT crlf = endOf("ab\r\n");
  EXPECT_EQ(crlf.x, origin.x);
  EXPECT_EQ(crlf.y, origin.y + lineHeight);
  POINT twoLines = endOf("ab\r\ncd\r\n");
  EXPECT_EQ(twoLines.y, origin.y + 2 * lineHeight);

  POINT dbcs = endOf("a日");
  POINT dbcsx = rawAt("a日x", 3);
  EXPECT_EQ(dbcs.x, dbcsx.x);
  EXPECT_EQ(dbcs.y, dbcsx.y);

  POINT empty = endOf("");
  RECT r = view->GetRect();
  EXPECT_EQ(empty.x, r.left);
  EXPECT_EQ(empty.y, r.top);
}

}  // namespace
