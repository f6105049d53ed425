// Find in files: the dialog, its remembered entries, and the worker thread.
#include "app/findinfiles.h"
#include <shlobj.h>
#include <algorithm>
#include <cstring>
#include "app/findinfiles_text.h"
#include "app/output_line.h"
#include "document/file_text.h"
#include "platform/framework/app.h"
#include "platform/framework/editview.h"
#include "platform/framework/modal.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"
#include "views/findreplace.h"

namespace {
const char kSection[] = "FindInFiles";
const size_t kZeroProbe = 8192;  // a zero byte this early marks a binary file

void FillCombo(HWND combo, const std::vector<std::string>& items, const std::string& first) {
  for (const std::string& s : items) ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
  ::SetWindowTextA(combo, first.c_str());
}

void RememberIn(std::vector<std::string>& list, const std::string& entry) {
  if (entry.empty()) return;
  list.erase(std::remove(list.begin(), list.end(), entry), list.end());
  list.insert(list.begin(), entry);
  if (list.size() > FindInFilesHistory::kKept) list.resize(FindInFilesHistory::kKept);
}

bool IsFolder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

// ------------------------------------------------------------ remembered entries

void FindInFilesHistory::Load(const CWinApp& app) {
  struct List {
    const char* key;
    std::vector<std::string>* items;
  } lists[] = {{"Find", &finds}, {"Types", &masks}, {"Folder", &folders}};
  for (const List& l : lists) {
    l.items->clear();
    for (size_t i = 0; i < kKept; ++i) {
      std::string v = app.GetProfileString(kSection, (l.key + std::to_string(i)).c_str(), "");
      if (!v.empty()) l.items->push_back(v);
    }
  }
  subfolders = app.GetProfileInt(kSection, "Subfolders", 1) != 0;
  matchCase = app.GetProfileInt(kSection, "MatchCase", 0) != 0;
  regex = app.GetProfileInt(kSection, "Regex", 0) != 0;
}

void FindInFilesHistory::Save(const CWinApp& app) const {
  struct List {
    const char* key;
    const std::vector<std::string>* items;
  } lists[] = {{"Find", &finds}, {"Types", &masks}, {"Folder", &folders}};
  for (const List& l : lists)
    for (size_t i = 0; i < kKept; ++i)
      app.WriteProfileString(kSection, (l.key + std::to_string(i)).c_str(),
                             i < l.items->size() ? (*l.items)[i].c_str() : nullptr);
  app.WriteProfileInt(kSection, "Subfolders", subfolders ? 1 : 0);
  app.WriteProfileInt(kSection, "MatchCase", matchCase ? 1 : 0);
  app.WriteProfileInt(kSection, "Regex", regex ? 1 : 0);
}

void FindInFilesHistory::Remember(const FindInFilesQuery& query) {
  RememberIn(finds, query.find);
  RememberIn(masks, query.masks);
  RememberIn(folders, query.folder);
  subfolders = query.subfolders;
  matchCase = query.matchCase;
  regex = query.regex;
}

std::unique_ptr<TextMatcher> MakeMatcher(const FindInFilesQuery& query, SearchComparer& compare, std::string& error) {
  if (!query.regex) return std::make_unique<LiteralMatcher>(query.find, query.matchCase, compare);
  CompiledRegex pattern = CompileRegex(query.find, query.matchCase, error);
  if (!pattern.Valid()) return nullptr;
  return std::make_unique<RegexMatcher>(std::move(pattern));
}

// ------------------------------------------------------------ the dialog

CFindInFilesDlg::CFindInFilesDlg(FindInFilesHistory& history, FindInFilesQuery query, CWnd* parent)
    : CDialog(IDD_FIND_IN_FILES, parent), m_query(std::move(query)), m_history(history) {}

BOOL CFindInFilesDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  FillCombo(GetDlgItem(IDC_FIF_FIND), m_history.finds, m_query.find);
  FillCombo(GetDlgItem(IDC_FIF_TYPES), m_history.masks, m_query.masks);
  FillCombo(GetDlgItem(IDC_FIF_FOLDER), m_history.folders, m_query.folder);
  CheckDlgButton(m_hWnd, IDC_FIF_SUBFOLDERS, m_query.subfolders ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(m_hWnd, IDC_FIF_MATCH_CASE, m_query.matchCase ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(m_hWnd, IDC_FIF_REGEX, m_query.regex ? BST_CHECKED : BST_UNCHECKED);
  ::SendMessageA(GetDlgItem(IDC_FIF_FIND), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  ::SetFocus(GetDlgItem(IDC_FIF_FIND));
  return FALSE;
}

BOOL CFindInFilesDlg::OnCommand(WPARAM wp, LPARAM lp) {
  if (LOWORD(wp) == IDC_FIF_BROWSE && HIWORD(wp) == BN_CLICKED) {
    char path[MAX_PATH] = "";
    BROWSEINFOA bi{};
    bi.hwndOwner = m_hWnd;
    bi.pszDisplayName = path;
    bi.lpszTitle = "検索するフォルダを選択してください。";
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    if (AfxRunCommonDialog("folder", &bi)) SetDlgItemText(IDC_FIF_FOLDER, path);
    return TRUE;
  }
  return CDialog::OnCommand(wp, lp);
}

void CFindInFilesDlg::OnOK() {
  FindInFilesQuery q = m_query;
  q.find = GetDlgItemText(IDC_FIF_FIND);
  q.masks = GetDlgItemText(IDC_FIF_TYPES);
  q.folder = GetDlgItemText(IDC_FIF_FOLDER);
  while (q.folder.size() > 3 && q.folder.back() == '\\') q.folder.pop_back();
  q.subfolders = IsDlgButtonChecked(m_hWnd, IDC_FIF_SUBFOLDERS) == BST_CHECKED;
  q.matchCase = IsDlgButtonChecked(m_hWnd, IDC_FIF_MATCH_CASE) == BST_CHECKED;
  q.regex = IsDlgButtonChecked(m_hWnd, IDC_FIF_REGEX) == BST_CHECKED;
  if (q.find.empty()) {
    AfxMessageBox("検索する文字列を入力してください。", MB_OK | MB_ICONEXCLAMATION, m_hWnd);
    ::SetFocus(GetDlgItem(IDC_FIF_FIND));
    return;
  }
  if (q.regex) {
    SystemComparer compare;
    std::string error;
    if (!MakeMatcher(q, compare, error)) {
      AfxMessageBox(AfxFormatString1(IDS_REGEX_INVALID, error.c_str()).c_str(), MB_OK | MB_ICONEXCLAMATION, m_hWnd);
      ::SetFocus(GetDlgItem(IDC_FIF_FIND));
      return;
    }
  }
  if (!IsFolder(q.folder)) {
    AfxMessageBox(("フォルダ \"" + q.folder + "\" が見つかりません。").c_str(), MB_OK | MB_ICONEXCLAMATION, m_hWnd);
    ::SetFocus(GetDlgItem(IDC_FIF_FOLDER));
    return;
  }
  if (SplitMasks(q.masks).empty()) q.masks = FindInFilesQuery().masks;
  m_query = q;
  m_history.Remember(q);
  CDialog::OnOK();
}

// ------------------------------------------------------------ the search

std::string FindInFilesSearch::HeaderLine(const FindInFilesQuery& q) {
  return "\"" + q.find + "\" を検索 (" + q.masks + ") " + q.folder + (q.subfolders ? " とサブフォルダ" : "");
}

void FindInFilesSearch::Start(const FindInFilesQuery& query, bool autoDetect) {
  Stop();
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_pending = FindInFilesBatch{};
  }
  m_stop = false;
  m_posted = false;
  m_running = true;
  m_thread = std::thread(&FindInFilesSearch::Run, this, query, autoDetect);
}

void FindInFilesSearch::Stop() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
}

void FindInFilesSearch::Wait() {
  if (m_thread.joinable()) m_thread.join();
}

FindInFilesBatch FindInFilesSearch::Take() {
  std::lock_guard<std::mutex> hold(m_lock);
  FindInFilesBatch batch = std::move(m_pending);
  m_pending = FindInFilesBatch{};
  m_pending.filesDone = batch.filesDone;
  m_pending.matches = batch.matches;
  m_pending.finished = batch.finished;  // a message posted before the end may be taken after it
  m_posted = false;
  return batch;
}

void FindInFilesSearch::Post(bool last) {
  bool fresh = false;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    for (; m_handed < m_listed.size() && m_listed[m_handed]->done; ++m_handed) {
      FileResult& file = *m_listed[m_handed];
      if (file.skipped) ++m_skipped;
      else ++m_searched;
      if (file.matches > 0) ++m_files;
      m_pending.matches += file.matches;
      if (!file.lines.empty()) {
        if (!m_pending.lines.empty()) m_pending.lines += "\r\n";
        m_pending.lines += file.lines;
        std::string().swap(file.lines);
      }
      fresh = true;
    }
    m_pending.filesDone = m_searched + m_skipped;
    if (last) {
      if (!m_pending.lines.empty()) m_pending.lines += "\r\n";
      m_pending.lines += std::to_string(m_pending.matches) + " 件見つかりました (" + std::to_string(m_files) +
                         " 個のファイル、検索 " + std::to_string(m_searched) + " 個、スキップ " +
                         std::to_string(m_skipped) + " 個)";
      if (m_stop) m_pending.lines += "\r\n中止しました";
      m_pending.finished = true;
      m_running = false;
    }
  }
  if (m_notify && (last || (fresh && !m_posted.exchange(true)))) ::PostMessageA(m_notify, m_message, 0, 0);
}

void FindInFilesSearch::Run(FindInFilesQuery query, bool autoDetect) {
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_listed.clear();
    m_handed = 0;
    m_files = m_searched = m_skipped = 0;
  }
  m_next = 0;
  try {
    ListFiles(query);
    // Reading and decoding cost more than listing: a second thread halves them.
    std::thread helper([&] { SearchFiles(query, autoDetect); });
    SearchFiles(query, autoDetect);
    helper.join();
  } catch (...) {
    m_stop = true;
  }
  try {
    Post(true);
  } catch (...) {  // no memory for the last lines: the search still ends
    m_running = false;
    if (m_notify) ::PostMessageA(m_notify, m_message, 0, 0);
  }
}

void FindInFilesSearch::ListFiles(const FindInFilesQuery& query) {
  const std::vector<std::string> masks = SplitMasks(query.masks);
  std::vector<std::string> folders{query.folder};
  while (!folders.empty() && !m_stop) {
    std::string folder = folders.back();
    folders.pop_back();
    std::vector<std::string> subfolders;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      std::string name = fd.cFileName;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (query.subfolders && name != "." && name != "..") subfolders.push_back(folder + "\\" + name);
        continue;
      }
      if (!MatchesAnyMask(name, masks)) continue;
      auto file = std::make_unique<FileResult>();
      file->path = folder + "\\" + name;
      file->size = (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
      m_listed.push_back(std::move(file));
    } while (!m_stop && FindNextFileA(find, &fd));
    FindClose(find);
    // Depth first, each folder's files before its subfolders, in the order the folder lists them.
    folders.insert(folders.end(), subfolders.rbegin(), subfolders.rend());
  }
}

void FindInFilesSearch::SearchFiles(const FindInFilesQuery& query, bool autoDetect) {
  try {
    SystemComparer compare;
    std::string error;
    std::unique_ptr<TextMatcher> matcher = MakeMatcher(query, compare, error);
    if (!matcher) return;  // the dialog let no such pattern through
    const std::string tooComplex = LoadResString(IDS_REGEX_TOO_COMPLEX);
    std::vector<char> bytes;
    for (size_t i; !m_stop && (i = m_next++) < m_listed.size();) {
      FileResult& file = *m_listed[i];
      if (!ReadSearchText(file.path, file.size, autoDetect, bytes)) {
        file.skipped = true;
      } else {
        ScanMatchingLines(bytes.data(), static_cast<int>(std::strlen(bytes.data())), *matcher, [&](const LineMatch& m) {
          if (!file.lines.empty()) file.lines += "\r\n";
          file.lines += FormatOutputLine(file.path, m.line, m.column, m.text);
          ++file.matches;
          return !m_stop.load();
        });
        if (matcher->TakeTooComplex()) {
          if (!file.lines.empty()) file.lines += "\r\n";
          file.lines += file.path + ": " + tooComplex;
        }
      }
      file.done = true;
      Post(false);
    }
  } catch (...) {
    m_stop = true;
  }
}

bool FindInFilesSearch::ReadSearchText(const std::string& path, unsigned long long size, bool autoDetect,
                                       std::vector<char>& bytes) {
  // The open command's rules: its size limit, then its detection and conversion.
  if (!CEditView::FitsSize(size)) return false;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  size_t n = static_cast<size_t>(size);
  bytes.assign(n + 1, '\0');
  DWORD got = 0;
  bool ok = n == 0 || (ReadFile(f, bytes.data(), static_cast<DWORD>(n), &got, nullptr) && got == n);
  CloseHandle(f);
  if (!ok) return false;
  if (std::memchr(bytes.data(), 0, std::min(n, kZeroProbe))) return false;
  if (autoDetect) DecodeFileBytes(bytes.data(), n);
  return true;
}
