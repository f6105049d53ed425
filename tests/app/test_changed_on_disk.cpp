// Files that another program changes while they are open: the question when
// the editor becomes the active program (once per change), and before a save
// would write over the newer file. Each version another program writes has a
// new size, so it differs from the last whatever the clock's granularity.
#include "tests/app/app_fixture.h"
#include "views/myeditview.h"

namespace {
class ChangedOnDiskTest : public AppFixture {
 protected:
  std::string path;
  CDocument* doc = nullptr;
  void SetUp() override {
    SetIni("Settings", "OpenMode", "2");
    WriteBytes(path = dir / "a.js", "old\r\n");
    ASSERT_TRUE(Start({path}));
    doc = Docs().at(0);
  }
  CMyEditView* View() const { return dynamic_cast<CMyEditView*>(doc->GetFirstView()); }
  size_t Activate(std::deque<int> answers = {}) {
    ui.answers = answers;
    ::SendMessageA(Frame()->m_hWnd, WM_ACTIVATEAPP, TRUE, 0);
    PumpMessages();
    return ui.shown.size();
  }
};
}  // namespace

TEST_F(ChangedOnDiskTest, ActivationAsksOncePerChangeAndYesLoadsTheFileAgain) {
  EXPECT_EQ(Activate(), 0u);  // unchanged
  WriteBytes(path, "new one\r\n");
  EXPECT_EQ(Activate({IDNO}), 1u);
  EXPECT_EQ(ui.shown[0].text, path + "\nは他のプログラムによって変更されました。再読み込みしますか?");
  EXPECT_EQ(Activate(), 1u);  // that change is not asked about again
  WriteBytes(path, "newer\r\n");
  EXPECT_EQ(Activate({IDYES}), 2u);
  EXPECT_EQ(View()->GetText(), "newer\r\n");
  EXPECT_EQ(Activate(), 2u);  // the version loaded is the document's own

  // With changes of its own, No is the default and keeps them.
  ::SendMessageA(View()->m_hWnd, WM_CHAR, 'x', 1);
  WriteBytes(path, "theirs\r\n");
  EXPECT_EQ(Activate({IDNO}), 3u);
  EXPECT_EQ(ui.shown[2].type & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
  EXPECT_EQ(View()->GetText(), "xnewer\r\n");
}

TEST_F(ChangedOnDiskTest, SavingOverANewerFileAsksFirstAndNoWritesNothing) {
  ::SendMessageA(View()->m_hWnd, WM_CHAR, 'x', 1);
  WriteBytes(path, "theirs\r\n");
  ui.answers = {IDNO};
  EXPECT_FALSE(doc->DoFileSave());
  EXPECT_EQ(ui.shown.at(0).type & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
  EXPECT_EQ(ReadBytes(path), "theirs\r\n");
  ui.answers = {IDYES};
  EXPECT_TRUE(doc->DoFileSave());
  EXPECT_TRUE(doc->DoFileSave());  // the file is the document's own again: nothing asked
  EXPECT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ReadBytes(path), "xold\r\n");
}

TEST_F(ChangedOnDiskTest, AFileThatVanishedIsSaidOnceAndTheNextSaveWritesItAgain) {
  ::DeleteFileA(path.c_str());
  EXPECT_EQ(Activate(), 1u);
  EXPECT_EQ(ui.shown[0].text.rfind(path + "\nは他のプログラムによって削除または移動されました。", 0), 0u);
  EXPECT_EQ(Activate(), 1u);  // said once
  EXPECT_TRUE(doc->DoFileSave());
  EXPECT_EQ(ReadBytes(path), "old\r\n");
  ::DeleteFileA(path.c_str());
  EXPECT_EQ(Activate(), 2u);  // gone again: said again
}
