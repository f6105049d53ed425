// Message boxes shown for real (no responder): who owns them, what they keep
// disabled while up, and that a long path keeps them within the screen.
#include <gtest/gtest.h>
#include <string>
#include "platform/framework/modal.h"

namespace {
struct SeenBox {
  HWND box = nullptr;
  HWND owner = nullptr;
  bool frameEnabled = true;
  bool modelessEnabled = true;
  RECT rect{};
};
SeenBox g_seen;
HWND g_frame = nullptr, g_modeless = nullptr;

BOOL CALLBACK FindBox(HWND h, LPARAM found) {
  char cls[16] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (std::string(cls) == "#32770" && IsWindowVisible(h)) *reinterpret_cast<HWND*>(found) = h;
  return TRUE;
}

// Runs inside the box's own message loop: looks at the box, then presses OK.
void CALLBACK LookAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  KillTimer(nullptr, timer);
  g_seen.box = box;
  g_seen.owner = GetWindow(box, GW_OWNER);
  g_seen.frameEnabled = IsWindowEnabled(g_frame);
  g_seen.modelessEnabled = IsWindowEnabled(g_modeless);
  GetWindowRect(box, &g_seen.rect);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

class RealMessageBox : public ::testing::Test {
 protected:
  void SetUp() override {
    m_saved = GetModalResponder();
    SetModalResponder(nullptr);
    g_seen = SeenBox{};
    g_frame = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
    // A modeless window of the frame (as the find dialog is), the active one.
    g_modeless = CreateWindowExA(0, "STATIC", "find", WS_POPUP | WS_CAPTION | WS_VISIBLE, 60, 60, 200, 100, g_frame,
                                 nullptr, nullptr, nullptr);
    SetActiveWindow(g_modeless);
  }
  void TearDown() override {
    DestroyWindow(g_modeless);
    DestroyWindow(g_frame);
    SetModalResponder(m_saved);
  }
  void Show(const std::string& text) {
    SetTimer(nullptr, 0, 20, LookAndClose);
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION, g_frame);
    ASSERT_NE(g_seen.box, nullptr);
  }

 private:
  ModalResponder* m_saved = nullptr;
};
}  // namespace

TEST_F(RealMessageBox, IsOwnedByTheFrameNotByAModelessWindowAndDisablesBoth) {
  ASSERT_EQ(GetLastActivePopup(g_frame), g_modeless);
  Show("見つかりませんでした。");
  EXPECT_EQ(g_seen.owner, g_frame);
  EXPECT_FALSE(g_seen.frameEnabled);
  EXPECT_FALSE(g_seen.modelessEnabled);
  EXPECT_TRUE(IsWindowEnabled(g_frame));
  EXPECT_TRUE(IsWindowEnabled(g_modeless));
}

TEST_F(RealMessageBox, ALongPathKeepsTheBoxWithinTheScreen) {
  std::string path = "C:\\";
  while (path.size() < 300) path += "WshProjects_2026\\";
  Show(path + "script.wsf");
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(g_frame, MONITOR_DEFAULTTOPRIMARY), &mi);
  EXPECT_LE(g_seen.rect.right - g_seen.rect.left, mi.rcWork.right - mi.rcWork.left);
  EXPECT_GE(g_seen.rect.left, mi.rcMonitor.left);
  EXPECT_LE(g_seen.rect.right, mi.rcMonitor.right);
}
