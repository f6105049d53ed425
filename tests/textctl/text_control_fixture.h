// The fixture of the text control's tests: one parent window that counts and logs
// the control's notifications, and a fresh control with a Japanese fixed-pitch
// font for each test.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>
#include "platform/textctl/text_control.h"

#include <imm.h>

inline std::map<int, int> g_notes;  // notification code -> count
inline HBRUSH g_ctlBrush = nullptr;
inline int g_ctlColorCalls = 0;
inline std::vector<unsigned> g_charsSeen;  // WM_CHAR codes seen by the subclass
inline WNDPROC g_controlProc = nullptr;
inline std::vector<std::string> g_events;             // reports and notifications, in order
inline std::function<void(HWND, int)> g_onNotify;     // called with each notification

inline LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && lp) {
    ++g_notes[HIWORD(wp)];
    g_events.push_back("note " + std::to_string(HIWORD(wp)));
    if (g_onNotify) g_onNotify(reinterpret_cast<HWND>(lp), HIWORD(wp));
    return 0;
  }
  if (msg == WM_CTLCOLOREDIT) {
    ++g_ctlColorCalls;
    if (g_ctlBrush) {
      SetTextColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 0));
      SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 0, 0));
      return reinterpret_cast<LRESULT>(g_ctlBrush);
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// Stands in for the framework's subclass: sees every message first.
inline LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CHAR) g_charsSeen.push_back(static_cast<unsigned>(wp));
  return CallWindowProcA(g_controlProc, hwnd, msg, wp, lp);
}

inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

inline void SetModifiers(bool shift, bool ctrl) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(keys);
}

// One parent window for all tests: destroying a top-level window costs Wine about
// two seconds without a window manager.
class TextControlTest : public ::testing::Test {
 protected:
  inline static HWND parent_ = nullptr;
  HWND edit_ = nullptr;
  HFONT font_ = nullptr;

  static void SetUpTestSuite() {
    HINSTANCE hinst = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = hinst;
    wc.lpszClassName = "RvEditTestParent";
    RegisterClassA(&wc);
    parent_ = CreateWindowA("RvEditTestParent", "test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 300, nullptr,
                            nullptr, hinst, nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(parent_); }

  void SetUp() override {
    HINSTANCE hinst = GetModuleHandleA(nullptr);
    ASSERT_NE(RegisterTextControlClass(hinst), 0);
    EXPECT_EQ(RegisterTextControlClass(hinst), RegisterTextControlClass(hinst));
    ASSERT_TRUE(parent_);
    edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, kTextControlClassName, "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_NOHIDESEL, 0, 0, 400,
                            200, parent_, reinterpret_cast<HMENU>(100), hinst, nullptr);
    ASSERT_TRUE(edit_);
    font_ = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    Send(EM_SETLIMITTEXT, 0, 0);
    SetFocus(edit_);
    SetModifiers(false, false);
    Pump();
    g_notes.clear();
    g_charsSeen.clear();
    g_events.clear();
    g_ctlBrush = nullptr;
  }

  void TearDown() override {
    g_onNotify = nullptr;
    SetModifiers(false, false);
    DestroyWindow(edit_);
    DeleteObject(font_);
    Pump();
  }

  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(edit_, msg, wp, lp); }
  void SetText(const char* t) { Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t)); }
  std::string Text() {
    std::string out(Send(WM_GETTEXTLENGTH) + 1, '\0');
    out.resize(Send(WM_GETTEXT, out.size(), reinterpret_cast<LPARAM>(&out[0])));
    return out;
  }
  std::pair<DWORD, DWORD> Sel() {
    DWORD s = 0, e = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return {s, e};
  }
  void Type(const char* bytes) {
    for (const char* p = bytes; *p; ++p) Send(WM_CHAR, static_cast<unsigned char>(*p), 1);
  }
  void Key(int vk, bool shift = false, bool ctrl = false) {
    SetModifiers(shift, ctrl);
    Send(WM_KEYDOWN, vk, 1);
    SetModifiers(false, false);
  }
  POINT PosOf(int index) {
    POINT p = {};
    Send(RVEM_POSFROMCHAR32, index, reinterpret_cast<LPARAM>(&p));
    return p;
  }
  int LineHeight() { return static_cast<int>(Send(RVEM_GETLINEHEIGHT)); }
  // Advance width of a CP932 string in the control's font.
  int Width(const char* s) {
    HDC dc = GetDC(edit_);
    HGDIOBJ old = SelectObject(dc, font_);
    SIZE size = {};
    GetTextExtentPoint32A(dc, s, static_cast<int>(strlen(s)), &size);
    SelectObject(dc, old);
    ReleaseDC(edit_, dc);
    return size.cx;
  }
};
