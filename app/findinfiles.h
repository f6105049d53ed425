// Find in files: the ファイル内検索 dialog, the entries it remembers in the
// settings file, and the search that runs on a worker thread and hands its
// result lines to the user interface thread for the 出力 window.
#pragma once
#include <windows.h>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include "platform/framework/dialog.h"

class CWinApp;
class SearchComparer;
class TextMatcher;

struct FindInFilesQuery {
  std::string find;
  std::string masks = "*.js;*.jse;*.vbs;*.vbe;*.wsf;*.wsc;*.hta;*.txt";
  std::string folder;
  bool subfolders = true;
  bool matchCase = false;
  bool regex = false;
};

// The dialog's last entries (up to kKept of each, newest first) and options,
// kept in the settings file's section "FindInFiles".
struct FindInFilesHistory {
  static const size_t kKept = 10;
  std::vector<std::string> finds, masks, folders;
  bool subfolders = true, matchCase = false, regex = false;
  void Load(const CWinApp& app);
  void Save(const CWinApp& app) const;
  void Remember(const FindInFilesQuery& query);
};

// The matcher of a query: its compiled pattern, or the find commands' literal
// search through `compare`. Null, with the library's reason in `error`, for a
// pattern that does not compile.
std::unique_ptr<TextMatcher> MakeMatcher(const FindInFilesQuery& query, SearchComparer& compare, std::string& error);

class CFindInFilesDlg : public CDialog {
 public:
  CFindInFilesDlg(FindInFilesHistory& history, FindInFilesQuery query, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  FindInFilesQuery m_query;

 private:
  FindInFilesHistory& m_history;
};

// What the worker has found since the user interface thread last looked.
struct FindInFilesBatch {
  std::string lines;  // result lines joined by CR LF
  int filesDone = 0, matches = 0;
  bool finished = false;
};

// One search at a time over a folder tree. Files are read as opening them
// would read them (the size limit, the encoding's detection and conversion);
// a file over the limit, with a zero byte in its first 8 KB, or unreadable is
// skipped and counted. The worker lists the tree, then it and one more thread
// take its files in turn; the results are handed over in the listing's order.
// The worker posts `message` to `notify` (when there is one) when it has
// something new; Take() collects it.
class FindInFilesSearch {
 public:
  FindInFilesSearch(HWND notify, UINT message) : m_notify(notify), m_message(message) {}
  ~FindInFilesSearch() { Stop(); }
  // The first line of the output: the query, masks and folder.
  static std::string HeaderLine(const FindInFilesQuery& query);
  // Starts a search (stopping the one under way); `autoDetect` as the open command has it.
  void Start(const FindInFilesQuery& query, bool autoDetect);
  // Asks the worker to stop and waits for it; its last batch says "中止しました".
  void Stop();
  // Waits for the search to end by itself.
  void Wait();
  bool Running() const { return m_running; }
  FindInFilesBatch Take();

 private:
  // One listed file and, once searched, what it gave.
  struct FileResult {
    std::string path;
    unsigned long long size = 0;
    std::string lines;  // its result lines joined by CR LF
    int matches = 0;
    bool skipped = false;
    std::atomic<bool> done{false};
  };
  void Run(FindInFilesQuery query, bool autoDetect);
  void ListFiles(const FindInFilesQuery& query);
  void SearchFiles(const FindInFilesQuery& query, bool autoDetect);
  // Hands the results done, in order from the first not handed over, to the
  // pending batch; posts when there is something new (always when `last`).
  void Post(bool last);
  // The text of the file at `path` into `bytes`, ending at its first zero, as
  // the open command would load it; false for a file to skip.
  static bool ReadSearchText(const std::string& path, unsigned long long size, bool autoDetect,
                             std::vector<char>& bytes);
  HWND m_notify;
  UINT m_message;
  std::thread m_thread;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_running{false};
  std::atomic<bool> m_posted{false};
  std::vector<std::unique_ptr<FileResult>> m_listed;  // written by the worker before the search starts
  std::atomic<size_t> m_next{0};                      // the next listed file to search
  std::mutex m_lock;
  FindInFilesBatch m_pending;  // guarded by m_lock, as are the rest
  size_t m_handed = 0;         // listed files handed over
  int m_files = 0, m_searched = 0, m_skipped = 0;
};
