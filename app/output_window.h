// The 出力 window: one read-only MDI child of the main window for results
// (find in files; later a script's check and captured output). Not a
// document: closing asks nothing, Save All passes it by, Ctrl+S offers Save As. Its lines that name a place
// (app/output_line.h) jump there on a double-click, Enter or F4; F8 and
// Shift+F8 step through them from any window. Esc asks its owner to stop the
// work that fills it.
#pragma once
#include <functional>
#include <string>
#include "platform/framework/frame.h"

class COutputWnd;

// The read-only text control inside the window, subclassed for its keys.
class COutputText : public CWnd {
 public:
  explicit COutputText(COutputWnd& owner) : m_owner(owner) {}

 protected:
  COutputWnd& m_owner;
  LRESULT OnKeyDown(WPARAM, LPARAM);
  LRESULT OnGetDlgCode(WPARAM, LPARAM);
  LRESULT OnDoubleClick(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
};

class COutputWnd : public CMDIChildWnd {
 public:
  static const char kTitle[];  // "出力"

  // The main window's 出力 window, made (maximised, like the documents' windows)
  // when there is none. Activates it with `note` in its title (see SetNote)
  // from the start, so that work that begins never shows the title of work done.
  static COutputWnd* Open(CMDIFrameWnd* main, HFONT font, const std::string& note = std::string());
  // The 出力 window of `main`, or null.
  static COutputWnd* Find(CMDIFrameWnd* main);

  HWND TextWindow() const { return m_text.m_hWnd; }
  void Clear();
  // Adds lines (each without its line end) at the end of the text.
  void AppendLines(const std::string& lines);
  // The title: "出力" and, when given, a note after it (a search's progress).
  void SetNote(const std::string& note);
  // Jumps to the place of line `line` (from 0) when it names one: opens the
  // file or activates its window, selects the match at the column. False when
  // the line names no place or the file cannot be opened.
  bool JumpToLine(int line);
  // The next (step 1) or previous (step -1) place line after the caret's line,
  // selected in the window and jumped to. False when there is none.
  bool JumpToNext(int step);
  // Shown maximised, like the documents' windows, with the focus in its text.
  void ActivateFrame(int cmdShow = -1) override;
  // The length in bytes of the match at byte `at` of a line of the file a
  // place line names (0: none there); the jump selects that much, else the
  // one character. Set by whoever fills the window.
  std::function<int(const char* line, int length, int at)> m_matchLength;
  // Called by Esc in the window.
  std::function<void()> m_onStop;

 protected:
  COutputText m_text{*this};
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context) override;
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnSetFocus(WPARAM, LPARAM);
  LRESULT OnChildDestroy(WPARAM, LPARAM);
  void OnCopy();
  void OnSelectAll();
  // Ctrl+S and Save As: the text, as shown, into a file the user names.
  void OnSaveAs();
  std::string LineText(int line) const;
  friend class COutputText;
  DECLARE_MESSAGE_MAP()
};
