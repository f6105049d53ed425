// Main frame: the find-in-files command, its results in the 出力 window, and the
// steps through the results (F8, Shift+F8).
#include "app/mainfrm.h"
#include "app/findinfiles_text.h"
#include "app/output_window.h"
#include "document/editor_settings.h"
#include "platform/cp932.h"
#include "platform/framework/app.h"
#include "platform/framework/doc.h"
#include "platform/framework/pathutil.h"
#include "views/findreplace.h"

namespace {
bool IsWordByte(char c) {
  unsigned char b = static_cast<unsigned char>(c);
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_' || b == '$';
}
}  // namespace

std::string CMainFrame::FindTextAtCaret() {
  CMDIChildWnd* child = MDIGetActive();
  auto* view = child ? dynamic_cast<CEditView*>(child->GetActiveView()) : nullptr;
  if (!view) return {};
  HWND edit = view->m_hWnd;
  int start = 0, end = 0;
  view->GetSel(start, end);
  int line = static_cast<int>(::SendMessageA(edit, EM_LINEFROMCHAR, start, 0));
  int lineStart = static_cast<int>(::SendMessageA(edit, EM_LINEINDEX, line, 0));
  int length = static_cast<int>(::SendMessageA(edit, EM_LINELENGTH, lineStart, 0));
  std::string text(static_cast<size_t>(length) + 2, '\0');
  *reinterpret_cast<WORD*>(&text[0]) = static_cast<WORD>(length + 1);
  int got = static_cast<int>(::SendMessageA(edit, EM_GETLINE, line, reinterpret_cast<LPARAM>(&text[0])));
  text.resize(static_cast<size_t>(got < 0 ? 0 : got));
  int a = start - lineStart, b = end - lineStart;
  if (a < b && b <= got) return text.substr(static_cast<size_t>(a), static_cast<size_t>(b - a));
  if (a != b) return {};  // a selection over more than one line
  // The word at the caret: ASCII word characters, or a run of double-byte ones.
  size_t n = text.size(), i = 0, wordStart = 0;
  bool inWord = false, doubleByte = false;
  for (; i < n;) {
    size_t len = cp932::CharLength(text.data(), i, n);
    bool word = len == 2 || IsWordByte(text[i]);
    bool kind = len == 2;
    if (!word || (inWord && kind != doubleByte)) {
      if (inWord && static_cast<size_t>(a) >= wordStart && static_cast<size_t>(a) <= i) return text.substr(wordStart, i - wordStart);
      inWord = false;
    }
    if (word && !inWord) {
      inWord = true;
      doubleByte = kind;
      wordStart = i;
    }
    i += len;
  }
  if (inWord && static_cast<size_t>(a) >= wordStart) return text.substr(wordStart);
  return {};
}

void CMainFrame::OnFindInFiles() {
  if (m_findInFilesSearch && m_findInFilesSearch->Running()) {
    StopFindInFiles();  // the command again stops the search
    return;
  }
  FindInFilesQuery query;
  query.find = FindTextAtCaret();
  if (query.find.empty() && !m_findInFiles.finds.empty()) query.find = m_findInFiles.finds.front();
  if (!m_findInFiles.masks.empty()) query.masks = m_findInFiles.masks.front();
  CDocument* doc = GetActiveDocument();
  if (doc && !doc->GetPathName().empty()) query.folder = PathFolder(doc->GetPathName());
  else if (!m_findInFiles.folders.empty()) query.folder = m_findInFiles.folders.front();
  else query.folder = m_settings.m_directory;
  while (query.folder.size() > 3 && query.folder.back() == '\\') query.folder.pop_back();
  query.subfolders = m_findInFiles.subfolders;
  query.matchCase = m_findInFiles.matchCase;
  query.regex = m_findInFiles.regex;

  CFindInFilesDlg dlg(m_findInFiles, query, this);
  if (dlg.DoModal() != IDOK) return;
  m_findInFiles.Save(*AfxGetApp());
  COutputWnd* output = COutputWnd::Open(this, m_font, "検索中");
  if (!output) return;
  output->Clear();
  output->AppendLines(FindInFilesSearch::HeaderLine(dlg.m_query));
  output->m_onStop = [this] { StopFindInFiles(); };
  // A jump selects the whole match, found again on its line as the search found it.
  struct LineMatcher {
    SystemComparer compare;
    std::unique_ptr<TextMatcher> matcher;
  };
  auto lineMatcher = std::make_shared<LineMatcher>();
  std::string error;
  lineMatcher->matcher = MakeMatcher(dlg.m_query, lineMatcher->compare, error);
  output->m_matchLength = [lineMatcher](const char* line, int length, int at) {
    int end = at;
    return lineMatcher->matcher && lineMatcher->matcher->FindFrom(line, length, at, &end) == at ? end - at : 0;
  };
  if (!m_findInFilesSearch) m_findInFilesSearch = std::make_unique<FindInFilesSearch>(m_hWnd, kFindInFilesMessage);
  m_findInFilesSearch->Start(dlg.m_query, GetEditorSettings()->AutoDetect());
}

void CMainFrame::StopFindInFiles() {
  if (m_findInFilesSearch) m_findInFilesSearch->Stop();
}

LRESULT CMainFrame::OnFindInFilesResults(WPARAM, LPARAM) {
  if (!m_findInFilesSearch) return 0;
  FindInFilesBatch batch = m_findInFilesSearch->Take();
  COutputWnd* output = COutputWnd::Find(this);
  if (!output) return 0;
  if (!batch.lines.empty()) output->AppendLines(batch.lines);
  if (batch.finished) output->SetNote("");
  else output->SetNote("検索中 " + std::to_string(batch.filesDone) + " ファイル / " + std::to_string(batch.matches) + " 件");
  if (m_tabHook.m_tabBar.m_hWnd) {  // the tab follows the title now, its old width painted over
    m_tabHook.m_tabBar.UpdateTabs(false);
    ::InvalidateRect(m_tabHook.m_tabBar.m_hWnd, nullptr, TRUE);
  }
  return 0;
}

void CMainFrame::OnNextResult() {
  if (COutputWnd* output = COutputWnd::Find(this)) output->JumpToNext(1);
}

void CMainFrame::OnPrevResult() {
  if (COutputWnd* output = COutputWnd::Find(this)) output->JumpToNext(-1);
}
