// The colour picker in a test parent that records the picker's messages: the
// notification order, keys in the popup, the customize box and the colour
// dialog, tooltips, the popup's lifetime while the colour dialog is open, and
// a popup that cannot be created.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <vector>
#include "dialogs/colorpicker.h"
#include "tests/support/harness.h"

using namespace colorgrid;

namespace {
const int kPickerId = 1018;

struct Note {
  UINT msg;
  COLORREF color;
  LPARAM id;
  bool operator==(const Note& o) const { return msg == o.msg && color == o.color && id == o.id; }
};

class RecordingParent : public CWnd {
 public:
  std::vector<Note> notes;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg >= PICKER_SELCHANGE && msg <= PICKER_SELENDCANCEL) {
      notes.push_back({msg, static_cast<COLORREF>(wp), lp});
      return 0;
    }
    return CWnd::WindowProc(msg, wp, lp);
  }
};

class PickerTest : public ::testing::Test {
 protected:
  ScriptedResponder ui;
  RecordingParent* parent = nullptr;
  CCJColorPicker picker;

  void SetUp() override {
    parent = new RecordingParent;
    const char* cls = CWnd::RegisterWndClass("RvPickerTestParent", 0, nullptr, GetSysColorBrush(COLOR_BTNFACE));
    ASSERT_TRUE(parent->CreateEx(0, cls, "picker test", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr));
    HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 100, 20,
                                  parent->m_hWnd, reinterpret_cast<HMENU>(kPickerId), GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(picker.SubclassDlgItem(kPickerId, parent->m_hWnd));
    (void)button;
  }
  void TearDown() override {
    if (parent->m_hWnd) ::DestroyWindow(parent->m_hWnd);
    delete parent;
  }
  void Click() {
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(kPickerId, BN_CLICKED), reinterpret_cast<LPARAM>(picker.m_hWnd));
  }
  void Key(UINT vk) {
    ASSERT_NE(picker.Popup(), nullptr);
    picker.Popup()->SendMessage(WM_KEYDOWN, vk, 0);
  }
  std::vector<UINT> Messages() const {
    std::vector<UINT> m;
    for (const Note& n : parent->notes) m.push_back(n.msg);
    return m;
  }
};
}  // namespace

TEST_F(PickerTest, ButtonIsOwnerDrawnAndSizedForTheArrow) {
  EXPECT_EQ(GetWindowLongA(picker.m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  RECT r;
  GetClientRect(picker.m_hWnd, &r);
  int s = std::max({GetSystemMetrics(SM_CXHTHUMB), 5 * GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYVTHUMB),
                    5 * GetSystemMetrics(SM_CYEDGE)});
  EXPECT_EQ(r.bottom, s + 2 * GetSystemMetrics(SM_CYEDGE));
  EXPECT_EQ(r.right, 100);
}

// A keyboard choice: drop-down, the moving selection, then close-up, end-OK
// and change (the colour changed) in that order; the picker takes the colour.
TEST_F(PickerTest, KeyboardChoiceNotifiesInOrder) {
  picker.SetColor(kColors[3].color);
  Click();
  ASSERT_TRUE(picker.IsPopupOpen());
  ASSERT_NE(picker.Popup(), nullptr);
  EXPECT_EQ(picker.Popup()->ChosenCell(), 3);
  Key(VK_DOWN);  // no hot cell: the customize box
  EXPECT_EQ(picker.Popup()->HotCell(), kCustomCell);
  Key(VK_DOWN);  // automatic box
  Key(VK_DOWN);  // cell 0
  Key(VK_RIGHT);
  EXPECT_EQ(picker.Popup()->HotCell(), 1);
  Key(VK_RETURN);
  EXPECT_EQ(picker.Popup(), nullptr);
  EXPECT_FALSE(picker.IsPopupOpen());
  EXPECT_EQ(picker.GetColor(), kColors[1].color);
  const std::vector<Note> expected = {
      {PICKER_DROPDOWN, kColors[3].color, kPickerId},     {PICKER_SELCHANGE, kColors[3].color, kPickerId},
      {PICKER_SELCHANGE, kAutomaticColor, kPickerId},     {PICKER_SELCHANGE, kColors[0].color, kPickerId},
      {PICKER_SELCHANGE, kColors[1].color, kPickerId},    {PICKER_CLOSEUP, kColors[1].color, kPickerId},
      {PICKER_SELENDOK, kColors[1].color, kPickerId},     {PICKER_SELCHANGE, kColors[1].color, kPickerId},
  };
  EXPECT_EQ(parent->notes, expected);
}

TEST_F(PickerTest, EscapeRestoresTheColourAndChoosingTheSameColourIsNoChange) {
  picker.SetColor(0x00123456);
  Click();
  EXPECT_EQ(picker.Popup()->ChosenCell(), kCustomCell);
  Key(VK_LEFT);  // automatic box
  Key(VK_ESCAPE);
  EXPECT_EQ(picker.GetColor(), 0x00123456u);
  std::vector<UINT> m = Messages();
  ASSERT_GE(m.size(), 2u);
  EXPECT_EQ(m[m.size() - 2], static_cast<UINT>(PICKER_CLOSEUP));
  EXPECT_EQ(m.back(), static_cast<UINT>(PICKER_SELENDCANCEL));
  EXPECT_EQ(parent->notes.back().color, 0x00123456u);

  picker.SetColor(kAutomaticColor);
  parent->notes.clear();
  Click();
  EXPECT_EQ(picker.Popup()->ChosenCell(), kAutoCell);
  Key(VK_UP);  // automatic box again
  Key(VK_SPACE);
  EXPECT_EQ(Messages(), (std::vector<UINT>{PICKER_DROPDOWN, PICKER_SELCHANGE, PICKER_CLOSEUP, PICKER_SELENDOK}));
  EXPECT_EQ(picker.GetColor(), kAutomaticColor);
}

TEST_F(PickerTest, CustomizeOpensTheColourDialogWithTheInitialColour) {
  picker.SetColor(kColors[5].color);
  COLORREF offered = 0;
  DWORD flags = 0;
  int answer = IDOK;
  ui.onCommon = [&](const char* kind, void* data) {
    EXPECT_STREQ(kind, "color");
    auto* cc = static_cast<CHOOSECOLORA*>(data);
    offered = cc->rgbResult;
    flags = cc->Flags;
    cc->rgbResult = 0x00ABCDEF;
    return answer;
  };
  Click();
  Key(VK_DOWN);  // customize box
  Key(VK_RETURN);
  EXPECT_EQ(offered, kColors[5].color);
  EXPECT_TRUE(flags & CC_FULLOPEN);
  EXPECT_EQ(picker.GetColor(), 0x00ABCDEFu);
  EXPECT_EQ(parent->notes.back().msg, static_cast<UINT>(PICKER_SELCHANGE));

  answer = IDCANCEL;
  parent->notes.clear();
  Click();
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(picker.GetColor(), 0x00ABCDEFu);
  EXPECT_EQ(Messages().back(), static_cast<UINT>(PICKER_SELENDCANCEL));
}

TEST_F(PickerTest, PopupHasATooltipPerColourWithItsName) {
  Click();
  HWND tip = picker.Popup()->ToolTip();
  ASSERT_NE(tip, nullptr);
  ASSERT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), kColorCount);
  for (int i : {0, 35, 39}) {
    char text[80] = "";
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.lpszText = text;
    ASSERT_TRUE(::SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_STREQ(text, kColors[i].name);
    const Rect c = picker.Popup()->Layout().CellRect(i);
    EXPECT_EQ(ti.rect.left, c.left);
    EXPECT_EQ(ti.rect.top, c.top);
  }
  Key(VK_ESCAPE);
}

// The colour dialog runs inside the popup's own message: deactivation and
// focus loss must not end the popup, and when the window goes with its owner
// meanwhile, nothing more reaches anyone when the dialog returns.
TEST_F(PickerTest, PopupSurvivesDeactivationWhileTheColourDialogIsOpen) {
  ui.onCommon = [&](const char*, void* data) {
    ColorGridPopup* popup = picker.Popup();
    EXPECT_NE(popup, nullptr);
    if (!popup) return IDCANCEL;
    HWND hwnd = popup->m_hWnd;
    popup->SendMessage(WM_ACTIVATEAPP, FALSE, 0);
    popup->SendMessage(WM_KILLFOCUS, 0, 0);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(Messages(), (std::vector<UINT>{PICKER_DROPDOWN, PICKER_SELCHANGE}));
    static_cast<CHOOSECOLORA*>(data)->rgbResult = 0x00010203;
    return IDOK;
  };
  Click();
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(picker.GetColor(), 0x00010203u);
  EXPECT_EQ(Messages(), (std::vector<UINT>{PICKER_DROPDOWN, PICKER_SELCHANGE, PICKER_CLOSEUP, PICKER_SELENDOK,
                                           PICKER_SELCHANGE}));
}

TEST_F(PickerTest, PopupDestroyedWithItsOwnerWhileTheColourDialogIsOpenDoesNothingAfterwards) {
  HWND popupWnd = nullptr;
  ui.onCommon = [&](const char*, void*) {
    popupWnd = picker.Popup() ? picker.Popup()->m_hWnd : nullptr;
    ::DestroyWindow(parent->m_hWnd);  // the dialog is cancelled meanwhile
    EXPECT_FALSE(IsWindow(popupWnd));
    return IDOK;
  };
  Click();
  Key(VK_DOWN);
  parent->notes.clear();
  Key(VK_RETURN);
  EXPECT_NE(popupWnd, nullptr);
  EXPECT_TRUE(parent->notes.empty());
  EXPECT_EQ(picker.Popup(), nullptr);
}

namespace {
HHOOK g_refuseHook = nullptr;
LRESULT CALLBACK RefusePopup(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    char cls[64] = "";
    GetClassNameA(reinterpret_cast<HWND>(wp), cls, sizeof cls);
    if (lstrcmpA(cls, "RvColorGridPopup") == 0) return 1;  // refuse the window
  }
  return CallNextHookEx(g_refuseHook, code, wp, lp);
}
}  // namespace

// A popup that cannot be made leaves the button unpushed and able to open again.
TEST_F(PickerTest, FailedPopupClearsTheOpenState) {
  HHOOK& hook = g_refuseHook;
  hook = SetWindowsHookExA(WH_CBT, RefusePopup, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  Click();
  UnhookWindowsHookEx(hook);
  EXPECT_FALSE(picker.IsPopupOpen());
  EXPECT_EQ(picker.Popup(), nullptr);
  EXPECT_TRUE(parent->notes.empty());
  Click();
  EXPECT_TRUE(picker.IsPopupOpen());
  Key(VK_ESCAPE);
  EXPECT_FALSE(picker.IsPopupOpen());
}
