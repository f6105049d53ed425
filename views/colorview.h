// The colouring view: JScript and VBScript keywords, strings and comments drawn
// over the text control's own painting, at the positions the control reports
// for its characters, in the token's colour with a transparent background.
//
// The view keeps one state per line (the lexer state at the start of line k,
// an open block comment or not) and how far those states are known. Before a
// line is coloured or printed the states are brought up to it, lexing on from
// the last known one, so a jump down the text sees the comments above it. A
// change of the text makes the states below its first line unknown (as the
// control reports it, whatever made it); a change of the colouring language
// makes them all unknown. Selected text keeps the control's selection
// colours. While redraw is off nothing is drawn: the control repaints, and
// with it the colours, once redraw is on again.
#pragma once
#include <vector>
#include "platform/textctl/blank_glyphs.h"
#include "views/editor_colors.h"
#include "views/myeditview.h"
#include "views/syntax_lexer.h"

class CColorEditView : public CMyEditView {
 public:
  explicit CColorEditView(ViewServices services = {});
  ~CColorEditView() override;

  // Colours the part of the formatting rectangle inside `rect` (client
  // coordinates), or all of it when `rect` is null.
  void PaintSyntaxColors(const RECT* rect = nullptr);
  // Replaces the five colours; the automatic colour (FF000000) of a role draws
  // as that role's default.
  void SetColors(const EditorColors& colors);
  const EditorColors& GetColors() const { return m_colors; }
  // Printed rows take the colours of their lines from the same line states;
  // the text colour is left to the page.
  void GetPrintColors(size_t begin, size_t end, std::vector<PrintColor>& runs) override;
  // The lexer state at the start of `line` (0 when the view colours nothing;
  // past the last line, the state after it), brought up to date first.
  unsigned LineState(int line);
  // Redraw is off (WM_SETREDRAW FALSE): a run of changes is under way.
  bool DrawingHeld() const { return m_redrawOff; }

  // The syntax check's error at byte `column` of line `line` (both from 0),
  // underlined with a red wave from there to the line's end; a line of -1
  // takes the mark away. The mark keeps to its text: a change before it moves
  // it (lines put in or taken out above move it to another line), one that
  // takes its text away leaves it where the change was, and a new text (a
  // load) takes it away.
  void SetSyntaxError(int line, int column);
  int SyntaxErrorLine() const { return m_errorLine; }
  int SyntaxErrorIndex() const { return m_errorIndex; }

 protected:
  void OnTextChange(HWND control, const RvTextChange& change) override;
  // The error mark is now on `line` (-1: none); a view with a gutter follows.
  virtual void OnSyntaxErrorLine(int line) {}
  // The language (the file's own, else the settings'), then the five colours
  // as the settings hold them.
  void ApplyViewSettings(const ViewSettings& settings, int hint) override;
  // A new path of the document (opened, saved as) may change the language.
  void OnUpdate(CView* sender, LPARAM hint, void* hintObject) override;

  LRESULT OnCtlColor(WPARAM dc, LPARAM);
  LRESULT OnPaint(WPARAM, LPARAM);
  void OnColorChange();
  LRESULT OnChar(WPARAM, LPARAM);
  LRESULT OnKeyDown(WPARAM, LPARAM);
  LRESULT OnSetRedraw(WPARAM, LPARAM);

  HDC m_pDC = nullptr;                  // the device context of the pass under way
  std::vector<unsigned> m_lineStates;   // entry k: state at the start of line k
  // invariant: entries 0 to m_knownStates are those of the current text and language.
  int m_knownStates = 0;
  EditorColors m_colors;
  EditorColors m_drawn;  // m_colors with the automatic colour made drawable
  HBRUSH m_backBrush = nullptr;
  RECT m_pendingRect = {0, 0, 0, 0};    // set while a key handler runs
  TEXTMETRICA m_tm = {};

 private:
  // Makes the states known up to entry `line` (at most the line count);
  // false when the view colours nothing.
  bool UpdateStates(int line);
  // Lexes line `line` (its states known up to it) into m_runs and stores the
  // state of the line below; false for an empty line.
  bool LexStoredLine(int line);
  void LinePass(int line, int caretLine, const RECT& format);
  // Repaints the caret's line after a key, or from the line above it down to
  // the bottom of the view when `toBottom`.
  void PaintKeyBand(bool toBottom);
  // The wave under the error from its index to its line's end, when that line
  // lies in [first, last]; at least one character wide.
  void DrawErrorWave(int first, int last, int caretLine, const RECT& format);
  // Repaints the row of `line` (a line out of view repaints nothing).
  void InvalidateLine(int line);
  // Sets the error's index and the line it is on, telling OnSyntaxErrorLine.
  void PlaceSyntaxError(int index);
  COLORREF RoleColor(syntax::Role role) const;
  int m_lexedLanguage = 1;   // the language the stored states were made by
  int m_optionsLanguage = 1; // the settings' language, for files of no language of their own
  bool m_redrawOff = false;
  std::vector<syntax::Run> m_runs;
  // The runs of the line last printed, lexed from its state, until the text
  // or the language changes.
  int m_printedLine = -1;
  int m_printedLanguage = 0;
  std::vector<syntax::Run> m_printedRuns;
  std::string m_lineBuffer;
  std::wstring m_wide;
  int m_lineHeight = 1;        // the control's, during a pass
  int m_errorIndex = -1;       // the syntax error's byte index, -1 none
  int m_errorLine = -1;        // the line of m_errorIndex
  BlankGlyphs m_blankGlyphs;   // drawn in the role's colour over the control's fill
  DECLARE_MESSAGE_MAP()
};
