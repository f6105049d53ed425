// Files that another program changes while they are open: the question when
// the editor becomes the active program again (once per change) and before a
// save would write over the newer file.
#include "tests/app/app_fixture.h"
#include "document/mydoc.h"
#include "views/myeditview.h"

namespace {
class ChangedOnDiskTest : public AppFixture {
 protected:
  std::string path;
  CDocument* doc = nullptr;

  void SetUp() override {
    SetIni("Settings", "OpenMode", "2");
    path = dir / "a.js";
    WriteBytes(path, "old\r\n");
    ASSERT_TRUE(Start({path}));
    ASSERT_EQ(Docs().size(), 1u);
    doc = Docs()[0];
  }
  CMyEditView* View() const { return dynamic_cast<CMyEditView*>(doc->GetFirstView()); }
  // Another program writes the file (its time a minute later, whatever the
  // file system's clock granularity).
  void WriteElsewhere(const std::string& bytes) {
    WriteBytes(path, bytes);
    HANDLE f = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME t;
    GetSystemTimeAsFileTime(&t);
    ULARGE_INTEGER later{{t.dwLowDateTime, t.dwHighDateTime}};
    later.QuadPart += 60ull * 10000000;
    t = FILETIME{later.LowPart, later.HighPart};
    SetFileTime(f, nullptr, nullptr, &t);
    CloseHandle(f);
  }
  void Activate() {
    ::SendMessageA(Frame()->m_hWnd, WM_ACTIVATEAPP, TRUE, 0);
    PumpMessages();
  }
  void Type(char c) { ::SendMessageA(View()->m_hWnd, WM_CHAR, static_cast<unsigned char>(c), 1); }
};
}  // namespace

TEST_F(ChangedOnDiskTest, ActivationAsksOncePerChangeAndYesLoadsTheFileAgain) {
  Activate();
  EXPECT_TRUE(ui.shown.empty());  // unchanged: nothing to ask

  WriteElsewhere("new one\r\n");
  ui.answers = {IDNO};
  Activate();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, path + "\nはほかのプログラムで変更されました。読み込み直しますか?");
  EXPECT_EQ(View()->GetText(), "old\r\n");
  Activate();
  EXPECT_EQ(ui.shown.size(), 1u);  // the same change is not asked about again

  WriteElsewhere("newer\r\n");
  ui.answers = {IDYES};
  Activate();
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(View()->GetText(), "newer\r\n");
  EXPECT_FALSE(doc->IsModified());
  Activate();
  EXPECT_EQ(ui.shown.size(), 2u);  // loaded again: the document knows this version
}

TEST_F(ChangedOnDiskTest, ADocumentWithChangesOfItsOwnIsKeptUnlessTheUserSaysYes) {
  Type('x');
  WriteElsewhere("theirs\r\n");
  ui.answers = {IDNO};
  Activate();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("保存されていない変更は失われます"), std::string::npos);
  EXPECT_EQ(ui.shown[0].type & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));  // No is the default
  EXPECT_EQ(View()->GetText(), "xold\r\n");
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(ChangedOnDiskTest, SavingOverANewerFileAsksFirstAndNoWritesNothing) {
  Type('x');
  WriteElsewhere("theirs\r\n");
  ui.answers = {IDNO};
  EXPECT_FALSE(doc->DoFileSave());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("ほかのプログラムで変更されています"), std::string::npos);
  EXPECT_EQ(ui.shown[0].type & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
  EXPECT_EQ(ReadBytes(path), "theirs\r\n");
  EXPECT_TRUE(doc->IsModified());

  ui.answers = {IDYES};
  EXPECT_TRUE(doc->DoFileSave());
  EXPECT_EQ(ReadBytes(path), "xold\r\n");
  // The file is the document's own again: the next save asks nothing.
  Type('y');
  EXPECT_TRUE(doc->DoFileSave());
  EXPECT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ReadBytes(path), "xyold\r\n");
}
