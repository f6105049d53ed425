// Backups of the open documents while the program runs, and the run's mark.
#include "app/backup_keeper.h"
#include <shlobj.h>
#include <vector>
#include "document/mydoc.h"
#include "platform/framework/app.h"
#include "platform/framework/frame.h"
#include "platform/framework/pathutil.h"
#include "views/myeditview.h"

namespace {
const char kWriteFailed[] = "未保存の文書のバックアップを書き込めませんでした。";
}  // namespace

bool CBackupKeeper::State::operator==(const State& o) const {
  return textChanges == o.textChanges && meta.path == o.meta.path && meta.title == o.meta.title &&
         meta.encoding == o.meta.encoding && meta.lossyCharacters == o.meta.lossyCharacters &&
         meta.textCut == o.meta.textCut && meta.file == o.meta.file;
}

std::string CBackupKeeper::UserBackupFolder() {
  char local[MAX_PATH * 2];
  DWORD n = GetEnvironmentVariableA("LOCALAPPDATA", local, sizeof local);
  if (n == 0 || n >= sizeof local) {
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local))) return "";
    n = static_cast<DWORD>(strlen(local));
  }
  if (n == 0) return "";
  std::string folder(local, n);
  if (folder.back() != '\\') folder += '\\';
  return folder + "Ruvelto\\backup";
}

CBackupKeeper::~CBackupKeeper() {
  if (m_window) KillTimer(m_window, reinterpret_cast<UINT_PTR>(this));  // the window may be gone already
  if (m_mark != INVALID_HANDLE_VALUE) CloseHandle(m_mark);
}

bool CBackupKeeper::StartRun(const std::string& folder, CFrameWnd* frame) {
  m_frame = frame;
  m_window = frame ? frame->m_hWnd : nullptr;
  if (folder.empty()) {
    NoteFailure();
    return false;
  }
  m_folder = folder;
  if (m_folder.back() != '\\') m_folder += '\\';
  CreateDirectoryA(PathFolder(PathFolder(m_folder)).c_str(), nullptr);  // "Ruvelto" first
  CreateDirectoryA(m_folder.c_str(), nullptr);
  // A number no other run holds: the mark is made only where none exists.
  std::uint32_t seed = GetCurrentProcessId() * 0x9E3779B1u ^ GetTickCount();
  for (int attempt = 0; attempt < 16 && m_mark == INVALID_HANDLE_VALUE; ++attempt) {
    m_run = seed + static_cast<std::uint32_t>(attempt) * 0x01000193u;
    std::string mark = m_folder + RunMarkName(m_run);
    m_mark = CreateFileA(mark.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
    if (m_mark == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  }
  if (!Running()) {
    NoteFailure();
    return false;
  }
  if (m_window) SetTimer(m_window, reinterpret_cast<UINT_PTR>(this), kTickMs, &OnTimer);
  return true;
}

void CALLBACK CBackupKeeper::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  try {
    reinterpret_cast<CBackupKeeper*>(id)->Tick();
  } catch (...) {
    // A backup that cannot be made never disturbs the editing.
  }
}

bool CBackupKeeper::StateOf(CDocument* doc, State& state) {
  auto* view = dynamic_cast<CMyEditView*>(doc->GetFirstView());
  if (!view) return false;
  state.textChanges = view->TextChangeCount();
  state.meta.path = doc->GetPathName();
  state.meta.title = doc->GetTitle();
  state.meta.encoding = view->m_encoding;
  if (auto* my = dynamic_cast<CMyDoc*>(doc)) {
    state.meta.lossyCharacters = my->m_lossyCharacters;
    state.meta.textCut = my->m_textCut;
  }
  state.meta.file = doc->m_fileIdentity;
  return true;
}

std::string CBackupKeeper::BackupPathOf(CDocument* doc) const {
  auto it = m_entries.find(doc);
  return it != m_entries.end() && it->second.onDisk ? PathOf(it->second.number) : std::string();
}

void CBackupKeeper::Tick() {
  if (!Running()) return;
  const DWORD now = m_now();
  TakeResults(now);
  std::vector<CDocument*> open = AfxGetApp() ? AfxGetApp()->GetOpenDocuments() : std::vector<CDocument*>{};
  // Closed documents: their backups go (closing asked about saving already).
  for (auto it = m_entries.begin(); it != m_entries.end();) {
    bool isOpen = false;
    for (CDocument* d : open) isOpen = isOpen || d == it->first;
    if (isOpen) {
      ++it;
      continue;
    }
    Forget(it->second);
    it = m_entries.erase(it);
  }
  for (CDocument* doc : open) {
    State state;
    if (!StateOf(doc, state)) continue;
    auto found = m_entries.find(doc);
    if (found == m_entries.end()) {
      Entry fresh;
      fresh.number = m_nextNumber++;
      fresh.seen = state;
      fresh.changedAt = now;
      fresh.waiting = true;
      fresh.waitingSince = now;
      found = m_entries.emplace(doc, fresh).first;
    }
    Entry& entry = found->second;
    if (!doc->IsModified()) {  // saved (or never changed): nothing to keep
      Forget(entry);
      entry.seen = state;
      continue;
    }
    // A change, or a document marked modified without one (and no backup yet).
    if (!(state == entry.seen) || (!entry.onDisk && !entry.waiting)) {
      if (!entry.waiting) entry.waitingSince = now;
      entry.waiting = true;
      entry.seen = state;
      entry.changedAt = now;
    }
    if (entry.waiting && (now - entry.changedAt >= kQuietMs || now - entry.waitingSince >= kLongestMs))
      WriteBackup(doc, entry, now);
  }
}

void CBackupKeeper::TakeResults(DWORD now) {
  for (const BackupWriter::Result& r : m_writer.TakeResults()) {
    for (auto& e : m_entries) {
      Entry& entry = e.second;
      if (entry.job != r.job || PathOf(entry.number) != r.path) continue;
      if (r.ok) {
        m_failureNoted = false;
      } else {
        // Written again once the disk had a moment, the text as it is then.
        if (!entry.waiting) entry.waitingSince = now;
        entry.waiting = true;
        entry.changedAt = now;
        NoteFailure();
      }
    }
  }
}

void CBackupKeeper::NoteFailure() {
  // The frame object lives as long as its window.
  if (m_failureNoted || !m_frame || !m_window || !IsWindow(m_window)) return;
  m_failureNoted = true;
  m_frame->SetMessageText(kWriteFailed);
}

void CBackupKeeper::WriteBackup(CDocument* doc, Entry& entry, DWORD now) {
  auto* view = dynamic_cast<CMyEditView*>(doc->GetFirstView());
  if (!view) return;
  if (static_cast<unsigned long long>(view->GetTextLength()) > kLargestBackupText) {
    entry.changedAt = now;  // looked at again after the next pause, without a copy
    NoteFailure();
    return;
  }
  // The copy is the only work on this thread; the writer makes the file.
  std::string text;
  view->Reader().AllSpans().CopyTo(text);
  BackupMeta meta = entry.seen.meta;
  FILETIME made;
  GetSystemTimeAsFileTime(&made);
  meta.savedAt = static_cast<unsigned long long>(made.dwHighDateTime) << 32 | made.dwLowDateTime;
  std::string header = BackupHeader(meta, text.size());
  entry.job = m_writer.Write(PathOf(entry.number), TempOf(entry.number), std::move(header), std::move(text));
  entry.waiting = false;
  entry.onDisk = true;
}

void CBackupKeeper::Forget(Entry& entry) {
  entry.waiting = false;
  if (!entry.onDisk) return;
  m_writer.Remove(PathOf(entry.number), TempOf(entry.number));
  entry.onDisk = false;
}

void CBackupKeeper::EndRun() {
  if (!Running()) return;
  if (m_window) KillTimer(m_window, reinterpret_cast<UINT_PTR>(this));
  for (auto& e : m_entries) Forget(e.second);
  m_entries.clear();
  m_writer.Flush();
  // Whatever else carries this run's name (a write that failed half way).
  WIN32_FIND_DATAA found;
  std::string pattern = m_folder + RunMarkName(m_run).substr(0, 8) + "-*";
  HANDLE h = FindFirstFileA(pattern.c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do DeleteFileA((m_folder + found.cFileName).c_str());
    while (FindNextFileA(h, &found));
    FindClose(h);
  }
  CloseHandle(m_mark);
  m_mark = INVALID_HANDLE_VALUE;
  DeleteFileA((m_folder + RunMarkName(m_run)).c_str());
  RemoveDirectoryA(m_folder.c_str());  // only when nothing else is in it
  RemoveDirectoryA(PathFolder(PathFolder(m_folder)).c_str());
  m_frame = nullptr;
  m_window = nullptr;
}
