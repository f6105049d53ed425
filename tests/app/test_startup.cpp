// Start-up and exit of the application object: open mode, command line,
// settings written at exit.
#include "tests/app/app_fixture.h"
#include <shlobj.h>
#include "platform/framework/doctempl.h"
#include "platform/framework/recent.h"

using StartupTest = AppFixture;

TEST_F(StartupTest, FirstStartWithoutSettingsShowsOneUntitledDocument) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Titles(), std::vector<std::string>{"無題1"});
  EXPECT_FALSE(Docs()[0]->IsModified());
  // The document menu is shown while a document is open.
  EXPECT_EQ(GetMenu(Frame()->m_hWnd), app->DocTemplates()[0]->GetMenu());
  EXPECT_TRUE(IsWindowVisible(Frame()->m_hWnd));
  EXPECT_TRUE(FileExists(dir / "macro"));
}

TEST_F(StartupTest, OpenModeTwoWithAFileOpensOnlyThatFile) {
  WriteBytes(dir / "a.js", "var a;\r\n");
  SetIni("Settings", "OpenMode", "2");
  ASSERT_TRUE(Start({dir / "a.js"}));
  EXPECT_EQ(Titles(), std::vector<std::string>{"a.js"});
}

TEST_F(StartupTest, OpenModesWithoutFiles) {
  SetIni("Settings", "OpenMode", "2");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Docs().empty());
  EXPECT_EQ(GetMenu(Frame()->m_hWnd), Frame()->m_hMenuDefault);
  Exit();
  app.reset();

  // Open mode 1 with an empty recent-file list: nothing is opened.
  SetIni("Settings", "OpenMode", "1");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Docs().empty());
  Exit();
  app.reset();

  // Any other value behaves as 0.
  SetIni("Settings", "OpenMode", "7");
  ASSERT_TRUE(Start());
  EXPECT_EQ(Titles(), std::vector<std::string>{"無題1"});
}

TEST_F(StartupTest, OpenModeOneOpensTheMostRecentFile) {
  WriteBytes(dir / "recent.vbs", "MsgBox 1\r\n");
  WriteBytes(dir / "older.vbs", "MsgBox 2\r\n");
  SetIni("Settings", "OpenMode", "1");
  SetIni("Recent File List", "File1", (dir / "recent.vbs").c_str());
  SetIni("Recent File List", "File2", (dir / "older.vbs").c_str());
  ASSERT_TRUE(Start());
  EXPECT_EQ(Titles(), std::vector<std::string>{"recent.vbs"});
}

TEST_F(StartupTest, OpenModeOneWithAFileActivatesTheNamedFileAgain) {
  WriteBytes(dir / "named.js", "1;\r\n");
  WriteBytes(dir / "other.js", "2;\r\n");
  SetIni("Settings", "OpenMode", "1");
  SetIni("Recent File List", "File1", (dir / "other.js").c_str());
  ASSERT_TRUE(Start({dir / "named.js"}));
  // Opening the named file made it the first recent entry, so the posted
  // recent-file command only activates it again.
  EXPECT_EQ(Titles(), std::vector<std::string>{"named.js"});
}

TEST_F(StartupTest, ANamedFileThatCannotBeOpenedEndsStartUp) {
  EXPECT_FALSE(Start({dir / "missing.wsf"}));
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown[0].caption, "Ruvelto");
}

TEST_F(StartupTest, ExitWritesOpenModeAndExactlyTheRecentEntries) {
  WriteBytes(dir / "one.wsf", "<job/>\r\n");
  WriteBytes(dir / "two.wsf", "<job/>\r\n");
  SetIni("Recent File List", "File3", "c:\\stale\\three.wsf");
  SetIni("Settings", "OpenMode", "2");
  ASSERT_TRUE(Start({dir / "one.wsf", dir / "two.wsf"}));
  ASSERT_EQ(Docs().size(), 2u);
  Exit();
  app.reset();
  EXPECT_EQ(Ini("Settings", "OpenMode"), "2");
  EXPECT_EQ(Ini("Recent File List", "File1"), dir / "two.wsf");
  EXPECT_EQ(Ini("Recent File List", "File2"), dir / "one.wsf");
  EXPECT_EQ(Ini("Recent File List", "File3"), "c:\\stale\\three.wsf");  // kept: list had it
  EXPECT_EQ(Ini("Recent File List", "File4"), "<absent>");
  EXPECT_EQ(Ini("Settings", "PreviewPages"), "<absent>");
}

TEST_F(StartupTest, RecentListHoldsFourEntriesAndDropsOnesThatFailToOpen) {
  ASSERT_TRUE(Start());
  CRecentFileList* mru = app->GetRecentFileList();
  for (int i = 0; i < 6; ++i) mru->Add(dir / ("f" + std::to_string(i) + ".js"));
  EXPECT_EQ(mru->GetCount(), 4);
  EXPECT_EQ((*mru)[0], dir / "f5.js");
  // Entry 2 does not exist: choosing it shows the framework's message and removes it.
  size_t before = ui.shown.size();
  Command(ID_FILE_MRU_FILE1 + 1);
  EXPECT_GT(ui.shown.size(), before);
  EXPECT_EQ(mru->GetCount(), 3);
  EXPECT_EQ((*mru)[1], dir / "f3.js");
  Exit();
  app.reset();
  EXPECT_EQ(Ini("Recent File List", "File3"), dir / "f2.js");
  EXPECT_EQ(Ini("Recent File List", "File4"), "<absent>");
}

TEST_F(StartupTest, FilesDroppedOnTheMainWindowOpen) {
  WriteBytes(dir / "x.js", "x;\r\n");
  WriteBytes(dir / "y.vbs", "y\r\n");
  SetIni("Settings", "OpenMode", "2");
  ASSERT_TRUE(Start());
  std::string list = dir / "x.js";
  list.push_back('\0');
  list += dir / "y.vbs";
  list.push_back('\0');
  list.push_back('\0');
  HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
  auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
  df->pFiles = sizeof(DROPFILES);
  df->fWide = FALSE;
  memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), list.data(), list.size());
  GlobalUnlock(mem);
  ::SendMessageA(Frame()->m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);
  PumpMessages();
  EXPECT_EQ(Titles(), (std::vector<std::string>{"x.js", "y.vbs"}));
}
