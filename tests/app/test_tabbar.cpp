// The window tab bar in the running application: one tab per document window
// with its title, following new, renamed, closed and hidden windows; a click
// on a tab activates its window, a double-click maximises and restores it.
#include "tests/app/app_fixture.h"

#include <commctrl.h>
#include <string>
#include <vector>
#include "app/tabbar.h"
#include "platform/framework/frame.h"

namespace {

class TabBarTest : public AppFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(Start()); }

  WindowTabBar& Bar() const { return Frame()->m_tabHook.m_tabBar; }
  void Tick() {
    ::SendMessageA(Bar().m_hWnd, WM_TIMER, WindowTabBar::kTimerId, 0);
    PumpMessages();
  }
  std::vector<std::string> Tabs() const {
    std::vector<std::string> out;
    const int n = static_cast<int>(::SendMessageA(Bar().m_hWnd, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      char text[256] = "";
      TCITEMA item = {};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      ::SendMessageA(Bar().m_hWnd, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      out.push_back(text);
    }
    return out;
  }
  HWND NewWindow() {
    Command(ID_FILE_NEW);
    PumpMessages();
    return Frame()->MDIGetActive()->m_hWnd;
  }
  HWND Active() const { return Frame()->MDIGetActive() ? Frame()->MDIGetActive()->m_hWnd : nullptr; }
  std::string TitleOf(HWND child) const {
    auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(child));
    return frame && frame->GetActiveDocument() ? frame->GetActiveDocument()->GetTitle() : "";
  }
  void ClickTab(int i, UINT msg = WM_LBUTTONDOWN) {
    RECT r;
    ::SendMessageA(Bar().m_hWnd, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::SendMessageA(Bar().m_hWnd, msg, MK_LBUTTON, at);
    if (msg == WM_LBUTTONDOWN) ::SendMessageA(Bar().m_hWnd, WM_LBUTTONUP, 0, at);
    PumpMessages();
  }
};

TEST_F(TabBarTest, OneTabPerWindowFollowingNewRenamedAndClosedWindows) {
  ASSERT_NE(Bar().m_hWnd, nullptr);
  HWND a = Active() ? Active() : NewWindow();
  HWND b = NewWindow();
  Tick();
  ASSERT_EQ(Tabs().size(), 2u);
  EXPECT_EQ(Tabs()[0], TitleOf(a));
  EXPECT_EQ(Tabs()[1], TitleOf(b));
  EXPECT_EQ(::SendMessageA(Bar().m_hWnd, TCM_GETCURSEL, 0, 0), 1);

  // Saved under a new name, as Save As does.
  ASSERT_TRUE(dynamic_cast<CFrameWnd*>(CWnd::FromHandle(b))->GetActiveDocument()->DoSave((dir / "renamed.vbs").c_str(), TRUE));
  Tick();
  EXPECT_EQ(Tabs()[1], "renamed.vbs");

  ::SendMessageA(b, WM_CLOSE, 0, 0);  // the tab goes before the window
  EXPECT_EQ(Tabs(), std::vector<std::string>{TitleOf(a)});
}

TEST_F(TabBarTest, ClickActivatesAndDoubleClickMaximisesAndRestores) {
  HWND a = Active() ? Active() : NewWindow();
  HWND b = NewWindow();
  Tick();
  ASSERT_EQ(Active(), b);
  ClickTab(0);
  EXPECT_EQ(Active(), a);
  EXPECT_EQ(::SendMessageA(Bar().m_hWnd, TCM_GETCURSEL, 0, 0), 0);
  const bool zoomed = IsZoomed(a);
  ClickTab(0, WM_LBUTTONDBLCLK);
  EXPECT_NE(IsZoomed(a) != FALSE, zoomed);
  ClickTab(0, WM_LBUTTONDBLCLK);
  EXPECT_EQ(IsZoomed(a) != FALSE, zoomed);
}

TEST_F(TabBarTest, DraggingOverATabActivatesItsWindowAndNeverDrops) {
  HWND a = Active() ? Active() : NewWindow();
  HWND b = NewWindow();
  Tick();
  ASSERT_EQ(Active(), b);
  EXPECT_TRUE(Bar().m_dropRegistered);
  RECT r;
  ::SendMessageA(Bar().m_hWnd, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  POINT over = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(Bar().m_hWnd, &over);
  DWORD effect = DROPEFFECT_COPY;
  Bar().m_dropTarget.DragEnter(nullptr, 0, POINTL{over.x, over.y}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(Active(), a);
  effect = DROPEFFECT_COPY;
  Bar().m_dropTarget.DragOver(0, POINTL{over.x, r.bottom + 400}, &effect);  // off the tabs
  EXPECT_EQ(Active(), a);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
}

TEST_F(TabBarTest, AHiddenWindowLosesItsTabAndTheLayoutIsNotRedoneOnEveryTick) {
  HWND a = Active() ? Active() : NewWindow();
  HWND b = NewWindow();
  Tick();
  ASSERT_EQ(Tabs().size(), 2u);
  ShowWindow(a, SW_HIDE);
  Tick();
  EXPECT_EQ(Tabs(), std::vector<std::string>{TitleOf(b)});
  const int layouts = Bar().m_layouts;
  Tick();
  Tick();
  EXPECT_EQ(Bar().m_layouts, layouts);
  ShowWindow(a, SW_SHOWNA);
  Tick();
  EXPECT_EQ(Tabs(), (std::vector<std::string>{TitleOf(b), TitleOf(a)}));  // back at the end
}

TEST_F(TabBarTest, DetachGivesTheWholePaneBackAndAttachTakesItAgain) {
  MdiClientHook& hook = Frame()->m_tabHook;
  HWND client = Frame()->m_hWndMDIClient;
  RECT withTabs;
  GetWindowRect(client, &withTabs);
  ASSERT_TRUE(hook.Detach());
  EXPECT_FALSE(hook.Detach());
  EXPECT_EQ(Bar().m_hWnd, nullptr);
  RECT without;
  GetWindowRect(client, &without);
  EXPECT_GT(without.bottom - without.top, withTabs.bottom - withTabs.top);
  NewWindow();  // the client works on without the hook
  ASSERT_TRUE(hook.Attach(Frame(), TCS_BOTTOM | TCS_MULTILINE | TCS_HOTTRACK));
  EXPECT_FALSE(hook.Attach(Frame(), TCS_BOTTOM));
  EXPECT_GE(Tabs().size(), 1u);
}

}  // namespace
