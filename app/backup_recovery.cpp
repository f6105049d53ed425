// Recovery at start: the backups of runs that ended without a normal exit are
// offered back as modified documents.
#include <algorithm>
#include <vector>
#include "app/backup_keeper.h"
#include "app/backup_policy.h"
#include "document/mydoc.h"
#include "platform/framework/app.h"
#include "platform/framework/doctempl.h"
#include "platform/framework/editview.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/safe_file.h"
#include "views/myeditview.h"

namespace {
struct FoundBackup {
  std::string name;
  std::uint32_t run = 0;
  unsigned number = 0;
  BackupRecord record;
};

// The names in `folder` (files only).
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  while (FindNextFileA(h, &found));
  FindClose(h);
  return names;
}

// True when the run of that mark has ended: its mark is gone or could be
// removed (a live run holds it open and denies that).
bool RunEnded(const std::string& folder, std::uint32_t run) {
  if (DeleteFileA((folder + RunMarkName(run)).c_str())) return true;
  DWORD err = GetLastError();
  return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && static_cast<unsigned long long>(size.QuadPart) <= kLargestBackupFile;
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                           read == bytes.size());
  }
  CloseHandle(file);
  return ok;
}

bool FolderExists(const std::string& path) {
  std::string folder = PathFolder(path);
  DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The record as an open, modified document in a new window: with its path
// when `reason` is OwnPath, else untitled (under its own title when it never
// had a file or its folder is gone, else named after its file with 「(復元)」, as
// another window or the file itself holds that name). Null when no window
// could be made.
CDocument* RestoreDocument(CWinApp& app, const BackupRecord& r, RecoveryReason reason) {
  if (app.DocTemplates().empty()) return nullptr;
  CDocument* doc = app.DocTemplates().front()->OpenDocumentFile(nullptr);
  auto* view = doc ? dynamic_cast<CMyEditView*>(doc->GetFirstView()) : nullptr;
  if (!view) return nullptr;
  view->SetText(r.text.c_str());
  view->m_encoding = r.meta.encoding;
  if (reason == RecoveryReason::OwnPath) {
    doc->SetPathName(r.meta.path, false);
    doc->m_fileIdentity = r.meta.file;  // what the text was made from
  } else if (reason == RecoveryReason::NoPath || reason == RecoveryReason::FolderGone) {
    doc->SetTitle(r.meta.title);
  } else {
    doc->SetTitle(r.meta.path.substr(PathFolderWithSeparator(r.meta.path).size()) + " (復元)");
  }
  if (auto* my = dynamic_cast<CMyDoc*>(doc)) {
    my->m_lossyCharacters = r.meta.lossyCharacters;
    my->m_textCut = r.meta.textCut;
  }
  doc->SetModifiedFlag(TRUE);
  return doc;
}

std::string Lines(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += "\n    " + item;
  return text;
}
}  // namespace

void CBackupKeeper::OfferRecovery(CWinApp& app) {
  if (!Running()) return;
  std::vector<FoundBackup> found;
  std::vector<std::string> bad;
  std::map<RecoveryReason, std::vector<std::string>> untitled;  // restored without their paths, by why
  std::map<std::uint32_t, bool> ended;  // runs looked at so far
  auto runEnded = [&](std::uint32_t run) {
    if (run == m_run) return false;
    auto it = ended.find(run);
    if (it == ended.end()) it = ended.emplace(run, RunEnded(m_folder, run)).first;
    return it->second;
  };
  for (const std::string& name : FilesIn(m_folder)) {
    FoundBackup b;
    if (ParseRunMarkName(name, b.run)) {
      runEnded(b.run);  // an ended run's mark goes
    } else if (ParseBackupName(name, ".tmp", b.run, b.number)) {
      if (runEnded(b.run)) DeleteFileA((m_folder + name).c_str());  // a write cut short
    } else if (ParseBackupName(name, ".rvb", b.run, b.number) && runEnded(b.run)) {
      std::string bytes;
      if (ReadWholeFile(m_folder + name, bytes) && ParseBackup(bytes, b.record)) {
        b.name = name;
        found.push_back(std::move(b));
      } else {
        // Kept for whoever wants to look, but never offered again.
        MoveFileExA((m_folder + name).c_str(), (m_folder + name + ".bad").c_str(), MOVEFILE_REPLACE_EXISTING);
        bad.push_back(m_folder + name);
      }
    }
  }
  std::sort(found.begin(), found.end(), [](const FoundBackup& a, const FoundBackup& b) {
    return a.run != b.run ? a.run < b.run : a.number < b.number;
  });

  if (!found.empty()) {
    std::string question = "前回正しく終了しなかったため、保存されていない文書が " + std::to_string(found.size()) +
                           " 個あります。復元しますか?";
    if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES) {
      std::vector<RecoveryCandidate> candidates;
      for (const FoundBackup& b : found) {
        RecoveryCandidate c;
        c.path = b.record.meta.path;
        c.recorded = b.record.meta.file;
        c.savedAt = b.record.meta.savedAt;
        if (!c.path.empty()) {
          c.folderExists = FolderExists(c.path);
          c.onDisk = ReadFileIdentity(c.path);
          c.openNow = app.FindOpenDocument(c.path.c_str()) != nullptr;
        }
        candidates.push_back(c);
      }
      const std::vector<RecoveryReason> reasons = DecideRecovery(candidates);
      for (std::size_t i = 0; i < found.size(); ++i) {
        const FoundBackup& b = found[i];
        // The file becomes this run's backup of the document; another
        // instance that took it first keeps it.
        const unsigned number = m_nextNumber++;
        const std::string from = m_folder + b.name;
        if (!MoveFileExA(from.c_str(), PathOf(number).c_str(), 0)) continue;
        CDocument* doc = RestoreDocument(app, b.record, reasons[i]);
        State state;
        if (!doc || !StateOf(doc, state)) {
          MoveFileExA(PathOf(number).c_str(), from.c_str(), 0);  // offered again next time
          continue;
        }
        if (reasons[i] != RecoveryReason::OwnPath && reasons[i] != RecoveryReason::NoPath)
          untitled[reasons[i]].push_back(b.record.meta.path);
        Entry& entry = m_entries[doc];
        entry.number = number;
        entry.onDisk = true;
        entry.seen = state;
        entry.changedAt = entry.waitingSince = m_now();
        entry.waiting = true;  // written again as this run's own backup
      }
    } else if (AfxMessageBox("復元しない文書のバックアップは削除されます。削除してよろしいですか?\n"
                             "(いいえ: 次回の起動時にもう一度確認します)",
                             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
      for (const FoundBackup& b : found) DeleteFileA((m_folder + b.name).c_str());
    }
  }

  // One message for everything the user should know of the restored set.
  static const struct {
    RecoveryReason reason;
    const char* text;
  } kUntitledNotes[] = {
      {RecoveryReason::FolderGone, "次の文書は保存先のフォルダーが見つからないため、無題の文書として復元しました。"},
      {RecoveryReason::ChangedOnDisk,
       "次の文書のファイルは、編集を始めた後にほかのプログラムで変更されている (または変更されていないことを確かめられない) ため、"
       "ファイルを上書きしないよう、無題の文書として復元しました (名前に「(復元)」を付けてあります)。"},
      {RecoveryReason::AlreadyOpen,
       "次の文書はすでに開かれているため、別のウィンドウに無題の文書として復元しました (名前に「(復元)」を付けてあります)。"},
      {RecoveryReason::NewerBackup,
       "次の文書には新しいバックアップもあるため、古いほうを無題の文書として復元しました (名前に「(復元)」を付けてあります)。"},
  };
  std::string notes;
  for (const auto& note : kUntitledNotes) {
    auto it = untitled.find(note.reason);
    if (it == untitled.end()) continue;
    if (!notes.empty()) notes += "\n\n";
    notes += note.text + Lines(it->second);
  }
  if (!bad.empty()) {
    if (!notes.empty()) notes += "\n\n";
    notes += "次のバックアップ ファイルは壊れているため復元できませんでした"
             " (末尾に .bad を付けた名前で残してあります)。" + Lines(bad);
  }
  if (!notes.empty()) AfxMessageBox(notes.c_str(), MB_OK | MB_ICONEXCLAMATION);
}
