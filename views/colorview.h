// The colouring view: JScript and VBScript keywords, strings and comments drawn
// over the text control's own painting, at the positions the control reports
// for its characters, in the token's colour with a transparent background.
//
// The view keeps one state per line (the lexer state at the start of line k,
// an open block comment or not), written by the line passes, so a line is
// coloured from the state of the line above without lexing from the top.
// Lines are brought up to date as they are painted; line insertions and
// removals shift the states of the lines below, and a change of the colouring
// language forgets them all. Selected text keeps the control's selection
// colours. While redraw is off nothing is drawn: the control repaints, and
// with it the colours, once redraw is on again.
#pragma once
#include <vector>
#include "views/editor_colors.h"
#include "views/myeditview.h"
#include "views/syntax_lexer.h"

class CColorEditView : public CMyEditView {
 public:
  CColorEditView();
  ~CColorEditView() override;

  // Colours the part of the formatting rectangle inside `rect` (client
  // coordinates), or all of it when `rect` is null.
  void PaintSyntaxColors(const RECT* rect = nullptr);
  // Replaces the five colours; the automatic colour (FF000000) of a role draws
  // as that role's default.
  void SetColors(const EditorColors& colors);
  const EditorColors& GetColors() const { return m_colors; }
  // The lexer state stored for the start of `line` (0 when none is stored).
  unsigned LineState(int line) const;
  // The lexer state at the end of `line`, lexed from the state stored for its
  // start (0 when the view colours nothing or the line does not exist).
  unsigned StateAfterLine(int line);

 protected:
  void OnTextChange(HWND control, const RvTextChange& change) override;
  // The language, then the five colours as the settings hold them.
  void ApplyViewSettings(const ViewSettings& settings, int hint) override;

  LRESULT OnCtlColor(WPARAM dc, LPARAM);
  LRESULT OnPaint(WPARAM, LPARAM);
  void OnColorChange();
  LRESULT OnChar(WPARAM, LPARAM);
  LRESULT OnKeyDown(WPARAM, LPARAM);
  LRESULT OnSetRedraw(WPARAM, LPARAM);

  HDC m_pDC = nullptr;                  // the device context of the pass under way
  std::vector<unsigned> m_lineStates;   // entry k: state at the start of line k
  EditorColors m_colors;
  EditorColors m_drawn;  // m_colors with the automatic colour made drawable
  HBRUSH m_backBrush = nullptr;
  RECT m_pendingRect = {0, 0, 0, 0};    // set while a key handler runs
  TEXTMETRICA m_tm = {};

 private:
  void LinePass(int line, int caretLine, const RECT& format);
  // Repaints the caret's line after a key, or from the line above it down to
  // the bottom of the view when `toBottom`.
  void PaintKeyBand(bool toBottom);
  COLORREF RoleColor(syntax::Role role) const;
  int m_lexedLanguage = 1;   // the language the stored states were made by
  bool m_redrawOff = false;
  std::vector<syntax::Run> m_runs;
  std::string m_lineBuffer;
  std::wstring m_wide;
  DECLARE_MESSAGE_MAP()
};
