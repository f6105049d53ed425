// Documents: loading and saving through the file's encoding, checked against
// files that iconv made from real Japanese text; the encoding commands; Save
// As; the size limit; the warnings for files that cannot come back unchanged.
#include "tests/app/app_fixture.h"
#include "document/mydoc.h"
#include "platform/framework/dialog.h"
#include "platform/framework/frame.h"
#include "platform/framework/recent.h"
#include "platform/framework/safe_file.h"
#include "views/myeditview.h"

namespace {
std::string Data(const std::string& name) { return ReadBytes(std::string(RV_ENCODING_DATA_DIR) + "/" + name); }

std::string WithCrLf(const std::string& lf) {
  std::string out;
  for (char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

class DocumentTest : public AppFixture {
 protected:
  void StartWithDetection(bool on) {
    SetIni("Settings", "AutoKanji", on ? "1" : "0");
    SetIni("Settings", "OpenMode", "2");
    ASSERT_TRUE(Start());
  }
  CMyDoc* Open(const std::string& path) { return dynamic_cast<CMyDoc*>(app->OpenDocumentFile(path.c_str())); }
  CMyEditView* View(CDocument* doc) { return dynamic_cast<CMyEditView*>(doc->GetFirstView()); }
  // Check mark and enabling of an encoding item, as the menu would show them.
  int Check(UINT id) {
    CCmdUI state;
    state.m_nID = id;
    state.DoUpdate(Frame(), true);
    return state.m_bEnabled ? state.m_nCheck : -2;
  }
};
}  // namespace

TEST_F(DocumentTest, EachEncodingOpensAsDetectedAndSavesBackByteForByte) {
  StartWithDetection(true);
  struct Case { const char* file; UINT item; int encoding; };
  const Case cases[] = {{"prose.euc.txt", 32792, 1}, {"prose.jis.txt", 32793, 4}, {"prose.utf8.txt", 32791, 8},
                        {"prose.sjis.txt", 32790, 2}, {"kana.jis.txt", 32793, 4}};
  const std::string sjisText = WithCrLf(Data("prose.sjis.txt"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::string bytes = WithCrLf(Data(c.file));
    std::string path = dir / c.file;
    ASSERT_TRUE(WriteBytes(path, bytes));
    CMyDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(View(doc)->m_encoding, c.encoding);
    EXPECT_EQ(Check(c.item), 1);
    for (UINT other : {32790u, 32791u, 32792u, 32793u}) {
      if (other != c.item) {
        EXPECT_EQ(Check(other), 0) << other;
      }
    }
    if (std::string(c.file).rfind("prose", 0) == 0) {
      EXPECT_EQ(View(doc)->GetText(), sjisText);
    }
    EXPECT_FALSE(doc->IsModified());
    Command(ID_FILE_SAVE);
    EXPECT_EQ(ReadBytes(path), bytes);
    doc->OnCloseDocument();
  }
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DocumentTest, ByteOrderMarkAndLoneLineEndsAreNotWrittenBack) {
  StartWithDetection(true);
  std::string path = dir / "bom.js";
  WriteBytes(path, WithCrLf(Data("prose.utf8bom.txt")));
  CMyDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(View(doc)->m_encoding, 8);
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ReadBytes(path), WithCrLf(Data("prose.utf8.txt")));
  doc->OnCloseDocument();

  // LF and lone CR line ends come back as CR LF.
  std::string lf = dir / "lf.js";
  std::string euc = Data("prose.euc.txt");
  std::string mixed = euc;
  for (size_t i = 0, n = 0; i < mixed.size(); ++i)
    if (mixed[i] == '\n' && (n++ % 2)) mixed[i] = '\r';
  WriteBytes(lf, mixed);
  doc = Open(lf);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(View(doc)->m_encoding, 1);
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ReadBytes(lf), WithCrLf(euc));
}

TEST_F(DocumentTest, AsciiAndEmptyFilesAreShiftJis) {
  StartWithDetection(true);
  WriteBytes(dir / "plain.vbs", "MsgBox \"hello\"\r\n");
  WriteBytes(dir / "empty.vbs", "");
  CMyDoc* plain = Open(dir / "plain.vbs");
  CMyDoc* empty = Open(dir / "empty.vbs");
  ASSERT_TRUE(plain && empty);
  EXPECT_EQ(View(plain)->m_encoding, 2);
  EXPECT_EQ(View(empty)->m_encoding, 2);
  EXPECT_EQ(Check(32790), 1);  // the active one: empty.vbs
  Command(ID_FILE_SAVE);
  EXPECT_TRUE(FileExists(dir / "empty.vbs"));
  EXPECT_EQ(ReadBytes(dir / "empty.vbs"), "");
}

TEST_F(DocumentTest, EncodingCommandsMarkModifiedOnlyOnAChange) {
  StartWithDetection(true);
  std::string path = dir / "s.js";
  std::string sjis = WithCrLf(Data("prose.sjis.txt"));
  WriteBytes(path, sjis);
  CMyDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  Command(32790);  // already Shift-JIS
  EXPECT_FALSE(doc->IsModified());
  Command(32793);  // JIS
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(Check(32793), 1);
  EXPECT_EQ(View(doc)->GetText(), sjis);  // not converted until saved
  Command(ID_FILE_SAVE);
  std::string saved = ReadBytes(path);
  EXPECT_EQ(saved, WithCrLf(Data("prose.jis.txt")));  // iconv's ISO-2022-JP
  EXPECT_EQ(saved.substr(saved.size() - 5), "\x1b(B\r\n");
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocumentTest, WithoutDetectionFilesAreRawAndTheItemsDisabled) {
  StartWithDetection(false);
  std::string path = dir / "raw.js";
  std::string euc = Data("prose.euc.txt");  // LF line ends stay as they are
  WriteBytes(path, euc);
  CMyDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(View(doc)->GetText(), euc);
  EXPECT_EQ(View(doc)->m_encoding, 2);
  for (UINT id : {32790u, 32791u, 32792u, 32793u}) EXPECT_EQ(Check(id), -2) << id;
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ReadBytes(path), euc);
}

TEST_F(DocumentTest, TurningDetectionOffAfterLoadingWritesShiftJis) {
  StartWithDetection(true);
  std::string path = dir / "e.js";
  WriteBytes(path, WithCrLf(Data("prose.euc.txt")));
  CMyDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  Settings().m_autoKanji = false;
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ReadBytes(path), WithCrLf(Data("prose.sjis.txt")));
}

TEST_F(DocumentTest, SizeLimitIsOneMegabyteMinusOne) {
  for (bool detection : {true, false}) {
    SCOPED_TRACE(detection);
    StartWithDetection(detection);
    std::string fits(1048575, 'a'), big(1048576, 'a');
    for (size_t i = 100; i < fits.size(); i += 100) fits[i] = big[i] = '\n';
    WriteBytes(dir / "fits.js", fits);
    WriteBytes(dir / "big.js", big);
    EXPECT_NE(Open(dir / "fits.js"), nullptr);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(Open(dir / "big.js"), nullptr);
    ASSERT_EQ(ui.shown.size(), 1u);  // no second message
    EXPECT_EQ(ui.shown[0].text, "ﾌｧｲﾙが大きすぎて開けません。");
    EXPECT_EQ(Docs().size(), 1u);
    ui.shown.clear();
    Exit();
    app.reset();
  }
}

TEST_F(DocumentTest, AZeroByteEndsTheTextAndIsReported) {
  StartWithDetection(true);
  WriteBytes(dir / "z.js", std::string("abc\0def\r\n", 9));
  CMyDoc* doc = Open(dir / "z.js");
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(View(doc)->GetText(), "abc");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("値 0 のバイト"), std::string::npos);
}

TEST_F(DocumentTest, Utf8CharactersWithoutAShiftJisFormAreReportedAndGuarded) {
  StartWithDetection(true);
  std::string path = dir / "u.js";
  // "日本 한 €" in UTF-8: the Hangul syllable and the euro sign have no Shift-JIS form.
  const std::string original = "\xe6\x97\xa5\xe6\x9c\xac \xed\x95\x9c \xe2\x82\xac\r\n";
  WriteBytes(path, original);
  CMyDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(View(doc)->m_encoding, 8);
  ASSERT_EQ(ui.shown.size(), 1u) << View(doc)->GetText();
  EXPECT_NE(ui.shown[0].text.find(" 2 個"), std::string::npos) << ui.shown[0].text;
  const std::string& said = ui.shown[0].text;  // names the stand-in the text shows
  const std::string standIn = said.substr(said.find("「") + 2, said.find("」") - said.find("「") - 2);
  EXPECT_EQ(View(doc)->GetText(), "\x93\xFA\x96\x7B " + standIn + " " + standIn + "\r\n") << said;
  // Saving over the same file asks first; No keeps the file and the modified state.
  doc->SetModifiedFlag(TRUE);
  ui.answers = {IDNO};
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ReadBytes(path), original);
  EXPECT_TRUE(doc->IsModified());
  ui.answers = {IDYES};
  Command(ID_FILE_SAVE);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_NE(ReadBytes(path), original);
  // Once saved, what is on disk is what is shown: no more question.
  size_t asked = ui.shown.size();
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ui.shown.size(), asked);
}

// UTF-8 files writing 〜 ‖ − ¢ £ ¬ in the JIS or code page 932 code points (iconv's
// JIS X 0208 both ways too) open as those cells unwarned and save byte for byte; one
// writing a cell both ways asks first, then saves the more frequent (tie: 932's) form.
TEST_F(DocumentTest, Utf8FilesSaveEachJisFormCellAsTheyWroteIt) {
  StartWithDetection(true);
  const std::string cells = "\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA\r\n";
  struct Case {
    std::string file, sjis;
    const char* saved;  // null: the file itself, without a question
  };
  const Case cases[] = {
      {WithCrLf(Data("jis0208.utf8.txt")), WithCrLf(Data("jis0208.sjis.txt")), nullptr},
      {WithCrLf(Data("jis0208.ms.utf8.txt")), WithCrLf(Data("jis0208.sjis.txt")), nullptr},
      {u8"〜‖−¢£¬\r\n", cells, nullptr},
      {u8"～∥－￠￡￢\r\n", cells, nullptr},
      {u8"〜∥−￠£￢\r\n￢〜", cells + "\x81\xCA\x81\x60", nullptr},
      {u8"〜〜～¬￢￢\r\n", "\x81\x60\x81\x60\x81\x60\x81\xCA\x81\xCA\x81\xCA\r\n", u8"〜〜〜￢￢￢\r\n"},
      {u8"〜～\r\n", "\x81\x60\x81\x60\r\n", u8"～～\r\n"},
  };
  const std::string path = dir / "forms.js";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.substr(0, 32));
    ui.shown.clear();
    ui.answers = {IDNO, IDYES};
    ASSERT_TRUE(WriteBytes(path, c.file));
    CMyDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(View(doc)->m_encoding == 8 && View(doc)->GetText() == c.sjis);
    EXPECT_TRUE(ui.shown.empty());
    doc->SetModifiedFlag(TRUE);
    Command(ID_FILE_SAVE);
    EXPECT_TRUE(ReadBytes(path) == c.file);
    Command(ID_FILE_SAVE);
    EXPECT_TRUE(ReadBytes(path) == (c.saved ? c.saved : c.file));
    EXPECT_EQ(ui.shown.size(), c.saved ? 2u : 0u);
    doc->OnCloseDocument();
  }
}

// Saving over a file whose text a zero byte cut short asks first, with
// detection on and off; No writes nothing and keeps the document modified.
TEST_F(DocumentTest, SavingOverAFileCutAtAZeroByteAsksFirst) {
  for (bool detection : {true, false}) {
    SCOPED_TRACE(detection);
    StartWithDetection(detection);
    const std::string path = dir / "bin.js";
    const std::string original("abc\0def\r\n", 9);
    WriteBytes(path, original);
    CMyDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(ui.shown.size(), 1u);  // the warning on open
    doc->SetModifiedFlag(TRUE);
    ui.answers = {IDNO};
    Command(ID_FILE_SAVE);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].type & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_TRUE(doc->IsModified());
    // Saving elsewhere loses nothing of that file: no question.
    EXPECT_TRUE(doc->DoSave((dir / "copy.js").c_str(), FALSE));
    EXPECT_EQ(ui.shown.size(), 2u);
    ui.answers = {IDYES};
    Command(ID_FILE_SAVE);
    EXPECT_EQ(ReadBytes(path), "abc");
    EXPECT_FALSE(doc->IsModified());
    ui.shown.clear();
    Exit();
    app.reset();
  }
}

// A save whose file would be larger than the editor opens asks, default No.
TEST_F(DocumentTest, ASaveTooLargeToOpenAgainAsksFirst) {
  StartWithDetection(true);
  const std::string path = dir / "big.js";
  std::string text;
  while (text.size() + 6 <= 1048575) text += "\x88\x9f\x88\x9f\r\n";  // 亜亜 CR LF: 6 bytes, 8 in UTF-8
  WriteBytes(path, text);
  CMyDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(ui.shown.empty());
  Command(32791);  // UTF-8
  ui.answers = {IDNO};
  Command(ID_FILE_SAVE);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("1048575"), std::string::npos) << ui.shown[0].text;
  EXPECT_EQ(ui.shown[0].type & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
  EXPECT_EQ(ReadBytes(path), text);
  EXPECT_TRUE(doc->IsModified());
  // Shift-JIS keeps the size: no question.
  Command(32790);
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ui.shown.size(), 1u);
  EXPECT_FALSE(doc->IsModified());
}

// Characters that EUC-JP and JIS cannot hold are counted before the save;
// Yes writes a valid stand-in, never bytes outside the encoding.
TEST_F(DocumentTest, CharactersTheTargetEncodingLacksAreCountedBeforeSaving) {
  StartWithDetection(true);
  const std::string path = dir / "ibm.js";
  WriteBytes(path, "\x8d\x82\x8b\xb4 \xfb\xfc\r\n");  // 高橋 and the IBM-extension 髙
  CMyDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  for (UINT item : {32792u, 32793u}) {  // EUC-JP, JIS
    SCOPED_TRACE(item);
    Command(item);
    ui.shown.clear();
    ui.answers = {IDNO};
    Command(ID_FILE_SAVE);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find(" 1 個"), std::string::npos) << ui.shown[0].text;
    EXPECT_EQ(ReadBytes(path), "\x8d\x82\x8b\xb4 \xfb\xfc\r\n");
    EXPECT_TRUE(doc->IsModified());
    ui.answers = {IDYES};
    Command(ID_FILE_SAVE);
    EXPECT_FALSE(doc->IsModified());
    const std::string saved = ReadBytes(path);
    const std::string expected = item == 32792u ? "\xb9\xe2\xb6\xb6 \xa2\xae\r\n"
                                                : "\x1b$B9b66\x1b(B \x1b$B\".\x1b(B\r\n";
    EXPECT_EQ(saved, expected);
    Command(32790);  // back to Shift-JIS for the next round
    WriteBytes(path, "\x8d\x82\x8b\xb4 \xfb\xfc\r\n");
    doc->m_fileIdentity = ReadFileIdentity(path);  // not a change behind the document's back
  }
}

TEST_F(DocumentTest, SaveAsProposesTheTitleAndAddsTheFiltersExtension) {
  SetIni("Settings", "FilterIndex", "1");
  StartWithDetection(true);
  Command(ID_FILE_NEW);
  CDocument* doc = Docs().back();
  struct Case { const char* typed; DWORD filter; const char* saved; };
  const Case cases[] = {{"test", 2, "test.js"}, {"test.txt", 2, "test.txt"}, {"plain", 5, "plain"},
                        {"page", 4, "page.hta"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    std::string proposed, cwd, before = doc->GetPathName();
    DWORD preselected = 0, flags = 0;
    ui.onFile = [&](CFileDialog& dlg) {
      EXPECT_FALSE(dlg.IsOpenDialog());
      proposed = dlg.m_ofn.lpstrFile;
      preselected = dlg.m_ofn.nFilterIndex;
      flags = dlg.m_ofn.Flags;
      EXPECT_EQ(dlg.m_ofn.lpstrDefExt, nullptr);
      dlg.SetChosenPath(dir / c.typed);
      dlg.m_ofn.nFilterIndex = c.filter;
      return IDOK;
    };
    ASSERT_TRUE(doc->DoSave(nullptr));
    if (c.typed == std::string("test")) {
      EXPECT_EQ(proposed, "無題1");
      EXPECT_EQ(preselected, 2u);  // FilterIndex 1 + 1
      EXPECT_TRUE(flags & OFN_OVERWRITEPROMPT);
      EXPECT_TRUE(flags & OFN_HIDEREADONLY);
      EXPECT_TRUE(flags & OFN_PATHMUSTEXIST);
    } else {
      EXPECT_EQ(proposed, before);
    }
    EXPECT_TRUE(FileExists(dir / c.saved));
    EXPECT_EQ(doc->GetPathName(), dir / c.saved);
    EXPECT_EQ(doc->GetTitle(), c.saved);
    EXPECT_EQ(lstrcmpiA(Settings().m_directory.c_str(), dir.path().c_str()), 0);
  }
  EXPECT_EQ(Settings().m_filterIndex, 1);  // only read
  EXPECT_EQ((*app->GetRecentFileList())[0], dir / "page.hta");
}

TEST_F(DocumentTest, CancelledSaveAsChangesNothing) {
  StartWithDetection(true);
  Command(ID_FILE_NEW);
  CDocument* doc = Docs().back();
  doc->SetModifiedFlag(TRUE);
  Command(ID_FILE_SAVE);  // untitled: goes to Save As, which the responder cancels
  EXPECT_EQ(ui.fileDialogs, 1);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->GetPathName(), "");
  EXPECT_EQ(doc->GetTitle(), "無題1");
}

TEST_F(DocumentTest, AFailedSaveKeepsTheOldFileAndTheDocumentModified) {
  StartWithDetection(true);
  std::string path = dir / "keep.js";
  WriteBytes(path, "original\r\n");
  CMyDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  View(doc)->SetSel(0, 0);
  View(doc)->ReplaceSelWithUndo("changed ");
  ASSERT_TRUE(doc->IsModified());
  // The file became read-only meanwhile.
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(doc->DoSave(path.c_str()));
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(path), "original\r\n");
  EXPECT_TRUE(doc->IsModified());
  ASSERT_FALSE(ui.shown.empty());
  // A folder that does not exist: nothing is left behind, the old path stays.
  ui.shown.clear();
  EXPECT_FALSE(doc->DoSave((dir / "missing\\new.js").c_str()));
  EXPECT_FALSE(ui.shown.empty());
  EXPECT_EQ(doc->GetPathName(), path);
  EXPECT_TRUE(doc->IsModified());
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir / "rvt*").c_str(), &fd);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE) << "temporary file left: " << fd.cFileName;
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
}

// Saving where the file cannot simply be replaced says what is wrong: a
// read-only file offers Save As (also when Save As picked it), a file deleted
// while open is written again at its path, a folder that is gone is named.
TEST_F(DocumentTest, SavesThatCannotReplaceTheFileSayWhy) {
  StartWithDetection(true);
  const std::string locked = dir / "locked.js", other = dir / "other.js";
  WriteBytes(locked, "old\r\n");
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  CMyDoc* doc = Open(locked);
  ASSERT_NE(doc, nullptr);
  View(doc)->ReplaceSelWithUndo("new ");
  // Ctrl+S on the read-only file: No keeps everything as it was.
  ui.answers = {IDNO};
  Command(ID_FILE_SAVE);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("読み取り専用"), std::string::npos) << ui.shown[0].text;
  EXPECT_EQ(ui.shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(ui.fileDialogs, 0);
  EXPECT_TRUE(doc->IsModified());
  // Yes opens Save As; picking the read-only file again asks again, then another name saves.
  std::vector<std::string> picks = {locked, other};
  ui.onFile = [&](CFileDialog& dlg) {
    dlg.SetChosenPath(picks[ui.fileDialogs - 1]);
    return IDOK;
  };
  ui.shown.clear();
  ui.answers = {IDYES, IDYES};
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ui.fileDialogs, 2);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_NE(ui.shown[1].text.find("読み取り専用"), std::string::npos) << ui.shown[1].text;
  EXPECT_EQ(ReadBytes(locked), "old\r\n");
  EXPECT_EQ(ReadBytes(other), "new old\r\n");
  EXPECT_EQ(doc->GetPathName(), other);
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);

  // Deleted while open: saved again where it was, without a dialog.
  View(doc)->ReplaceSelWithUndo("x");
  ASSERT_TRUE(DeleteFileA(other.c_str()));
  ui.shown.clear();
  ui.fileDialogs = 0;
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ui.fileDialogs, 0);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(ReadBytes(other), "new xold\r\n");
  EXPECT_FALSE(doc->IsModified());

  // Its folder gone as well: the message names the missing folder; nothing changes.
  const std::string sub = dir / "sub", inner = dir / "sub\\inner.js";
  CreateDirectoryA(sub.c_str(), nullptr);
  WriteBytes(inner, "a\r\n");
  CMyDoc* gone = Open(inner);
  ASSERT_NE(gone, nullptr);
  View(gone)->ReplaceSelWithUndo("b");
  DeleteFileA(inner.c_str());
  RemoveDirectoryA(sub.c_str());
  ui.shown.clear();
  Command(ID_FILE_SAVE);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("フォルダが見つかりません"), std::string::npos) << ui.shown[0].text;
  EXPECT_TRUE(gone->IsModified());
  EXPECT_EQ(gone->GetPathName(), inner);
}

TEST(DocumentNames, ProposedNameAndFilterExtensions) {
  EXPECT_EQ(CMyDoc::ProposedName("無題1", ".wsf"), "無題1");
  EXPECT_EQ(CMyDoc::ProposedName("my script#2", ".wsf"), "my");
  EXPECT_EQ(CMyDoc::ProposedName("a.b", ".wsf"), "a.b");
  EXPECT_EQ(CMyDoc::AddFilterExtension("c:\\d.x\\name", 3), "c:\\d.x\\name.vbs");
  EXPECT_EQ(CMyDoc::AddFilterExtension("c:\\d\\name.txt", 1), "c:\\d\\name.txt");
  EXPECT_EQ(CMyDoc::AddFilterExtension("c:\\d\\name", 5), "c:\\d\\name");
  // "表" ends in 5C: not a separator.
  EXPECT_EQ(CMyDoc::AddFilterExtension("c:\\\x95\x5C", 1), "c:\\\x95\x5C.wsf");
}
