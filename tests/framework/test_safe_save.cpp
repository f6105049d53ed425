// Saving through a temporary file: a save that fails part-way leaves an
// existing file as it was and no partial file behind.
#include <gtest/gtest.h>
#include <cstring>
#include "platform/framework/doc.h"
#include "platform/framework/fwids.h"
#include "platform/framework/safe_file.h"
#include "tests/support/harness.h"

namespace {
class HalfWritingDoc : public CDocument {
 public:
  std::string payload = "new contents\r\n";
  bool fail = false;
  void Serialize(CArchive& ar) override {
    if (!ar.IsStoring()) return;
    ar.Write(payload.data(), payload.size() / 2);
    if (fail) throw CFileException{CFileException::DiskFull, ERROR_DISK_FULL, ar.GetPath()};
    ar.Write(payload.data() + payload.size() / 2, payload.size() - payload.size() / 2);
  }
};

int FilesIn(const TempDir& dir) {
  WIN32_FIND_DATAA fd;
  int n = 0;
  HANDLE h = FindFirstFileA((dir / "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}
}  // namespace

TEST(SafeSave, FailurePartWayKeepsTheOldFileAndLeavesNothingBehind) {
  TempDir dir;
  ScriptedResponder ui;
  HalfWritingDoc doc;
  doc.m_bAutoDelete = false;
  doc.SetModifiedFlag(TRUE);
  WriteBytes(dir / "old.js", "old contents\r\n");
  doc.fail = true;
  EXPECT_FALSE(doc.OnSaveDocument((dir / "old.js").c_str()));
  EXPECT_EQ(ReadBytes(dir / "old.js"), "old contents\r\n");
  EXPECT_EQ(FilesIn(dir), 1);
  EXPECT_TRUE(doc.IsModified());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。");

  EXPECT_FALSE(doc.OnSaveDocument((dir / "new.js").c_str()));
  EXPECT_FALSE(FileExists(dir / "new.js"));
  EXPECT_EQ(FilesIn(dir), 1);

  doc.fail = false;
  EXPECT_TRUE(doc.OnSaveDocument((dir / "old.js").c_str()));
  EXPECT_EQ(ReadBytes(dir / "old.js"), "new contents\r\n");
  EXPECT_EQ(FilesIn(dir), 1);
  EXPECT_FALSE(doc.IsModified());
}

TEST(SafeSave, TheReplacedFileKeepsItsAttributes) {
  TempDir dir;
  ScriptedResponder ui;
  HalfWritingDoc doc;
  doc.m_bAutoDelete = false;
  const std::string path = dir / "hidden.js";
  WriteBytes(path, "old contents\r\n");
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), kept));
  if ((GetFileAttributesA(path.c_str()) & kept) != kept) GTEST_SKIP() << "this file system keeps no such attributes";
  EXPECT_TRUE(doc.OnSaveDocument(path.c_str()));
  EXPECT_EQ(ReadBytes(path), "new contents\r\n");
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & kept, kept);
  EXPECT_EQ(FilesIn(dir), 1);
  EXPECT_TRUE(ui.shown.empty());
}

namespace {
// Makes `link` a symbolic link to `target` with the Unix tool, where there is
// one (Wine starts Unix programs); false elsewhere.
bool MakeUnixLink(const TempDir& dir, const char* target, const char* link) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = std::string("ln -s ") + target + " " + link;
  if (!CreateProcessA("Z:\\bin\\ln", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.path().c_str(), &si, &pi))
    return false;
  CloseHandle(pi.hProcess);  // not a Windows process: nothing to wait on
  CloseHandle(pi.hThread);
  for (int i = 0; i < 500 && !FileExists(dir / link); ++i) Sleep(10);  // until ln has run
  return FileExists(dir / link);
}

std::string FinalPath(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  char buf[MAX_PATH * 2] = "";
  if (h != INVALID_HANDLE_VALUE) {
    GetFinalPathNameByHandleA(h, buf, sizeof buf, 0);
    CloseHandle(h);
  }
  return buf;
}
}  // namespace

TEST(SafeSave, SavingThroughALinkWritesItsTargetAndKeepsTheLink) {
  TempDir dir;
  ScriptedResponder ui;
  HalfWritingDoc doc;
  doc.m_bAutoDelete = false;
  WriteBytes(dir / "target.js", "old contents\r\n");
  if (!MakeUnixLink(dir, "target.js", "link.js")) GTEST_SKIP() << "no symbolic links here";
  EXPECT_TRUE(doc.OnSaveDocument((dir / "link.js").c_str()));
  EXPECT_EQ(ReadBytes(dir / "target.js"), "new contents\r\n");
  EXPECT_EQ(FinalPath(dir / "link.js"), FinalPath(dir / "target.js"));  // still a link
  EXPECT_EQ(FilesIn(dir), 2);
}

// The temporary file a save of `path` writes, left empty as by a kill.
std::string TemporaryOfAKilledSave(const TempDir& dir, const std::string& path) {
  std::string name;
  SafeWriteFile(path, AFX_IDP_FAILED_TO_SAVE_DOC, [&](HANDLE file) {
    char buf[MAX_PATH * 2] = "";
    GetFinalPathNameByHandleA(file, buf, sizeof buf, 0);
    name = strrchr(buf, '\\') + 1;
    return false;
  });
  WriteBytes(dir / name, "");
  return name;
}

TEST(SafeSave, AnEmptyTemporaryFileThatAKilledSaveLeftGoesWithTheFilesNextSave) {
  TempDir dir;
  ScriptedResponder ui;
  const std::string path = dir / "a.js";
  const std::string leftover = TemporaryOfAKilledSave(dir, path), full = TemporaryOfAKilledSave(dir, path);
  const std::string held = TemporaryOfAKilledSave(dir, path), others = TemporaryOfAKilledSave(dir, dir / "b.js");
  WriteBytes(dir / "rvt1A2.tmp", "");   // an earlier version's name
  WriteBytes(dir / "rvtkeep.tmp", "");  // not a name of ours
  WriteBytes(dir / full, "half a text");
  HANDLE busy = CreateFileA((dir / held).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_TRUE(SafeWriteFile(path, AFX_IDP_FAILED_TO_SAVE_DOC, [](HANDLE file) {
    DWORD written = 0;
    return WriteFile(file, "x", 1, &written, nullptr) && written == 1;
  }));
  CloseHandle(busy);
  const std::pair<std::string, bool> kept[] = {{leftover, false}, {"rvt1A2.tmp", false}, {others, true},
                                               {"rvtkeep.tmp", true}, {full, true}, {held, true}};
  for (const auto& k : kept) EXPECT_EQ(FileExists(dir / k.first), k.second) << k.first;
  EXPECT_EQ(ReadBytes(path), "x");
}
