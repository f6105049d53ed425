// The edit view base of every script window: the multi-level undo history that
// replaces the control's own, the undoable replace-selection operation for other
// parts, character positions, line-end normalisation, and the document's text in
// and out of its file's encoding.
//
// The history is fed from the text control's change reports, never from the
// keys: whatever changes the text - typing, Enter, Backspace, Delete, IME
// results, cut, paste, clear, ReplaceSelWithUndo - is recorded as the control
// made it. A typed character joins the typing run before it (unless it is a
// tab, a blank or 0x7F); the characters of one IME result form one insertion;
// the removal of a selection is a step of its own before the insertion that
// replaced it; what Delete removes after the caret is undone with the caret
// before it. Undo and redo put text back through the control's exact-range
// replacement and are not recorded again. Setting the whole text (loading)
// empties the history.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include "document/document_text.h"
#include "document/encoding.h"
#include "platform/framework/editview.h"
#include "platform/textctl/text_control.h"
#include "views/editor_colors.h"
#include "views/undo_stack.h"

class ViewDropTarget;
struct IDataObject;

// The two settings hints (UpdateAllDocumentViews): after the font and colour
// dialog, after the Options dialog.
enum ViewUpdateHint { HintFontAndColors = 1, HintOptions = 2 };

// What the views take from the main window on the two settings hints.
struct ViewSettings {
  HFONT font = nullptr;  // the editor font; each view makes its own copy
  EditorColors colors;   // may hold the automatic colour (see DrawableColors)
  int tabStops = 4;      // characters
  bool autoIndent = true;
  int stress = 1;        // colouring language: 0 none, 1 JScript, 2 VBScript
};

class CDocument;
class CMyEditView;
class CMyView;
struct FindReplaceState;

// What a script window's view asks of the program around it, handed to the
// view by the document template that makes it (the views include nothing
// above them).
struct ViewServices {
  // The editor-wide settings as they are now, read on the two settings hints
  // (none: the hints change nothing).
  std::function<ViewSettings()> settings;
  // Add macro: saves the view's document as a macro (none: the command is disabled).
  std::function<void(CMyView&)> addMacro;
  // The script commands of the view's document (run with its host, under
  // WScript or CScript, write an encoded copy: `id` says which): whether one
  // may run for a document with this path, and running it over the view's
  // text; `utf8` says the file is saved as UTF-8 (none: the commands are off).
  std::function<bool(UINT id, const std::string& path)> scriptCommandEnabled;
  std::function<void(UINT id, CDocument& doc, const CMyEditView& view, bool utf8)> scriptCommand;
  // The Find and Replace state the program's windows share: one dialog, one
  // find text (none: the view makes one of its own when it first needs it).
  std::shared_ptr<FindReplaceState> find;
  // Told after every change of the view's text (none: nobody is told).
  std::function<void(CMyEditView&)> textChanged;
};

class CMyEditView : public CEditView,
                    public DocumentText,
                    protected UndoTarget,
                    protected RvTextChangeListener {
 public:
  explicit CMyEditView(ViewServices services = {});
  ~CMyEditView() override;

  int m_encoding = static_cast<int>(TextEncoding::ShiftJis);  // TextEncoding of the file
  int m_syntaxMode = 1;                                     // SyntaxLanguage: 0 none, 1 JScript, 2 VBScript
  int m_dropIndex = -1;                                     // where the last drop landed
  BOOL m_draggingSelf = FALSE;
  ViewDropTarget* m_dropTarget = nullptr;  // registered while the window exists

  // Drag and drop (views/dragdrop.cpp). Points are client coordinates.
  int CharFromPoint(int x, int y) const;
  BOOL PointInSelection(int x, int y, BOOL inclusiveEnd) const;
  BOOL PointFitsText(int x, int y) const;
  // The drop target's steps: the drop caret and effect; the drop itself.
  DWORD DragOverAt(POINT p, DWORD keys, DWORD allowed);
  DWORD DropAt(IDataObject* data, POINT p, DWORD keys, DWORD allowed);
  // The source's side after its own drag of [s, e) ended with `effect`: a
  // move or copy within this view as one undo step.
  void FinishOwnDrag(DWORD effect, int s, int e, const std::string& text);
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnSetCursor(WPARAM, LPARAM);
  void RegisterDropTarget();
  void RevokeDropTarget();
  int LineHeight() const;
  CUndoStack m_undo;

  // Replaces the selection by `text`, recorded as a user's edit: the removal
  // of a non-empty selection, then the insertion of a non-empty text; the caret
  // ends after the text. The one change point for other parts of the program.
  void ReplaceSelWithUndo(const char* text);
  // Replaces [start, end) by `text` and leaves the caret at `caret` (the next
  // character boundary), recorded as one step of the history or as part of the
  // group open around it; when nothing is replaced only the caret moves. The
  // one entry point for an edit made from outside the control (a macro's).
  // False, with nothing changed, for a range outside the text or an edit
  // that grows the text past the size limit.
  bool ApplyEdit(int start, int end, const std::string& text, int caret);
  // False (out unchanged) when the selection is empty.
  BOOL CopySelectedText(std::string& out) const;
  // Client position of the character at `index`, also just past the last one.
  POINT PosFromChar(int index) const;
  // Copies `source` turning CR LF, lone CR and lone LF into CR LF; returns the
  // length written (without the terminating NUL). A null destination only counts.
  static int NormalizeLineEnds(const char* source, char* destination);

  // History operations.
  std::string GetTextRange(int start, int length) const override;
  int TextLength() const override { return Reader().Length(); }
  void Undo() { m_undo.Undo(); }
  void Redo() { m_undo.Redo(); }
  BOOL CanUndo() const { return m_undo.CanUndo(); }
  BOOL CanRedo() const { return m_undo.CanRedo(); }

  // The document's text through the file's encoding (used when auto-detection is on).
  void SerializeText(CArchive& ar, Utf8Forms forms) override;
  void ReadFileText(CArchive& ar, size_t byteCount);
  void WriteFileText(CArchive& ar, Utf8Forms forms);
  // DocumentText: the rest of what the document asks of its text.
  void SerializeBytes(CArchive& ar) override;
  LoadReport LastLoad() const override { return m_lastLoad; }
  SaveReport PreviewSave(bool convert, Utf8Forms forms) const override;

  void OnInitialUpdate() override;

  // Find and replace (views/findreplace.cpp), with the program-wide state of
  // views/findreplace.h. The four virtual operations come in this order.
  virtual void FindNext(const std::string& find, BOOL down, BOOL matchCase);
  virtual void ReplaceCurrent(const std::string& find, BOOL down, BOOL matchCase, const std::string& replacement);
  virtual void ReplaceAll(const std::string& find, const std::string& replacement, BOOL matchCase);
  virtual void ReportNotFound(const std::string& find);
  // Opens (or brings up) the Find (TRUE) or Replace (FALSE) dialog of this view.
  void ShowFindDialog(BOOL findOnly);
  // TRUE when the selection is a match; otherwise selects the next one (FALSE).
  BOOL PrepareReplace();
  // Selects the next match, caret at its end, scrolled into view.
  BOOL SearchText(const std::string& find, BOOL down, BOOL matchCase);
  BOOL SelectionEquals(const std::string& find, BOOL matchCase) const;
  LRESULT OnFindDialogMessage(WPARAM, LPARAM);
  void OnEditFind();
  void OnEditReplace();
  void OnEditRepeat();
  void OnEditFindPrev();
  void OnUpdateNeedFindText(CCmdUI* ui);
  void FocusFindDialog();
  void CloseOwnFindDialog();
  // HintFontAndColors (1): the font, then the tab stops; HintOptions (2): the
  // tab stops; both then ApplyViewSettings. Other hints: the framework's update.
  void OnUpdate(CView* sender, LPARAM hint, void* hintObject) override;
  const ViewServices& Services() const { return m_services; }
  // How many changes the control has reported so far (any text change counts).
  unsigned TextChangeCount() const { return m_textChanges; }
  // A number no other view of this run has (from 1): an answer that comes back
  // later names its view by it, never by a pointer that may be gone.
  unsigned Serial() const { return m_serial; }
  // The Find and Replace state this view works with (see ViewServices::find).
  FindReplaceState& FindState();

 protected:
  // UndoTarget: the control operations the history performs, exact byte ranges.
  void SelectAndClear(int start, int end) override;
  void InsertAt(int position, const std::string& text, bool caretBefore) override;
  void ReplaceRange(int start, int end, const std::string& text) override;
  // A group of steps (Replace All, a moving drop) repaints once at its end.
  void StepsBegin() override { SetRedraw(false); }
  void StepsEnd() override {
    SetRedraw(true);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ScrollCaret();
  }
  // RvTextChangeListener: records each change the control reports. A derived
  // view that follows the text (colours, gutter) overrides it and calls this one.
  void OnTextChange(HWND control, const RvTextChange& change) override;

  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  void OnEditUndo();
  void OnEditRedo();
  void OnUpdateEditUndo(CCmdUI* ui);
  void OnUpdateEditRedo(CCmdUI* ui);
  // The four encoding commands (auto-detection on: enabled; check on the current one).
  void OnEncoding(UINT id);
  void OnUpdateEncoding(CCmdUI* ui);
  // The script commands (run under the hosts, encoded copy) on this view's document.
  void OnScriptCommand(UINT id);
  void OnUpdateScriptCommand(CCmdUI* ui);
  // The settings a derived view keeps (colours, auto-indent); this one takes
  // the colouring language. Called on both settings hints.
  virtual void ApplyViewSettings(const ViewSettings& settings, int hint) { m_syntaxMode = settings.stress; }
  HFONT m_viewFont = nullptr;  // this view's copy of the editor font
  // Replaces [start, end) by text without recording it (a step of the history).
  void ApplyStep(int start, int end, const std::string& text, int caret);
  // RVEM_REPLACERANGE: false when the control refused the range.
  bool SendReplaceRange(int start, int end, const std::string& text, int caret);
  bool m_applyingHistory = false;  // true while undo or redo changes the text
  unsigned m_textChanges = 0;
  const unsigned m_serial;
  LoadReport m_lastLoad;  // what the last load could not show
  ViewServices m_services;
  DECLARE_MESSAGE_MAP()
};
