// The edit view base of every script window: the multi-level undo history that
// replaces the control's own, the recording of every kind of edit, the undoable
// replace-selection operation for other parts, character positions, line-end
// normalisation, and the document's text in and out of its file's encoding.
#pragma once
#include <string>
#include "document/document_text.h"
#include "document/encoding.h"
#include "platform/framework/editview.h"
#include "views/undo_stack.h"

class CMyEditView : public CEditView, public DocumentText, protected UndoTarget {
 public:
  CMyEditView();
  ~CMyEditView() override;

  int m_encoding = static_cast<int>(TextEncoding::ShiftJis);  // TextEncoding of the file
  int m_syntaxMode = 1;                                     // SyntaxLanguage: 0 none, 1 JScript, 2 VBScript
  int m_dropIndex = -1;                                     // where the last drop landed
  BOOL m_draggingSelf = FALSE;
  int m_imePending = 0;  // bytes of the last IME result still to arrive as characters
  CUndoStack m_undo;

  // Replaces the selection by `text` as the user's edit would be recorded.
  void ReplaceSelWithUndo(const char* text);
  // False (out unchanged) when the selection is empty.
  BOOL CopySelectedText(std::string& out) const;
  // Client position of the character at `index`, also just past the last one.
  POINT PosFromChar(int index) const;
  // Copies `source` turning CR LF, lone CR and lone LF into CR LF; returns the
  // length written (without the terminating NUL). A null destination only counts.
  static int NormalizeLineEnds(const char* source, char* destination);

  // History operations.
  void RecordSelectionDelete();
  void RecordInsert(const char* text, bool mergeable);
  void RecordDelete(int start, int end, bool forward);
  void RecordDeleteKey(int key);
  void RecordClipboardText();
  std::string GetTextRange(int start, int length) const override;
  void Undo() { m_undo.Undo(); }
  void Redo() { m_undo.Redo(); }
  BOOL CanUndo() const { return m_undo.CanUndo(); }
  BOOL CanRedo() const { return m_undo.CanRedo(); }

  // The document's text through the file's encoding (used when auto-detection is on).
  void SerializeText(CArchive& ar) override;
  void ReadFileText(CArchive& ar, size_t byteCount);
  void WriteFileText(CArchive& ar);
  // DocumentText: the rest of what the document asks of its text.
  void SerializeBytes(CArchive& ar) override;
  LoadReport LastLoad() const override { return m_lastLoad; }
  SaveReport PreviewSave(bool convert) const override;

  void OnInitialUpdate() override;

 protected:
  // UndoTarget: the control operations the history performs.
  void SelectAndClear(int start, int end) override;
  void InsertAt(int position, const std::string& text, bool caretBefore) override;

  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnChar(WPARAM, LPARAM);
  LRESULT OnKeyDown(WPARAM, LPARAM);
  LRESULT OnImeComposition(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  void OnEditUndo();
  void OnEditRedo();
  void OnUpdateEditUndo(CCmdUI* ui);
  void OnUpdateEditRedo(CCmdUI* ui);
  void OnEditCutRecorded();
  void OnEditPasteRecorded();
  void OnEditClearRecorded();
  // The four encoding commands (auto-detection on: enabled; check on the current one).
  void OnEncoding(UINT id);
  void OnUpdateEncoding(CCmdUI* ui);
  unsigned char m_pendingLead = 0;  // a typed lead byte waiting for its trail byte
  LoadReport m_lastLoad;  // what the last load could not show
  DECLARE_MESSAGE_MAP()
};
