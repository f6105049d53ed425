// Backups of unsaved text with the real frame: when a backup is written, what
// removes it, and the recovery at the next start. The keeper's clock and
// timer are driven by the test.
#include "tests/app/app_fixture.h"
#include <tuple>
#include "app/backup_record.h"
#include "document/mydoc.h"
#include "platform/framework/safe_file.h"
#include "views/myeditview.h"

namespace {
class BackupTest : public AppFixture {
 protected:
  DWORD now = 1000;
  std::string Folder() const { return dir / "Ruvelto\\backup"; }

  bool StartClocked(const std::vector<std::string>& args = {}) {
    bool ok = Start(args);
    if (!ok) return false;
    app->m_backups.m_now = [this] { return now; };
    Tick(0);
    return true;
  }
  // The timer fires `later` ms after the last time; the writer finishes. A
  // test ticks at once after a change, as the timer sees it within a second.
  void Tick(DWORD later) {
    now += later;
    app->m_backups.Tick();
    app->m_backups.Flush();
  }
  CMyEditView* View() const { return ActiveViewAs<CMyEditView>(); }
  void Type(const std::string& text) {
    for (char c : text) ::SendMessageA(View()->m_hWnd, WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  std::string BackupOf(CDocument* doc) const { return app->m_backups.BackupPathOf(doc); }
  BackupRecord Read(const std::string& path) const {
    BackupRecord r;
    EXPECT_TRUE(ParseBackup(ReadBytes(path), r)) << path;
    return r;
  }
  // A backup as a run that has ended left it (its mark is not held open).
  void Leave(const std::string& name, const BackupMeta& meta, const std::string& text) const {
    CreateDirectoryA((dir / "Ruvelto").c_str(), nullptr);
    CreateDirectoryA(Folder().c_str(), nullptr);
    WriteBytes(Folder() + "\\" + name, BackupHeader(meta, text.size()) + text);
  }
};

}  // namespace

TEST_F(BackupTest, ABackupFollowsAPauseOrThirtySecondsOfTypingAndGoesWithSaveCloseAndExit) {
  WriteBytes(dir / "a.js", "abc\r\n");
  ASSERT_TRUE(StartClocked({dir / "a.js"}));
  CDocument* doc = Docs()[0];
  Type("x");
  Tick(0);
  Tick(CBackupKeeper::kQuietMs - 1);
  EXPECT_EQ(BackupOf(doc), "");
  Tick(1);
  ASSERT_NE(BackupOf(doc), "");
  BackupRecord r = Read(BackupOf(doc));
  EXPECT_EQ(r.meta.path, dir / "a.js");
  EXPECT_EQ(r.meta.title, "a.js");
  EXPECT_EQ(r.text, View()->GetText());

  Command(ID_FILE_SAVE);
  Tick(0);
  EXPECT_EQ(BackupOf(doc), "");
  EXPECT_EQ(ReadBytes(dir / "a.js"), "xabc\r\n");

  // Typing without a pause: written once the first unsaved change is 30 s old.
  for (DWORD t = 0; t < CBackupKeeper::kLongestMs; t += 1000) {
    Type("y");
    Tick(t == 0 ? 0 : 1000);
    ASSERT_EQ(BackupOf(doc), "") << t;
  }
  Type("y");
  Tick(1000);
  const std::string backup = BackupOf(doc);
  ASSERT_NE(backup, "");
  EXPECT_EQ(Read(backup).text, View()->GetText());

  ui.answers = {IDNO};  // "a.js への変更を保存しますか?"
  Command(ID_FILE_CLOSE);
  Tick(0);
  EXPECT_FALSE(FileExists(backup));
  Exit();
  EXPECT_FALSE(FileExists(Folder()));  // nothing left: no backup, no mark
}

TEST_F(BackupTest, AnEndedRunsBackupsAreRestoredAsModifiedDocumentsAndBadOnesSetAside) {
  SetIni("Settings", "AutoKanji", "1");
  SetIni("Settings", "OpenMode", "2");
  Leave("0000beef-1.rvb", {dir / "saved.js", "saved.js", 8}, "var s = \"漢字\";\r\n");
  WriteBytes(Folder() + "\\0000beef.run", "");  // no longer held open
  Leave("0000beef-2.rvb", {"", "無題3", 2}, "untitled\r\n");
  Leave("0000cafe-1.rvb", {dir / "gone\\x.vbs", "x.vbs", 1}, "MsgBox 1\r\n");
  WriteBytes(Folder() + "\\0000cafe-2.rvb", "Ruvelto backup 1\r\npath:");
  ui.answers = {IDYES, IDOK};
  ASSERT_TRUE(StartClocked());

  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, "前回正しく終了しなかったため、保存されていない文書が 3 個あります。復元しますか?");
  EXPECT_EQ(ui.shown[0].type & 0xFFF, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_NE(ui.shown[1].text.find(dir / "gone\\x.vbs"), std::string::npos);
  EXPECT_NE(ui.shown[1].text.find("0000cafe-2.rvb"), std::string::npos);
  EXPECT_TRUE(FileExists(Folder() + "\\0000cafe-2.rvb.bad"));

  ASSERT_EQ(Titles(), (std::vector<std::string>{"saved.js", "無題3", "x.vbs"}));
  const std::string paths[] = {dir / "saved.js", "", ""};
  const int encodings[] = {8, 2, 1};
  const std::string texts[] = {"var s = \"漢字\";\r\n", "untitled\r\n", "MsgBox 1\r\n"};
  for (size_t i = 0; i < 3; ++i) {
    CDocument* doc = Docs()[i];
    auto* view = dynamic_cast<CMyEditView*>(doc->GetFirstView());
    EXPECT_EQ(doc->GetPathName(), paths[i]) << i;
    EXPECT_TRUE(doc->IsModified()) << i;
    EXPECT_EQ(view->m_encoding, encodings[i]) << i;
    EXPECT_EQ(view->GetText(), texts[i]) << i;
    // The old file is this run's backup of the document until its own replaces it.
    EXPECT_TRUE(FileExists(BackupOf(doc))) << i;
  }
  EXPECT_FALSE(FileExists(Folder() + "\\0000beef-1.rvb"));
  EXPECT_FALSE(FileExists(Folder() + "\\0000beef.run"));

  // Saving writes the original path in the recorded encoding and ends the backup.
  const std::string restoredBackup = BackupOf(Docs()[0]);
  ASSERT_TRUE(Docs()[0]->DoFileSave());
  EXPECT_EQ(ReadBytes(dir / "saved.js"), "var s = \"\xE6\xBC\xA2\xE5\xAD\x97\";\r\n");
  Tick(0);
  EXPECT_FALSE(FileExists(restoredBackup));
}

TEST_F(BackupTest, ALiveRunsBackupsAreLeftAloneAndNoRemovesOthersOnlyWhenConfirmed) {
  CreateDirectoryA((dir / "Ruvelto").c_str(), nullptr);
  CreateDirectoryA(Folder().c_str(), nullptr);
  HANDLE live = CreateFileA((Folder() + "\\0000aaaa.run").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(live, INVALID_HANDLE_VALUE);
  Leave("0000aaaa-1.rvb", {"", "無題1", 2}, "live\r\n");
  Leave("0000bbbb-1.rvb", {"", "無題1", 2}, "ended\r\n");

  ui.answers = {IDNO, IDNO};  // do not restore; do not delete either
  ASSERT_TRUE(StartClocked());
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_NE(ui.shown[0].text.find(" 1 個"), std::string::npos);
  EXPECT_EQ(Titles(), std::vector<std::string>{"無題1"});  // the open mode's new document only
  EXPECT_TRUE(FileExists(Folder() + "\\0000bbbb-1.rvb"));
  Exit();
  app.reset();

  ui.shown.clear();
  ui.answers = {IDNO, IDYES};
  ASSERT_TRUE(StartClocked());
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_FALSE(FileExists(Folder() + "\\0000bbbb-1.rvb"));
  Exit();
  EXPECT_TRUE(FileExists(Folder() + "\\0000aaaa-1.rvb"));
  EXPECT_TRUE(FileExists(Folder() + "\\0000aaaa.run"));
  CloseHandle(live);
}

TEST_F(BackupTest, AFailedBackupIsAQuietNoteAndWrittenAgainLater) {
  ASSERT_TRUE(StartClocked());
  Type("a");
  Tick(0);
  Tick(CBackupKeeper::kQuietMs);
  std::string temp = BackupOf(Docs()[0]);
  temp.replace(temp.size() - 4, 4, ".tmp");
  ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));  // the write cannot make its temporary file
  Type("b");
  Tick(0);
  Tick(CBackupKeeper::kQuietMs);
  Tick(0);
  EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), "未保存の文書のバックアップを書き込めませんでした。");
  EXPECT_TRUE(ui.shown.empty());
  // Once the disk lets it, the text is written without another keystroke.
  RemoveDirectoryA(temp.c_str());
  Tick(CBackupKeeper::kQuietMs);
  EXPECT_EQ(Read(BackupOf(Docs()[0])).text, View()->GetText());
}


TEST_F(BackupTest, EveryBackupComesBackInAWindowOfItsOwnAndOnlyASafeOneTakesItsPath) {
  SetIni("Settings", "OpenMode", "2");
  for (const char* name : {"open.js", "big.js", "twin.js"}) WriteBytes(dir / name, "mine\r\n");
  WriteBytes(dir / "edited.js", "newer, from elsewhere\r\n");
  auto meta = [&](const char* name, unsigned long long savedAt) {
    BackupMeta m{dir / name, name, 2};
    m.file = ReadFileIdentity(dir / name);
    m.savedAt = savedAt;
    return m;
  };
  // Typed past the size that opens.
  std::string big;
  while (big.size() < 2 * 1024 * 1024) big += "var line = \"0123456789012345678901234567890123456789\";\r\n";
  Leave("00000001-1.rvb", meta("big.js", 5), big);
  BackupMeta edited = meta("edited.js", 5);
  edited.file.size = 4;  // the file was "old\r\n" when the document was loaded
  Leave("00000001-2.rvb", edited, "old, edited\r\n");
  Leave("00000001-3.rvb", meta("open.js", 5), "mine, edited\r\n");
  Leave("00000001-4.rvb", meta("twin.js", 10), "twin, older\r\n");
  Leave("00000002-1.rvb", meta("twin.js", 20), "twin, newer\r\n");
  ui.answers = {IDYES, IDOK};
  ASSERT_TRUE(StartClocked({dir / "open.js"}));

  ASSERT_EQ(ui.shown.size(), 2u);
  const std::string& note = ui.shown[1].text;
  for (const char* said : {"ほかのプログラムで変更されている", "すでに開かれている", "新しいバックアップもある"})
    EXPECT_NE(note.find(said), std::string::npos) << said;
  EXPECT_EQ(note.find("big.js"), std::string::npos);

  const std::tuple<const char*, std::string, std::string> want[] = {
      {"open.js", dir / "open.js", "mine\r\n"},  // never replaced
      {"big.js", dir / "big.js", big},
      {"edited.js (復元)", "", "old, edited\r\n"},
      {"open.js (復元)", "", "mine, edited\r\n"},
      {"twin.js (復元)", "", "twin, older\r\n"},
      {"twin.js", dir / "twin.js", "twin, newer\r\n"},
  };
  ASSERT_EQ(Docs().size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    CDocument* doc = Docs()[i];
    EXPECT_EQ(doc->GetTitle(), std::get<0>(want[i])) << i;
    EXPECT_EQ(doc->GetPathName(), std::get<1>(want[i])) << i;
    EXPECT_TRUE(dynamic_cast<CMyEditView*>(doc->GetFirstView())->GetText() == std::get<2>(want[i])) << i;
    EXPECT_EQ(doc->IsModified() != FALSE, i > 0) << i;
    EXPECT_EQ(FileExists(BackupOf(doc)), i > 0) << i;  // each claimed its backup: none left behind
  }
  EXPECT_EQ(ReadBytes(dir / "edited.js"), "newer, from elsewhere\r\n");
}
