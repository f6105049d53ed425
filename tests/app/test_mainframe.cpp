// The main frame's settings, placement, bars and Help commands; child frames.
#include "tests/app/app_fixture.h"
#include <climits>
#include <fstream>
#include "app/settings_format.h"
#include "platform/framework/bars.h"
#include "platform/framework/profile_codec.h"
#include "platform/framework/recent.h"
#include "platform/framework/resstr.h"
#include "platform/framework/view.h"

using MainFrameTest = AppFixture;

namespace {
std::vector<std::string> KeysOf(const std::string& text, const std::string& section) {
  std::vector<std::string> keys;
  bool in = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    pos = nl == std::string::npos ? text.size() : nl + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] == '[') {
      in = line == "[" + section + "]";
      continue;
    }
    if (in) keys.push_back(line.substr(0, line.find('=')));
  }
  return keys;
}

std::string Placement(int showCmd, int l, int t, int r, int b) {
  PlacementRecord rec;
  rec.showCmd = showCmd;
  rec.left = l;
  rec.top = t;
  rec.right = r;
  rec.bottom = b;
  std::vector<uint8_t> bytes = EncodePlacement(rec);
  return EncodeProfileBytes(bytes.data(), bytes.size());
}
}  // namespace

TEST_F(MainFrameTest, HandWrittenSettingsComeBackInTheirOrder) {
  const char* values[][2] = {{"AutoKanji", "1"},          {"TabStops", "8"},         {"AutoIndent", "0"},
                             {"Stress", "2"},             {"Directory", "C:\\Work"}, {"FilterIndex", "2"},
                             {"HelpPath", "C:\\h\\x.chm"}, {"Language", "1"},
                             {"Colors", "00FF00,Auto,123456"}, {"Editor", "FFFFFF,000000"}};
  for (auto& kv : values) SetIni("Settings", kv[0], kv[1]);
  SetIni("Settings", "Font", "-20,0,0,0,400,0,0,0,128,3,2,1,49");
  SetIni("Settings", "Font-Family", "IPAGothic");
  ASSERT_TRUE(Start());
  const CSettingsStore& f = Settings();
  EXPECT_TRUE(f.m_autoKanji);
  EXPECT_EQ(f.m_tabStops, 8);
  EXPECT_FALSE(f.m_autoIndent);
  EXPECT_EQ(f.m_stress, 2);
  EXPECT_EQ(f.m_directory, "C:\\Work");
  EXPECT_EQ(f.m_filterIndex, 2);
  EXPECT_EQ(f.m_helpPath, "C:\\h\\x.chm");
  EXPECT_EQ(f.m_macroLanguage, 1);
  EXPECT_EQ(f.m_colors.keyword, 0x00FF00u);
  EXPECT_EQ(f.m_colors.comment, kAutomaticColor);
  EXPECT_EQ(f.m_colors.background, 0x000000u);
  LOGFONTA lf{};
  GetObjectA(Frame()->EditorFont(), sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, -20);
  EXPECT_STREQ(lf.lfFaceName, "IPAGothic");
  Exit();
  app.reset();
  for (auto& kv : values) EXPECT_EQ(Ini("Settings", kv[0]), kv[1]) << kv[0];
  EXPECT_EQ(Ini("Settings", "Font"), "-20,0,0,0,400,0,0,0,128,3,2,1,49");
  EXPECT_EQ(Ini("Settings", "Font-Family"), "IPAGothic");
  EXPECT_EQ(Ini("Settings", "Window").size(), 88u);
}

TEST_F(MainFrameTest, AFreshSettingsFileIsWrittenInOrder) {
  ASSERT_TRUE(Start());
  Exit();
  app.reset();
  std::string text = ReadBytes(IniPath());
  EXPECT_EQ(KeysOf(text, "Settings"),
            (std::vector<std::string>{"Window", "AutoKanji", "TabStops", "AutoIndent", "Stress", "Directory",
                                      "FilterIndex", "HelpPath", "Language", "Font", "Font-Family", "Colors",
                                      "Editor", "OpenMode"}));
  EXPECT_EQ(Ini("Settings", "Colors"), "FF0000,0000C0,808000");
  EXPECT_EQ(Ini("Settings", "Editor"), "000000,FFFFFF");
  EXPECT_EQ(Ini("Settings", "TabStops"), "4");
  EXPECT_EQ(Ini("Settings", "Stress"), "1");
  EXPECT_EQ(Ini("Settings", "Font-Family"), "FixedSys");
  EXPECT_TRUE(KeysOf(text, "Recent File List").empty());
}

TEST_F(MainFrameTest, BadValuesFallBackToDefaultsWithoutAMessage) {
  SetIni("Settings", "Colors", "FF0000,0000C0");
  SetIni("Settings", "Font", "1,2,3,4,5,6,7,8,9,10,11,12");
  SetIni("Settings", "Font-Family", "Nothing");
  SetIni("Settings", "Window", "ZZZZ");
  SetIni("Settings", "TabStops", "abc");
  std::string longDir(5000, 'd');
  SetIni("Settings", "Directory", longDir.c_str());
  ASSERT_TRUE(Start());
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(Settings().m_colors.keyword, 0xFF0000u);
  EXPECT_EQ(Settings().m_tabStops, 1);  // an unparsable integer reads as 0, like the system does, the lowest width allowed
  EXPECT_LT(Settings().m_directory.size(), static_cast<size_t>(MAX_PATH));
  LOGFONTA lf{};
  GetObjectA(Frame()->EditorFont(), sizeof lf, &lf);
  EXPECT_STREQ(lf.lfFaceName, "FixedSys");
}

TEST_F(MainFrameTest, StoredPlacementGivesPositionSizeAndMaximisedStart) {
  SetIni("Settings", "Window", Placement(SW_SHOWMAXIMIZED, 40, 30, 840, 630).c_str());
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->m_nCmdShow, SW_SHOWMAXIMIZED);
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(Frame()->m_hWnd, &wp);
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(wp.rcNormalPosition.left, 40);
  EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 800);
  EXPECT_EQ(wp.rcNormalPosition.bottom - wp.rcNormalPosition.top, 600);
}

namespace {
RECT WorkAreaOf(HWND hwnd) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi);
  return mi.rcWork;
}
}  // namespace

TEST_F(MainFrameTest, AStoredRectangleOffEveryMonitorComesOntoTheNearestWorkArea) {
  SetIni("Settings", "Window", Placement(SW_SHOWNORMAL, 5000, 4000, 5800, 4600).c_str());
  ASSERT_TRUE(Start());
  RECT r, work = WorkAreaOf(Frame()->m_hWnd);
  GetWindowRect(Frame()->m_hWnd, &r);
  EXPECT_EQ(r.right - r.left, 800);
  EXPECT_EQ(r.bottom - r.top, 600);
  EXPECT_GE(r.left, work.left);
  EXPECT_GE(r.top, work.top);
  EXPECT_LE(r.right, work.right);
  EXPECT_LE(r.bottom, work.bottom);
  Exit();
  app.reset();
  // Larger than the screen and left of it: moved and cut to the work area.
  SetIni("Settings", "Window", Placement(SW_SHOWNORMAL, -9000, 10, -9000 + 4000, 3000).c_str());
  ASSERT_TRUE(Start());
  GetWindowRect(Frame()->m_hWnd, &r);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.right, work.right);
  EXPECT_EQ(r.bottom - r.top, work.bottom - work.top);
}

TEST_F(MainFrameTest, ARectangleTooWideForItsNumbersGivesTheDefaultPlacement) {
  for (auto rect : {std::vector<int>{INT_MIN, 0, 100, 600}, std::vector<int>{0, INT_MIN + 5, 800, INT_MAX}}) {
    SetIni("Settings", "Window", Placement(SW_SHOWMAXIMIZED, rect[0], rect[1], rect[2], rect[3]).c_str());
    ASSERT_TRUE(Start());
    EXPECT_EQ(app->m_nCmdShow, SW_SHOWNORMAL);
    RECT r, visible, work = WorkAreaOf(Frame()->m_hWnd);
    GetWindowRect(Frame()->m_hWnd, &r);
    EXPECT_GT(r.right - r.left, 100);
    EXPECT_GT(r.bottom - r.top, 100);
    EXPECT_TRUE(IntersectRect(&visible, &r, &work));
    Exit();
    app.reset();
  }
}

TEST_F(MainFrameTest, WithoutPlacementTheSystemDefaultIsUsed) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->m_nCmdShow, SW_SHOWNORMAL);
  EXPECT_FALSE(IsZoomed(Frame()->m_hWnd));
  RECT r;
  GetWindowRect(Frame()->m_hWnd, &r);
  EXPECT_GT(r.right - r.left, 100);
}

TEST_F(MainFrameTest, HelpCommandsAreEnabledByPathAndSample) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(Frame()->IsCommandEnabled(ID_HELP_ONLINE));
  Settings().m_helpPath = "c:\\help.chm";
  EXPECT_TRUE(Frame()->IsCommandEnabled(ID_HELP_ONLINE));
  EXPECT_FALSE(Frame()->IsCommandEnabled(ID_HELP_WSH_VERSION));
  CreateDirectoryA((dir / "sample").c_str(), nullptr);
  WriteBytes(dir / "sample\\version.wsf", "<job></job>");
  EXPECT_TRUE(Frame()->IsCommandEnabled(ID_HELP_WSH_VERSION));  // asked each time
  // Options and Font have their dialogs.
  EXPECT_TRUE(Frame()->IsCommandEnabled(ID_VIEW_OPTIONS));
  EXPECT_TRUE(Frame()->IsCommandEnabled(ID_VIEW_FONT));
}

TEST_F(MainFrameTest, ReadmeThatCannotBeOpenedIsReported) {
  ASSERT_TRUE(Start());
  Command(ID_HELP_README);
  ASSERT_EQ(ui.shown.size(), 1u);
  std::string text = ui.shown[0].text;
  EXPECT_EQ(text.rfind("'", 0), 0u);
  EXPECT_NE(text.find("ruvelto.html' を開くことができません。(Error:"), std::string::npos) << text;
  EXPECT_EQ(ui.shown[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
}

namespace {
std::vector<std::string> g_helpCalls;
HWND g_helpWindow = nullptr;
HWND RecordHelpCall(const char* path) {
  g_helpCalls.push_back(path);
  return g_helpWindow;
}
}  // namespace

// The help system builds the file's name in buffers of MAX_PATH characters,
// with the system's help folder in front of a file it does not find.
TEST_F(MainFrameTest, AHelpPathTheHelpSystemCannotTakeIsRefusedBeforeTheCall) {
  char windows[MAX_PATH];
  const size_t room = MAX_PATH - 1 - GetWindowsDirectoryA(windows, MAX_PATH) - strlen("\\help\\");
  const std::string longest = "C:\\" + std::string(room - 7, 'h') + ".chm";
  const std::string tooLong = "C:\\" + std::string(room - 6, 'h') + ".chm";
  SetIni("Settings", "HelpPath", tooLong.c_str());
  ASSERT_TRUE(Start());
  ASSERT_EQ(Settings().m_helpPath, tooLong);
  auto viewer = CMainFrame::s_showHelpTopic;
  CMainFrame::s_showHelpTopic = &RecordHelpCall;
  g_helpCalls.clear();
  g_helpWindow = Frame()->m_hWnd;  // any window: the viewer came up
  Command(ID_HELP_ONLINE);
  EXPECT_TRUE(g_helpCalls.empty());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "'" + tooLong + "' を開くことができません。(Error:206)");
  EXPECT_EQ(ui.shown[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
  Settings().m_helpPath = longest;
  Command(ID_HELP_ONLINE);
  EXPECT_EQ(g_helpCalls, std::vector<std::string>{longest});
  EXPECT_EQ(ui.shown.size(), 1u);
  // A viewer that does not come up is reported the same way.
  g_helpWindow = nullptr;
  Settings().m_helpPath = "C:\\nowhere\\x.chm";
  Command(ID_HELP_ONLINE);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[1].text.rfind("'C:\\nowhere\\x.chm' を開くことができません。(Error:", 0), 0u);
  CMainFrame::s_showHelpTopic = viewer;
}

// The console runs' wrappers live in the temporary folder (test_script_commands):
// a batch file beside the program is not the program's to remove.
TEST_F(MainFrameTest, ABatchFileBesideTheProgramIsLeftAtExit) {
  WriteBytes(dir / "__script.bat", "@echo off\r\n");
  ASSERT_TRUE(Start());
  Exit();
  app.reset();
  EXPECT_TRUE(FileExists(dir / "__script.bat"));
}

TEST_F(MainFrameTest, ToolbarAndStatusBarFollowTheCommandTable) {
  ASSERT_TRUE(Start());
  auto* tb = dynamic_cast<CToolBar*>(CWnd::FromHandle(GetDlgItem(Frame()->m_hWnd, ID_VIEW_TOOLBAR)));
  ASSERT_NE(tb, nullptr);
  std::vector<UINT> ids;
  for (int i = 0; i < tb->GetButtonCount(); ++i) ids.push_back(tb->GetItemID(i));
  EXPECT_EQ(ids, (std::vector<UINT>{57600, 57601, 57603, 0, 57635, 57634, 57637, 57643, 57644, 0, 32771, 32775,
                                    32776, 0, 57607, 0, 57664}));
  EXPECT_TRUE(tb->IsButtonEnabled(ID_FILE_NEW));
  EXPECT_TRUE(tb->IsButtonEnabled(ID_APP_ABOUT));
  EXPECT_FALSE(tb->IsButtonEnabled(ID_SCRIPT_RUN));  // no handler yet
  // Tooltip of the run button.
  NMTTDISPINFOA di{};
  di.hdr.hwndFrom = tb->m_hWnd;
  di.hdr.idFrom = ID_SCRIPT_RUN;
  di.hdr.code = TTN_GETDISPINFOA;
  ::SendMessageA(Frame()->m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&di));
  EXPECT_STREQ(di.lpszText, "実行");

  CStatusBar* sb = Frame()->GetMessageBar();
  ASSERT_EQ(sb->GetPaneCount(), 6);
  EXPECT_EQ(sb->GetItemID(1), static_cast<UINT>(ID_INDICATOR_LINE));
  EXPECT_EQ(sb->GetItemID(2), static_cast<UINT>(ID_INDICATOR_KANA));
  EXPECT_EQ(sb->GetItemID(5), static_cast<UINT>(ID_INDICATOR_SCRL));
  EXPECT_GT(sb->GetPaneWidth(1), sb->GetPaneWidth(3));  // " 行: 8888" is wider than "CAP"

  // The View menu hides and shows the bars.
  Command(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(tb->IsWindowVisible());
  Command(ID_VIEW_TOOLBAR);
  EXPECT_TRUE(tb->IsWindowVisible());
  Command(ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(sb->IsWindowVisible());
}

namespace {
// Status-bar messages that change what the bar shows, seen by a hook.
HWND g_watched = nullptr;
int g_barChanges = 0;
LRESULT CALLBACK CountBarChanges(int code, WPARAM wp, LPARAM lp) {
  auto* m = reinterpret_cast<CWPSTRUCT*>(lp);
  if (code == HC_ACTION && m->hwnd == g_watched && (m->message == SB_SETPARTS || m->message == SB_SETTEXTA))
    ++g_barChanges;
  return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST_F(MainFrameTest, IdleStepsLeaveAnUnchangedStatusBarAlone) {
  ASSERT_TRUE(Start());
  CStatusBar* sb = Frame()->GetMessageBar();
  g_watched = sb->m_hWnd;
  g_barChanges = 0;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountBarChanges, nullptr, GetCurrentThreadId());
  for (int i = 0; i < 5; ++i) app->OnIdle(0);
  int idle = g_barChanges;
  // A wider main window moves the indicator panes with the bar's right edge.
  int before[6] = {}, after[6] = {};
  ::SendMessageA(sb->m_hWnd, SB_GETPARTS, 6, reinterpret_cast<LPARAM>(before));
  RECT r;
  GetWindowRect(Frame()->m_hWnd, &r);
  SetWindowPos(Frame()->m_hWnd, nullptr, 0, 0, r.right - r.left + 60, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
  ::SendMessageA(sb->m_hWnd, SB_GETPARTS, 6, reinterpret_cast<LPARAM>(after));
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(idle, 0);
  EXPECT_EQ(after[4] - before[4], 60);
  EXPECT_EQ(after[0] - before[0], 60);
  EXPECT_EQ(sb->GetPaneText(0), "レディ");
}

TEST_F(MainFrameTest, TheToolbarImagesGoWithTheWindow) {
  ASSERT_TRUE(Start());
  HWND tb = GetDlgItem(Frame()->m_hWnd, ID_VIEW_TOOLBAR);
  auto images = reinterpret_cast<HIMAGELIST>(::SendMessageA(tb, TB_GETIMAGELIST, 0, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 13);
  Exit();
  EXPECT_EQ(ImageList_GetImageCount(images), 0);  // no longer an image list
}

TEST_F(MainFrameTest, ChildWindowsAreAlwaysMaximised) {
  ASSERT_TRUE(Start());
  CMDIChildWnd* first = Frame()->MDIGetActive();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(IsZoomed(first->m_hWnd));
  // Maximised the MDI way: the child's caption lies outside the client area.
  RECT mdi, child;
  GetClientRect(Frame()->m_hWndMDIClient, &mdi);
  GetClientRect(first->m_hWnd, &child);
  EXPECT_EQ(child.right, mdi.right);
  EXPECT_EQ(child.bottom, mdi.bottom);
  POINT origin{0, 0};
  ClientToScreen(first->m_hWnd, &origin);
  ScreenToClient(Frame()->m_hWndMDIClient, &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  ::SendMessageA(Frame()->m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(first->m_hWnd), 0);
  PumpMessages();
  EXPECT_FALSE(IsZoomed(first->m_hWnd));
  // The restored placement was kept at the maximised size from 0,0.
  RECT client, restored;
  GetClientRect(Frame()->m_hWndMDIClient, &client);
  GetWindowRect(first->m_hWnd, &restored);
  MapWindowPoints(nullptr, Frame()->m_hWndMDIClient, reinterpret_cast<POINT*>(&restored), 2);
  EXPECT_LE(restored.left, 0);
  EXPECT_GE(restored.right - restored.left, client.right);
  Command(ID_FILE_NEW);
  CMDIChildWnd* second = Frame()->MDIGetActive();
  ASSERT_NE(second, first);
  EXPECT_TRUE(IsZoomed(second->m_hWnd));
}

namespace {
std::vector<HWND> VisibleChildren(HWND client) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (IsWindowVisible(c)) out.push_back(c);
  return out;
}
}  // namespace

// A file too large to open, and a recent file that is gone: the message comes
// while the open windows are as they were, and they stay so.
TEST_F(MainFrameTest, AFailedOpenLeavesTheOtherWindowsAsTheyWere) {
  WriteBytes(dir / "big.js", std::string(1048576, 'a'));
  ASSERT_TRUE(Start());
  app->GetRecentFileList()->Add(dir / "gone.js");
  CMDIChildWnd* first = Frame()->MDIGetActive();
  ASSERT_NE(first, nullptr);
  const HWND client = Frame()->m_hWndMDIClient, firstWnd = first->m_hWnd;
  ASSERT_TRUE(IsZoomed(firstWnd));
  const std::string title = Frame()->GetWindowText();
  ASSERT_NE(title.find("無題1"), std::string::npos) << title;
  RECT placed;
  GetWindowRect(firstWnd, &placed);
  auto unchanged = [&](const char* when) {
    SCOPED_TRACE(when);
    EXPECT_EQ(VisibleChildren(client), std::vector<HWND>{firstWnd});
    EXPECT_EQ(Frame()->MDIGetActive(), first);
    EXPECT_TRUE(IsZoomed(firstWnd));
    EXPECT_EQ(Frame()->GetWindowText(), title);
    RECT now;
    GetWindowRect(firstWnd, &now);
    EXPECT_TRUE(EqualRect(&now, &placed));
  };
  int messages = 0;
  ui.whileShown = [&](const MessageBoxCall&) {
    ++messages;
    unchanged("while the message is shown");
  };
  EXPECT_EQ(app->OpenDocumentFile((dir / "big.js").c_str()), nullptr);
  PumpMessages();
  unchanged("after a file too large");
  Command(ID_FILE_MRU_FILE1);
  unchanged("after a recent file that is gone");
  EXPECT_EQ(messages, 2);
  EXPECT_EQ(GetWindow(client, GW_CHILD), firstWnd);
  EXPECT_EQ(GetWindow(firstWnd, GW_HWNDNEXT), nullptr);  // no window left behind
  EXPECT_EQ(Docs().size(), 1u);
}

TEST_F(MainFrameTest, TheMainTitleNamesTheActiveDocumentMaximisedOrNot) {
  ASSERT_TRUE(Start());
  Command(ID_FILE_NEW);
  HWND client = Frame()->m_hWndMDIClient, child = Frame()->MDIGetActive()->m_hWnd;
  EXPECT_EQ(Frame()->GetWindowText(), "Ruvelto - [無題2]");
  ::SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
  PumpMessages();
  EXPECT_EQ(Frame()->GetWindowText(), "Ruvelto - 無題2");
  ::SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
  PumpMessages();
  EXPECT_EQ(Frame()->GetWindowText(), "Ruvelto - [無題2]");
  Command(ID_WINDOW_CLOSE_ALL);
  EXPECT_EQ(Frame()->GetWindowText(), "Ruvelto");
}

// A button's prompt stays only while the pointer is over the button, enabled
// or not.
TEST_F(MainFrameTest, AToolbarPromptGoesWhenThePointerLeavesTheButton) {
  ASSERT_TRUE(Start());
  HWND tb = GetDlgItem(Frame()->m_hWnd, ID_VIEW_TOOLBAR);
  CStatusBar* sb = Frame()->GetMessageBar();
  auto moveTo = [&](int x, int y) {
    ::SendMessageA(tb, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PumpMessages();
  };
  for (UINT id : {static_cast<UINT>(ID_FILE_NEW), static_cast<UINT>(ID_SCRIPT_RUN)}) {
    SCOPED_TRACE(id);
    RECT r;
    ::SendMessageA(tb, TB_GETRECT, id, reinterpret_cast<LPARAM>(&r));
    std::string prompt = LoadResString(id).substr(0, LoadResString(id).find('\n'));
    moveTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(sb->GetPaneText(0), prompt);
    RECT bar;
    GetClientRect(tb, &bar);
    moveTo(bar.right - 2, (r.top + r.bottom) / 2);  // the bar's empty end
    EXPECT_EQ(sb->GetPaneText(0), "レディ");
    moveTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::SendMessageA(tb, WM_MOUSELEAVE, 0, 0);
    PumpMessages();
    EXPECT_EQ(sb->GetPaneText(0), "レディ");
  }
  EXPECT_FALSE(Frame()->IsCommandEnabled(ID_SCRIPT_RUN));
}

namespace {
int g_menuLoops = 0;
LRESULT CALLBACK EndMenuLoops(int code, WPARAM wp, LPARAM lp) {
  auto* m = reinterpret_cast<CWPSTRUCT*>(lp);
  if (code == HC_ACTION && m->message == WM_ENTERMENULOOP) {
    ++g_menuLoops;  // and out of it again, so that the test goes on
    PostMessageA(m->hwnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(m->hwnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// One keyboard message as the message loop would take it, with Alt's state.
void Key(CWinApp* app, HWND to, UINT message, WPARAM key, LPARAM lp, bool altDown) {
  BYTE state[256] = {};
  if (altDown) state[VK_MENU] = 0x80;
  SetKeyboardState(state);
  MSG msg{to, message, key, lp, 0, {}};
  if (!app->PreTranslateMessage(&msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  PumpMessages();
}
}  // namespace

// Alt+Backspace is an accelerator (undo); releasing Alt afterwards must not
// put the menu bar into keyboard mode, where the next keys would go.
TEST_F(MainFrameTest, AltBackspaceLeavesTheKeysWithTheView) {
  ASSERT_TRUE(Start());
  CView* view = Frame()->MDIGetActive()->GetActiveView();
  ASSERT_NE(view, nullptr);
  HWND v = view->m_hWnd;
  SetFocus(v);
  Key(app.get(), v, WM_CHAR, 'a', 0x001E0001, false);
  const LPARAM alt = 0x20000000;
  g_menuLoops = 0;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, EndMenuLoops, nullptr, GetCurrentThreadId());
  // As the X11 driver delivers it: Alt comes up before Backspace.
  Key(app.get(), v, WM_SYSKEYDOWN, VK_LMENU, alt | 0x00380001, true);
  Key(app.get(), v, WM_SYSKEYDOWN, VK_BACK, alt | 0x000E0001, true);
  Key(app.get(), v, WM_KEYUP, VK_LMENU, 0xC0380001, false);
  Key(app.get(), v, WM_KEYUP, VK_BACK, 0xC00E0001, false);
  Key(app.get(), v, WM_CHAR, 'x', 0x002D0001, false);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(g_menuLoops, 0);
  EXPECT_EQ(GetFocus(), v);
  int n = GetWindowTextLengthA(v);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(v, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  EXPECT_EQ(text, "x");  // "a" undone, "x" typed into the view
}
