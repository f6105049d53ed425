// Menus, accelerators, string table, command routing and the application's
// commands, driven through the real main window.
#include "tests/app/app_fixture.h"
#include <set>
#include "app/aboutdlg.h"
#include "platform/framework/bars.h"
#include "platform/framework/dialog.h"
#include "platform/framework/doctempl.h"
#include "platform/framework/resstr.h"
#include "platform/framework/view.h"
#include "resources/version.h"
#include "views/findreplace.h"

using CommandTest = AppFixture;

namespace {
std::vector<std::string> Popup(HMENU bar, int index) { return MenuItemTexts(GetSubMenu(bar, index)); }
}  // namespace

TEST_F(CommandTest, MenuBarsHoldEveryItemInOrder) {
  HMENU m128 = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
  HMENU m129 = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(129));
  EXPECT_EQ(MenuItemTexts(m128),
            (std::vector<std::string>{">ファイル(&F)", ">編集(&E)", ">表示(&V)", ">マクロ(&M)", ">ヘルプ(&H)"}));
  EXPECT_EQ(Popup(m128, 0), (std::vector<std::string>{"新規作成(&N)\tCtrl+N", "開く(&O)...\tCtrl+O", "-",
                                                      "プリンタの設定(&R)...", "カラー印刷(&L)", "-", "最近使ったファイル", "-",
                                                      "アプリケーションの終了(&X)"}));
  EXPECT_EQ(MenuItemIds(GetSubMenu(m128, 0)),
            (std::vector<UINT>{57600, 57601, 0, 57606, 32800, 0, 57616, 0, 57665}));
  EXPECT_EQ(MenuItemIds(GetSubMenu(m128, 1)), (std::vector<UINT>{57634, 57642, 0, 32801, 32802, 32803}));
  EXPECT_EQ(Popup(m128, 4), (std::vector<std::string>{"お読みください(&R)", "Windows Script ドキュメント(&D)",
                                                      "オンライン ヘルプ(&H)", "-", "WSH のバージョン情報(&V)", "-",
                                                      "バージョン情報(&A)..."}));
  EXPECT_EQ(MenuItemTexts(GetSubMenu(GetSubMenu(m128, 3), 0)),
            (std::vector<std::string>{"JScript(&J)", "VBScript(&V)"}));

  EXPECT_EQ(MenuItemTexts(m129),
            (std::vector<std::string>{">ファイル(&F)", ">編集(&E)", ">表示(&V)", ">コマンド(&C)", ">マクロ(&M)",
                                      ">ウィンドウ(&W)", ">ヘルプ(&H)"}));
  EXPECT_EQ(MenuItemIds(GetSubMenu(m129, 0)),
            (std::vector<UINT>{57600, 57601, 57602, 0, 57603, 57604, 32779, 0, static_cast<UINT>(-1), 0, 57607,
                               57609, 57606, 32800, 0, 57616, 0, 57665}));
  EXPECT_EQ(MenuItemTexts(GetSubMenu(GetSubMenu(m129, 0), 8)),
            (std::vector<std::string>{"日本語 （シフトJIS）", "日本語 （EUC）", "日本語 （JIS）", "-",
                                      "Unicode （UTF-8）"}));
  EXPECT_EQ(MenuItemIds(GetSubMenu(GetSubMenu(m129, 0), 8)), (std::vector<UINT>{32790, 32792, 32793, 0, 32791}));
  EXPECT_EQ(MenuItemIds(GetSubMenu(m129, 1)),
            (std::vector<UINT>{57643, 57644, 0, 57635, 57634, 57637, 57632, 0, 57642, 0, 57636, 57640, 32789, 57641,
                               32801, 32802, 32803, 0, 32782}));
  EXPECT_EQ(Popup(m129, 1)[13], "置換(&E)...\tCtrl+H");
  EXPECT_EQ(Popup(m129, 3), (std::vector<std::string>{"既定のホストで実行(&R)\tF7", "-", "WScript.exeで実行(&W)...",
                                                      "CScript.exeで実行(&C)...",
                                                      "CScript.exe で実行し出力を表示(&O)\tShift+F7",
                                                      "実行中のスクリプトを中止(&T)\tCtrl+Break", "-",
                                                      "エンコード ファイル出力(&E)", "-",
                                                      "構文チェック(&K)\tCtrl+F7", "入力中に構文をチェック(&Y)"}));
  EXPECT_EQ(MenuItemIds(GetSubMenu(m129, 3)).back(), 32805u);
  EXPECT_EQ(MenuItemIds(GetSubMenu(m129, 4)), (std::vector<UINT>{32796, 32785, 0, static_cast<UINT>(-1), 0}));
  EXPECT_EQ(Popup(m129, 5), (std::vector<std::string>{"すべて閉じる(&L)", "-", "重ねて表示(&C)", "上下に並べて表示(&H)",
                                                      "左右に並べて表示(&T)", "アイコンの整列(&A)"}));
  EXPECT_EQ(MenuItemIds(GetSubMenu(m129, 5)), (std::vector<UINT>{32778, 0, 57650, 57651, 57652, 57649}));
  EXPECT_EQ(Popup(m129, 1)[14], "ファイル内検索(&I)...\tCtrl+Shift+F");
  EXPECT_EQ(Popup(m129, 2), Popup(m128, 2));
  EXPECT_EQ(Popup(m129, 6), Popup(m128, 4));
  DestroyMenu(m128);
  DestroyMenu(m129);
}

TEST_F(CommandTest, AcceleratorTableMapsEveryKey) {
  HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
  ASSERT_NE(table, nullptr);
  ACCEL keys[64];
  int n = CopyAcceleratorTableA(table, keys, 64);
  struct Want { BYTE mods; WORD key; WORD cmd; };
  const Want want[] = {
      {FCONTROL, 'A', 57642}, {FCONTROL, 'C', 57634}, {FCONTROL, 'F', 57636},
      {FCONTROL | FSHIFT, 'F', 32801}, {FCONTROL, 'G', 32782},
      {FCONTROL, 'H', 57641}, {FCONTROL, 'N', 57600}, {FCONTROL, 'O', 57601}, {FCONTROL, 'P', 57607},
      {FCONTROL, 'S', 57603}, {FCONTROL, 'V', 57637}, {FALT, VK_BACK, 57643}, {FCONTROL, VK_DELETE, 32799},
      {FSHIFT, VK_DELETE, 57635}, {FCONTROL | FSHIFT, VK_DELETE, 32798}, {0, VK_F3, 57640},
      {FSHIFT, VK_F3, 32789}, {0, VK_F6, 57680}, {FSHIFT, VK_F6, 57681}, {0, VK_F7, 32771}, {FCONTROL, VK_F7, 32804},
      {FSHIFT, VK_F7, 32810}, {FCONTROL, VK_CANCEL, 32811}, {0, VK_F8, 32802}, {FSHIFT, VK_F8, 32803},
      {FCONTROL, VK_INSERT, 57634}, {FSHIFT, VK_INSERT, 57637}, {FCONTROL, 'X', 57635}, {FCONTROL, 'Y', 57644},
      {FCONTROL, 'Z', 57643}};
  ASSERT_EQ(n, static_cast<int>(sizeof want / sizeof want[0]));
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(keys[i].fVirt & ~FNOINVERT, FVIRTKEY | want[i].mods);
    EXPECT_EQ(keys[i].key, want[i].key);
    EXPECT_EQ(keys[i].cmd, want[i].cmd);
  }
  DestroyAcceleratorTable(table);
}

TEST_F(CommandTest, StringTableHoldsPromptsTooltipsAndIndicators) {
  EXPECT_EQ(LoadResString(32771), "既定のホストでスクリプトを実行\n実行");
  EXPECT_EQ(LoadResString(57604), "作業中のファイルを新しい名前で保存\n名前をつけて保存");
  EXPECT_EQ(LoadResString(57618), "指定のファイルを開く");
  EXPECT_EQ(LoadResString(59143), " 行: 8888");
  EXPECT_EQ(LoadResString(57345), "レディ");
  EXPECT_EQ(LoadResString(57344), "Ruvelto");
  EXPECT_EQ(LoadResString(129), "\n無題\n\nWindows スクリプト ファイル (*.wsf)\n.wsf\n\n");
  EXPECT_EQ(LoadResString(61449), "'%s' を開くことができません。(Error:%lu)");
}

TEST_F(CommandTest, HighlightedItemShowsItsPromptInTheStatusBar) {
  ASSERT_TRUE(Start());
  CStatusBar* bar = Frame()->GetMessageBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetPaneText(0), "レディ");
  HMENU command = GetSubMenu(GetMenu(Frame()->m_hWnd), 3);
  ::SendMessageA(Frame()->m_hWnd, WM_MENUSELECT, MAKEWPARAM(ID_SCRIPT_RUN, MF_STRING), reinterpret_cast<LPARAM>(command));
  EXPECT_EQ(bar->GetPaneText(0), "既定のホストでスクリプトを実行");
  ::SendMessageA(Frame()->m_hWnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(bar->GetPaneText(0), "レディ");
}

TEST_F(CommandTest, WithoutADocumentOnlyFrameAndApplicationCommandsAreEnabled) {
  SetIni("Settings", "OpenMode", "2");
  ASSERT_TRUE(Start());
  for (UINT id : {57603u, 57604u, 57602u, 57643u, 57637u, 57640u, 32771u, 32790u})
    EXPECT_FALSE(Frame()->IsCommandEnabled(id)) << id;
  for (UINT id : {57600u, 57601u, 57606u, 57664u, 57665u, 32777u, 32784u})
    EXPECT_TRUE(Frame()->IsCommandEnabled(id)) << id;
  // The File menu's items are greyed by the enable queries when it opens.
  HMENU file = GetSubMenu(GetMenu(Frame()->m_hWnd), 0);
  ::SendMessageA(Frame()->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
  EXPECT_TRUE(GetMenuState(file, ID_FILE_MRU_FILE1, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(GetMenuState(file, ID_FILE_NEW, MF_BYCOMMAND) & MF_GRAYED);
  // Ctrl+S and F7 reach no handler: nothing is opened or shown.
  MSG msg{Frame()->m_hWnd, WM_KEYDOWN, 'S', 0, 0, {}};
  BYTE state[256] = {};
  state[VK_CONTROL] = 0x80;
  SetKeyboardState(state);
  app->PreTranslateMessage(&msg);  // translated or not: nothing may run
  state[VK_CONTROL] = 0;
  SetKeyboardState(state);
  PumpMessages();
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(ui.fileDialogs, 0);
  EXPECT_TRUE(Docs().empty());
}

TEST_F(CommandTest, CtrlNThroughTheAcceleratorsCreatesNumberedDocuments) {
  ASSERT_TRUE(Start());
  BYTE state[256] = {};
  state[VK_CONTROL] = 0x80;
  SetKeyboardState(state);
  MSG msg{Frame()->m_hWnd, WM_KEYDOWN, 'N', 0, 0, {}};
  EXPECT_TRUE(app->PreTranslateMessage(&msg));
  state[VK_CONTROL] = 0;
  SetKeyboardState(state);
  PumpMessages();
  EXPECT_EQ(Titles(), (std::vector<std::string>{"無題1", "無題2"}));
  // The document's commands are now reachable.
  EXPECT_TRUE(Frame()->IsCommandEnabled(ID_FILE_SAVE));
  EXPECT_TRUE(Frame()->IsCommandEnabled(ID_FILE_CLOSE));
}

TEST_F(CommandTest, CloseAllKeepsOnlyTheDocumentWhoseSaveWasCancelled) {
  ASSERT_TRUE(Start());
  Command(ID_FILE_NEW);
  Command(ID_FILE_NEW);
  for (CDocument* d : Docs()) d->SetModifiedFlag(TRUE);
  ui.answers = {IDNO, IDCANCEL, IDNO};
  Command(ID_WINDOW_CLOSE_ALL);
  ASSERT_EQ(ui.shown.size(), 3u);
  EXPECT_EQ(ui.shown[0].text, "無題1 への変更を保存しますか?");
  EXPECT_EQ(ui.shown[1].text, "無題2 への変更を保存しますか?");
  EXPECT_EQ(ui.shown[0].type & 0xF, static_cast<UINT>(MB_YESNOCANCEL));
  EXPECT_EQ(Titles(), std::vector<std::string>{"無題2"});
}

TEST_F(CommandTest, SaveAllWithNothingModifiedDoesNothing) {
  ASSERT_TRUE(Start());
  Command(ID_FILE_NEW);
  Command(ID_FILE_SAVE_ALL);
  EXPECT_EQ(ui.fileDialogs, 0);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(CommandTest, SaveAllAsksForANameForEachModifiedUntitledDocument) {
  ASSERT_TRUE(Start());
  Command(ID_FILE_NEW);
  Docs()[1]->SetModifiedFlag(TRUE);
  Command(ID_FILE_SAVE_ALL);  // cancelled in the dialog: the walk goes on, nothing changes
  EXPECT_EQ(ui.fileDialogs, 1);
  EXPECT_TRUE(Docs()[1]->IsModified());
  EXPECT_EQ(Docs().size(), 2u);
}

TEST_F(CommandTest, OpenUsesTheScriptFilterAndRemembersTheFolder) {
  TempDir other;
  WriteBytes(other / "pick.hta", "<html></html>\r\n");
  SetIni("Settings", "Directory", other.path().c_str());
  SetIni("Settings", "OpenMode", "2");
  ASSERT_TRUE(Start());
  std::string filter, defExt, cwd;
  DWORD flags = 0;
  ui.onFile = [&](CFileDialog& dlg) {
    EXPECT_TRUE(dlg.IsOpenDialog());
    const char* f = dlg.m_ofn.lpstrFilter;
    while (*f) {
      filter += f;
      filter += '|';
      f += strlen(f) + 1;
    }
    defExt = dlg.m_ofn.lpstrDefExt ? dlg.m_ofn.lpstrDefExt : "";
    flags = dlg.m_ofn.Flags;
    EXPECT_STREQ(dlg.m_ofn.lpstrFile, "");
    char buf[MAX_PATH];
    GetCurrentDirectoryA(sizeof buf, buf);
    cwd = buf;
    dlg.SetChosenPath(other / "pick.hta");
    return IDOK;
  };
  Command(ID_FILE_OPEN);
  EXPECT_EQ(filter, "スクリプト ファイル (*.wsf;*.js;*.vbs;*.hta)|*.wsf;*.js;*.vbs;*.hta|すべてのファイル (*.*)|*.*|");
  EXPECT_EQ(defExt, "wsf");
  EXPECT_TRUE(flags & OFN_HIDEREADONLY);
  EXPECT_TRUE(flags & OFN_FILEMUSTEXIST);
  EXPECT_FALSE(flags & OFN_ALLOWMULTISELECT);
  EXPECT_EQ(lstrcmpiA(cwd.c_str(), other.path().c_str()), 0);
  EXPECT_EQ(Titles(), std::vector<std::string>{"pick.hta"});
  EXPECT_EQ(lstrcmpiA(Settings().m_directory.c_str(), other.path().c_str()), 0);
  // Opening the same file again activates it instead of opening it twice.
  Command(ID_FILE_OPEN);
  EXPECT_EQ(Docs().size(), 1u);
  // A cancelled dialog changes nothing.
  ui.onFile = nullptr;
  Command(ID_FILE_OPEN);
  EXPECT_EQ(Docs().size(), 1u);
}

TEST_F(CommandTest, AboutShowsDialog100WithTheBuildLine) {
  ASSERT_TRUE(Start());
  std::string caption, build;
  bool showsVersion = false;
  RECT box{}, main{};
  ui.onDialog = [&](CDialog& dlg) {
    caption = dlg.GetWindowText();
    build = dlg.GetDlgItemText(IDC_BUILD);
    for (HWND child = GetWindow(dlg.m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char text[64] = "";
      GetWindowTextA(child, text, sizeof text);
      showsVersion |= strcmp(text, RV_VERSION_TEXT) == 0;
    }
    GetWindowRect(dlg.m_hWnd, &box);
    return IDOK;
  };
  GetWindowRect(Frame()->m_hWnd, &main);
  Command(ID_APP_ABOUT);
  EXPECT_EQ(ui.dialogsShown, std::vector<UINT>{IDD_ABOUTBOX});
  EXPECT_EQ(caption, "バージョン情報");
  EXPECT_TRUE(showsVersion) << RV_VERSION_TEXT;
  EXPECT_EQ(build, CAboutDlg::BuildLine());
  EXPECT_EQ(build.rfind("Build: ", 0), 0u);
  EXPECT_NE(build.find(" @ "), std::string::npos);
  EXPECT_EQ(build.size(), strlen("Build: Dec 07 2026 @ 12:34:56"));
  // Centred on the main window.
  EXPECT_NEAR((box.left + box.right) / 2, (main.left + main.right) / 2, 1);
  EXPECT_NEAR((box.top + box.bottom) / 2, (main.top + main.bottom) / 2, 1);
}

TEST_F(CommandTest, PrinterSetupRunsThePrintSetupDialog) {
  ASSERT_TRUE(Start());
  DWORD flags = 0;
  ui.onCommon = [&](const char* kind, void* data) {
    EXPECT_STREQ(kind, "print");
    flags = static_cast<PRINTDLGA*>(data)->Flags;
    return IDCANCEL;
  };
  Command(ID_FILE_PRINT_SETUP);
  EXPECT_TRUE(flags & PD_PRINTSETUP);
}

TEST_F(CommandTest, WindowMenuArrangesAndListsTheDocumentWindows) {
  ASSERT_TRUE(Start());
  Command(ID_FILE_NEW);
  Command(ID_FILE_NEW);
  HWND client = Frame()->m_hWndMDIClient;
  Command(ID_WINDOW_TILE_VERT);
  std::vector<RECT> rects;
  for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    rects.push_back(r);
  }
  ASSERT_EQ(rects.size(), 3u);
  // Side by side: three windows with different left edges and the same top.
  EXPECT_NE(rects[0].left, rects[1].left);
  EXPECT_EQ(rects[0].top, rects[1].top);
  Command(ID_WINDOW_TILE_HORZ);
  RECT a, b;
  GetWindowRect(GetWindow(client, GW_CHILD), &a);
  GetWindowRect(GetWindow(GetWindow(client, GW_CHILD), GW_HWNDNEXT), &b);
  EXPECT_NE(a.top, b.top);
  Command(ID_WINDOW_CASCADE);
  GetWindowRect(GetWindow(client, GW_CHILD), &a);
  GetWindowRect(GetWindow(GetWindow(client, GW_CHILD), GW_HWNDNEXT), &b);
  EXPECT_NE(a.top, b.top);
  EXPECT_NE(a.left, b.left);
  // The Window menu lists the three documents after its own items.
  HMENU window = GetSubMenu(GetMenu(Frame()->m_hWnd), 5);
  std::vector<std::string> items = MenuItemTexts(window);
  std::string all;
  for (auto& s : items) all += s + "|";
  EXPECT_NE(all.find("無題1"), std::string::npos) << all;
  EXPECT_NE(all.find("無題3"), std::string::npos) << all;
}

TEST_F(CommandTest, ClosingTheLastDocumentRestoresTheFrameMenu) {
  ASSERT_TRUE(Start());
  ASSERT_EQ(Docs().size(), 1u);
  Command(ID_FILE_CLOSE);
  EXPECT_TRUE(Docs().empty());
  EXPECT_EQ(GetMenu(Frame()->m_hWnd), Frame()->m_hMenuDefault);
}

namespace {
void CollectCommands(HMENU menu, std::vector<UINT>& ids) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      CollectCommands(sub, ids);
      continue;
    }
    UINT id = GetMenuItemID(menu, i);
    // Not the system commands and window entries the MDI client puts in.
    if (id != 0 && id < 0xF000) ids.push_back(id);
  }
}

// Commands meant to have no handler: the framework's pane commands (F6).
const std::set<UINT> kNeverHandled = {57680, 57681};
// Menu items without a status-bar prompt by design: the encodings.
const std::set<UINT> kWithoutPrompt = {32790, 32791, 32792, 32793};
}  // namespace

// With a document open, every item of both menus has its prompt and reaches a
// handler through the command routing, unless it is knowingly without one.
TEST_F(CommandTest, EveryMenuItemHasAPromptAndReachesAHandler) {
  ASSERT_TRUE(Start());
  std::vector<UINT> ids;
  CollectCommands(app->DocTemplates()[0]->GetMenu(), ids);
  CollectCommands(Frame()->m_hMenuDefault, ids);
  ASSERT_GT(ids.size(), 50u);
  for (UINT id : ids) {
    SCOPED_TRACE(id);
    if (!kWithoutPrompt.count(id)) {
      EXPECT_FALSE(LoadResString(id).empty());
    }
    bool routed = Frame()->OnCmdMsg(id, CmdAction::Probe, nullptr);
    EXPECT_TRUE(routed || kNeverHandled.count(id));
  }
}

// Every key of the table in use while a document is open reaches a command
// that is enabled once the document is in the state the command needs.
TEST_F(CommandTest, EveryAcceleratorReachesAnEnabledCommandWithADocumentOpen) {
  ASSERT_TRUE(Start());
  HACCEL table = app->DocTemplates()[0]->GetAccel() ? app->DocTemplates()[0]->GetAccel() : Frame()->m_hAccelTable;
  ACCEL keys[64];
  int n = CopyAcceleratorTableA(table, keys, 64);
  ASSERT_GT(n, 20);
  // Text typed and saved as a script, all of it selected, text on the
  // clipboard, a text to find again.
  CView* active = Frame()->MDIGetActive()->GetActiveView();
  HWND view = active->m_hWnd;
  for (char c : std::string("abc")) ::SendMessageA(view, WM_CHAR, static_cast<WPARAM>(c), 1);
  ASSERT_TRUE(active->GetDocument()->DoSave((dir / "keys.js").c_str()));
  ::SendMessageA(view, EM_SETSEL, 0, -1);
  ::SendMessageA(view, WM_COPY, 0, 0);
  FindReplaceState& find = dynamic_cast<CMyEditView*>(active)->FindState();
  find.findText = "b";
  std::vector<UINT> redoKeys;
  for (int i = 0; i < n; ++i) {
    UINT cmd = keys[i].cmd;
    SCOPED_TRACE(cmd);
    if (kNeverHandled.count(cmd)) continue;
    if (cmd == ID_SCRIPT_STOP) {  // enabled only while a captured run is under way
      EXPECT_FALSE(Frame()->IsCommandEnabled(cmd));
      continue;
    }
    if (cmd == ID_EDIT_REDO) {
      redoKeys.push_back(cmd);
      continue;
    }
    EXPECT_TRUE(Frame()->IsCommandEnabled(cmd));
  }
  find.findText.clear();
  Command(ID_EDIT_UNDO);
  ASSERT_FALSE(redoKeys.empty());
  EXPECT_TRUE(Frame()->IsCommandEnabled(ID_EDIT_REDO));
}
