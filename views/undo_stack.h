// The multi-level undo and redo history of one view, without any Windows
// header: records of insertions and deletions in byte indexes, and the steps
// that undo and redo them through the owner's text operations. The view feeds
// it from the text control's change reports, so every record describes a change
// that happened; the history's own steps are not recorded again.
//
// Invariant: records [0, top) are done, [top, count) can be redone. A done
// insertion holds no text (read back when undone); a done deletion holds the
// removed text. In the redo part the roles are swapped. A span always holds
// the other text of its range.
//
// A group stays bounded however long it runs: once its records pass
// `groupRecordBound` or the text they hold passes `groupByteBound`, the group
// becomes one span record holding the whole text as it was before the group,
// and later changes inside the group record nothing. When the group ends the
// span shrinks to the bytes that differ (the text before them and after them
// is the same on both sides).
#pragma once
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

enum UndoKind : int32_t {
  UNDO_INSERT = 2,          // text inserted as one step
  UNDO_TYPING = 3,          // typed characters; may still grow
  UNDO_DELETE = 4,          // removed text; undo leaves the caret after it
  UNDO_DELETE_FORWARD = 5,  // removed by Delete; undo leaves the caret before it
  UNDO_SPAN = 6,            // [start, end) stood for `text` before (done) or after (redo) a group
};

struct UndoRecord {
  int32_t kind = UNDO_INSERT;
  int32_t start = 0;
  int32_t end = 0;  // for an insertion, start + byte length of the text
  std::string text;
  int32_t group = 0;  // records of one group (non-zero) are undone and redone together
};

// What the history needs of the text it acts on.
class UndoTarget {
 public:
  virtual std::string GetTextRange(int start, int length) const = 0;
  virtual int TextLength() const = 0;
  // Selects [start, end), scrolls the caret into view, removes the selection.
  virtual void SelectAndClear(int start, int end) = 0;
  // Puts the caret at `position`, scrolls it into view, inserts `text` there;
  // the caret ends after the text, or at `position` when `caretBefore`.
  virtual void InsertAt(int position, const std::string& text, bool caretBefore) = 0;
  // Replaces [start, end) by `text`, the caret at `start`, scrolled into view.
  virtual void ReplaceRange(int start, int end, const std::string& text) {
    SelectAndClear(start, end);
    InsertAt(start, text, true);
  }
  // Around the steps of one group: the target may hold back its redrawing.
  virtual void StepsBegin() {}
  virtual void StepsEnd() {}

 protected:
  ~UndoTarget() = default;
};

class CUndoStack {
 public:
  std::vector<UndoRecord> records;
  int32_t top = 0;
  int32_t limit = INT32_MAX;
  UndoTarget* owner = nullptr;
  int32_t groupDepth = 0;
  int32_t openGroup = 0;  // id given to records while a group is open
  int32_t lastGroup = 0;
  int32_t groupRecordBound = 2048;      // records of one group before it becomes a span
  size_t groupByteBound = 1024 * 1024;  // bytes its records hold before it does

  // `selectionStart` is where the text went (or is about to go). A mergeable
  // insertion extends a typing record that ends there. Empty text records nothing.
  void RecordInsert(int selectionStart, const std::string& text, bool mergeable);
  // Grows the last done insertion by `length` bytes when it ends at `at` and
  // nothing can be redone (the further characters of one IME result); false
  // when it does not end there.
  bool ExtendInsert(int at, int length);
  // Reads the removed text from the owner before it goes.
  void RecordDelete(int start, int end, bool forward);
  // A deletion that already happened: `removed` went from `start`. Empty text
  // records nothing.
  void RecordDeleted(int start, std::string removed, bool forward);
  // One change as the text control reports it, once it has happened: `removed`
  // went from `position`, then `insertedLength` bytes went in there. `forward`:
  // removed by Delete after the caret; `mergeable`: a typed character that may
  // join the typing run; `continued`: a further piece of the insertion before
  // it (an IME result). The group bound is applied here, where the text and
  // the records agree.
  void RecordChange(int position, std::string removed, int insertedLength, bool forward, bool mergeable,
                    bool continued);
  void Undo();
  void Redo();
  void Clear();
  // Records made between BeginGroup and the matching EndGroup form one step of
  // undo and redo (a Replace All, a drop that moves text). Groups nest; the
  // outermost pair counts. A typing run never grows across a group's edge.
  void BeginGroup();
  void EndGroup();
  bool CanUndo() const { return top > 0; }
  bool CanRedo() const { return top < static_cast<int32_t>(records.size()); }
  // The open group has become a span (see the bound above).
  bool GroupIsSpan() const { return spanOpen; }

 private:
  void DiscardRedo();
  void RecordInserted(int selectionStart, int length, bool mergeable);
  // Turns the open group into a span when it has passed a bound.
  void KeepGroupBounded();
  // Ends the open span: shrinks it to the bytes that differ, or drops it when
  // nothing differs.
  void CloseSpan();
  void ApplySpan(UndoRecord& r);
  int32_t groupFirst = 0;   // index of the open group's first record
  size_t groupBytes = 0;    // text held by the open group's records
  bool spanOpen = false;    // the open group is the span at records[top - 1]
  // Pushes at `top` and applies the limit: when `top` reaches it, the oldest
  // tenth (at least one record) goes.
  void Push(UndoRecord record);
  void PushDeletion(int start, int end, std::string text, bool forward);
  void UndoOne();
  void RedoOne();
};

// Opens a group of the history for its lifetime.
class UndoGroup {
 public:
  explicit UndoGroup(CUndoStack& stack) : m_stack(stack) { m_stack.BeginGroup(); }
  ~UndoGroup() { m_stack.EndGroup(); }
  UndoGroup(const UndoGroup&) = delete;
  UndoGroup& operator=(const UndoGroup&) = delete;

 private:
  CUndoStack& m_stack;
};
