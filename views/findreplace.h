// The program-wide state of the find and replace commands: the one modeless
// Find or Replace dialog, the view it belongs to, and what was last searched
// for. The edit view's find commands (views/findreplace.cpp) keep it.
//
// The dialog belongs to the view that opened it: it reports to that view only,
// the view's destruction closes it, and a Find or Replace asked for in another
// view closes it and opens a new one there.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <string>
#include "views/regex_search.h"
#include "views/search.h"

struct FindReplaceState {
  // The dialog's find and replace buffers (bytes, the terminating zero included).
  static const int kBufferSize = 512;

  HWND dialog = nullptr;  // the open Find or Replace dialog
  HWND owner = nullptr;   // the view it reports to
  BOOL findOnly = TRUE;   // the open dialog is the Find dialog
  std::string findText;
  std::string replaceText;
  BOOL matchCase = FALSE;
  BOOL searchDown = TRUE;
  BOOL regex = FALSE;        // 正規表現, remembered for the run
  BOOL inSelection = FALSE;  // the Replace dialog's 選択範囲のみ (set as it opens)

  // What the open dialog reads and writes; lives as long as the dialog.
  FINDREPLACEA fr{};
  char findBuffer[kBufferSize] = {};
  char replaceBuffer[kBufferSize] = {};
  SearchFilter filter;  // case-insensitive first characters of findText

 private:
  CompiledRegex m_pattern;  // findText compiled, when m_patternText is findText
  std::string m_patternText;
  BOOL m_patternCase = FALSE;

 public:

  // Opens a dialog of the kind asked for, reporting to `view`, with the texts
  // and options filled in (選択範囲のみ checked when the selection spans lines);
  // false when the system could not create it.
  bool Open(HWND view, BOOL findOnlyDialog, const std::string& initialFind, bool selectionSpansLines = false);
  // Takes the open dialog's own check boxes into `regex` and `inSelection`.
  void ReadOptions();
  // The find text as a pattern, compiled once per text and case; null when
  // it is wrong, after telling the user why when `tell`.
  const CompiledRegex* Pattern(BOOL matchCase, bool tell = true);
  // Closes the open dialog (if any) and forgets it.
  void Close();
};

// The message the dialog sends its view ("commdlg_FindReplace").
UINT FindReplaceMessage();

// The system's locale-aware comparison (lstrcmpA / lstrcmpiA) over byte
// ranges: CompareStringA of the thread's locale, with letter case ignored
// unless asked.
class SystemComparer : public SearchComparer {
 public:
  bool Equal(const char* a, int na, const char* b, int nb, bool matchCase) override;
};

// Copies `text` into a buffer of `size` bytes, cut at a character boundary so
// that the terminating zero fits.
void CopyToBuffer(const std::string& text, char* buffer, int size);
