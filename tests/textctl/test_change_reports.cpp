// The text control's change reports and exact replacement, and its safety when
// a listener or the parent destroys it in the middle of an edit.
#include "tests/textctl/text_control_fixture.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

const char* CauseName(int cause) {
  static const char* const names[] = {"?",     "char",  "enter", "backspace",  "delete",       "cut",
                                      "paste", "clear", "ime",   "replacesel", "replacerange", "settext"};
  return cause > 0 && cause <= RVCC_SETTEXT ? names[cause] : "?";
}

// Writes each report as "cause position -[removed] +[inserted]", with " sel"
// and " cont" for the flags, into the fixture's event log.
class Recorder : public RvTextChangeListener {
 public:
  std::function<void(HWND)> then;  // runs after each report is logged
  bool throwAfter = false;

  void OnTextChange(HWND control, const RvTextChange& c) override {
    std::string line = std::string(CauseName(c.cause)) + ' ' + std::to_string(c.position) + " -[" +
                       std::string(c.removed, c.removedLength) + "] +[" + std::string(c.inserted, c.insertedLength) +
                       ']';
    if (c.flags & RVCF_SELECTION) line += " sel";
    if (c.flags & RVCF_CONTINUED) line += " cont";
    g_events.push_back(line);
    if (then) then(control);
    if (throwAfter) throw std::runtime_error("listener failed");
  }
};

class ChangeReportTest : public TextControlTest {
 protected:
  Recorder recorder;

  void SetUp() override {
    TextControlTest::SetUp();
    Send(RVEM_SETCHANGELISTENER, 0, reinterpret_cast<LPARAM>(&recorder));
  }
  // The events since the last call, without the EN_UPDATE / EN_CHANGE pair that
  // follows each report.
  std::vector<std::string> Reports() {
    std::vector<std::string> out;
    for (const std::string& e : g_events) {
      if (e != "note " + std::to_string(EN_UPDATE) && e != "note " + std::to_string(EN_CHANGE)) out.push_back(e);
    }
    g_events.clear();
    return out;
  }
  void Load(const char* text, int caret) {
    SetText(text);
    Send(EM_SETSEL, caret, caret);
    g_events.clear();
  }
  bool ReplaceRange(int start, int end, const char* text, int caret) {
    RvReplaceRange r{start, end, text, static_cast<int>(strlen(text)), caret};
    return Send(RVEM_REPLACERANGE, 0, reinterpret_cast<LPARAM>(&r)) != FALSE;
  }
  void PutClipboardText(const char* text) {
    ASSERT_TRUE(OpenClipboard(parent_));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    memcpy(GlobalLock(mem), text, strlen(text) + 1);
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
  }
  using Strings = std::vector<std::string>;
};

TEST_F(ChangeReportTest, EachInputIsReportedOnceWithWhatReallyChanged) {
  SetText("ab");
  EXPECT_EQ(Reports(), Strings{"settext 0 -[] +[ab]"});
  Send(EM_SETSEL, 2, 2);
  Type("x");
  Type("日");                     // lead byte, then trail byte: one change
  Send(WM_CHAR, 0x967B, 1);       // 本 packed into one message
  Send(WM_CHAR, '\r', 1);
  EXPECT_EQ(Reports(), (Strings{"char 2 -[] +[x]", "char 3 -[] +[日]", "char 5 -[] +[本]", "enter 7 -[] +[\r\n]"}));
  // The report comes before the parent's notifications.
  Type("y");
  EXPECT_EQ(g_events, (Strings{"char 9 -[] +[y]", "note " + std::to_string(EN_UPDATE),
                               "note " + std::to_string(EN_CHANGE)}));
  g_events.clear();

  // Deletion keys next to a lone lead byte remove one byte, and say so.
  Load("\x82 A", 0);
  Key(VK_DELETE);
  EXPECT_EQ(Reports(), Strings{"delete 0 -[\x82] +[]"});
  Load("caf\xE9 bar", 5);
  Send(WM_CHAR, 8, 1);
  EXPECT_EQ(Reports(), Strings{"backspace 4 -[ ] +[]"});
  // Over a selection each key says it removed the selection.
  Load("abcdef", 0);
  Send(EM_SETSEL, 1, 3);
  Key(VK_DELETE);
  Send(EM_SETSEL, 0, 1);
  Type("Z");
  Send(EM_SETSEL, 2, 1);
  Send(WM_CHAR, 8, 1);
  EXPECT_EQ(Reports(), (Strings{"delete 1 -[bc] +[] sel", "char 0 -[a] +[Z] sel", "backspace 1 -[d] +[] sel"}));

  // Clipboard commands, clear and EM_REPLACESEL.
  Load("one two", 0);
  Send(EM_SETSEL, 0, 4);
  Send(WM_CUT);
  Send(EM_SETSEL, 3, 3);
  Send(WM_PASTE);
  Send(EM_SETSEL, 0, 1);
  Send(WM_CLEAR);
  Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("W"));
  EXPECT_EQ(Text(), "Wwoone ");
  EXPECT_EQ(Reports(), (Strings{"cut 0 -[one ] +[] sel", "paste 3 -[] +[one ]", "clear 0 -[t] +[] sel",
                                "replacesel 0 -[] +[W]"}));
  // Nothing changed, nothing reported: a lone lead byte dropped, Delete at the end.
  Send(WM_CHAR, 0x88, 1);
  Send(WM_CHAR, 27, 1);
  Send(EM_SETSEL, 7, 7);
  Key(VK_DELETE);
  EXPECT_EQ(Reports(), Strings{});
}

TEST_F(ChangeReportTest, TheCharactersOfOneImeResultContinueItsFirst) {
  HIMC imc = ImmGetContext(edit_);
  ASSERT_TRUE(imc);
  ImmSetOpenStatus(imc, TRUE);
  const wchar_t word[] = L"\x65E5\x672Cx";  // 日本x
  ASSERT_TRUE(ImmSetCompositionStringW(imc, SCS_SETSTR, const_cast<wchar_t*>(word), sizeof word - sizeof(wchar_t),
                                       nullptr, 0));
  ASSERT_TRUE(ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
  ImmReleaseContext(edit_, imc);
  Pump();
  EXPECT_EQ(Text(), "日本x");
  EXPECT_EQ(Reports(), (Strings{"ime 0 -[] +[日]", "ime 2 -[] +[本] cont", "ime 4 -[] +[x] cont"}));
  // A WM_IME_CHAR of its own is an input of its own; typing after it too.
  Send(WM_IME_CHAR, 0x93FA, 1);
  Send(WM_IME_CHAR, 'y', 1);
  Type("z");
  EXPECT_EQ(Reports(), (Strings{"ime 5 -[] +[日]", "ime 7 -[] +[y]", "char 8 -[] +[z]"}));
}

TEST_F(ChangeReportTest, ReplaceRangeTakesExactBytes) {
  // E9 78 reads as one double-byte character; taking the 78 away leaves E9.
  Load("caf\xE9x\r\n", 0);
  EXPECT_TRUE(ReplaceRange(4, 5, "", 4));
  EXPECT_EQ(Text(), "caf\xE9\r\n");
  EXPECT_EQ(Sel(), std::make_pair(DWORD(4), DWORD(4)));
  EXPECT_EQ(g_notes[EN_CHANGE], 1);
  // Between CR and LF; the caret goes to the boundary after 7.
  EXPECT_TRUE(ReplaceRange(5, 5, "y", 5));
  EXPECT_EQ(Text(), "caf\xE9\ry\n");
  EXPECT_TRUE(ReplaceRange(4, 4, "x", 5));
  EXPECT_EQ(Sel(), std::make_pair(DWORD(5), DWORD(5)));
  EXPECT_EQ(Reports(), (Strings{"replacerange 4 -[x] +[]", "replacerange 5 -[] +[y]", "replacerange 4 -[] +[x]"}));
  // Neither the text limit nor the read-only style stops it; a bad range does.
  Send(EM_SETLIMITTEXT, 2);
  Send(EM_SETREADONLY, TRUE);
  EXPECT_TRUE(ReplaceRange(0, 0, "long", 0));
  EXPECT_FALSE(ReplaceRange(3, 2, "", 0));
  EXPECT_FALSE(ReplaceRange(0, 100, "", 0));
  EXPECT_EQ(Text(), "longcaf\xE9x\ry\n");
}

TEST_F(ChangeReportTest, AFailingListenerStopsNeitherTheChangeNorTheNotifications) {
  recorder.throwAfter = true;
  Type("ab");
  EXPECT_EQ(Text(), "ab");
  EXPECT_EQ(g_notes[EN_CHANGE], 2);
  EXPECT_EQ(Send(RVEM_SETCHANGELISTENER, 0, 0), reinterpret_cast<LRESULT>(&recorder));
  g_events.clear();
  Type("c");
  EXPECT_EQ(Reports(), Strings{});
}

// The control's state must not be touched once the window is gone. Memory
// reused at once (filled with a pattern) makes a use of freed state crash.
void DestroyAndReuseMemory(HWND control) {
  DestroyWindow(control);
  std::vector<void*> blocks;
  for (size_t size = 16; size <= 8192; size += 8) {
    void* p = std::malloc(size);
    memset(p, 0xCD, size);
    blocks.push_back(p);
  }
  for (void* p : blocks) std::free(p);
}

TEST_F(ChangeReportTest, DestroyedFromANotificationOrAReportInTheMiddleOfAnEdit) {
  struct Case {
    const char* name;
    int destroyOn;  // a notification code, or 0 for the report
    std::function<void()> edit;
  };
  const Case cases[] = {
      {"typing, EN_CHANGE", EN_CHANGE, [this] { Type("x"); }},
      {"typing, EN_UPDATE", EN_UPDATE, [this] { Type("x"); }},
      {"typing, report", 0, [this] { Type("x"); }},
      {"replacesel, EN_CHANGE", EN_CHANGE,
       [this] { Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("line\r\nline\r\n")); }},
      {"replacesel, EN_MAXTEXT", EN_MAXTEXT,
       [this] {
         Send(EM_SETLIMITTEXT, 3);
         Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("toolong"));
       }},
      {"paste, EN_CHANGE", EN_CHANGE, [this] { Send(WM_PASTE); }},
      {"backspace, EN_CHANGE", EN_CHANGE, [this] { Send(WM_CHAR, 8, 1); }},
      {"cut, EN_CHANGE", EN_CHANGE,
       [this] {
         Send(EM_SETSEL, 0, 3);
         Send(WM_CUT);
       }},
      {"ime, EN_CHANGE", EN_CHANGE, [this] { Send(WM_IME_CHAR, 0x93FA, 1); }},
      {"page down, EN_VSCROLL", EN_VSCROLL, [this] { Key(VK_NEXT); }},
  };
  PutClipboardText("pasted\r\ntext");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text;
    for (int i = 0; i < 200; ++i) text += "a line of text\r\n";
    Load(text.c_str(), 3);
    const HWND control = edit_;
    if (c.destroyOn) {
      g_onNotify = [&](HWND from, int code) {
        if (from == control && code == c.destroyOn) DestroyAndReuseMemory(from);
      };
    } else {
      recorder.then = DestroyAndReuseMemory;
    }
    c.edit();
    g_onNotify = nullptr;
    recorder.then = nullptr;
    EXPECT_FALSE(IsWindow(control));
    TearDown();  // a fresh control for the next case
    SetUp();
  }
}

}  // namespace
