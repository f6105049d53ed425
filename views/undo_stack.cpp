// Undo history records and steps.
#include "views/undo_stack.h"

#include <algorithm>

void CUndoStack::DiscardRedo() {
  if (top < static_cast<int32_t>(records.size())) records.resize(static_cast<size_t>(top));
}

void CUndoStack::Push(UndoRecord record) {
  record.group = openGroup;
  records.push_back(std::move(record));
  ++top;
  if (top >= limit) {
    // Drop the oldest tenth of the history, at least one record.
    int32_t drop = std::max<int32_t>(limit / 10, 1);
    drop = std::min(drop, top);
    records.erase(records.begin(), records.begin() + drop);
    top -= drop;
  }
}

void CUndoStack::RecordInsert(int selectionStart, const std::string& text, bool mergeable) {
  if (text.empty()) return;
  DiscardRedo();
  const auto length = static_cast<int32_t>(text.size());
  if (mergeable && top > 0) {
    UndoRecord& last = records[static_cast<size_t>(top - 1)];
    if (last.kind == UNDO_TYPING && last.end == selectionStart && last.group == openGroup) {
      last.end += length;
      return;
    }
  }
  UndoRecord r;
  r.kind = mergeable ? UNDO_TYPING : UNDO_INSERT;
  r.start = selectionStart;
  r.end = selectionStart + length;
  Push(std::move(r));
}

bool CUndoStack::ExtendInsert(int at, int length) {
  if (top < 1 || top != static_cast<int32_t>(records.size()) || length <= 0) return false;
  UndoRecord& last = records[static_cast<size_t>(top - 1)];
  if ((last.kind != UNDO_INSERT && last.kind != UNDO_TYPING) || last.end != at || last.group != openGroup)
    return false;
  last.end += length;
  return true;
}

void CUndoStack::RecordDelete(int start, int end, bool forward) {
  PushDeletion(start, end, owner ? owner->GetTextRange(start, end - start) : std::string(), forward);
}

void CUndoStack::RecordDeleted(int start, std::string removed, bool forward) {
  if (removed.empty()) return;
  const int end = start + static_cast<int>(removed.size());
  PushDeletion(start, end, std::move(removed), forward);
}

void CUndoStack::PushDeletion(int start, int end, std::string text, bool forward) {
  UndoRecord r;
  r.kind = forward ? UNDO_DELETE_FORWARD : UNDO_DELETE;
  r.start = start;
  r.end = end;
  r.text = std::move(text);
  DiscardRedo();
  Push(std::move(r));
}

void CUndoStack::Undo() {
  if (top < 1 || !owner) return;
  const int32_t group = records[static_cast<size_t>(top - 1)].group;
  if (group) owner->StepsBegin();
  do UndoOne();
  while (group != 0 && top > 0 && records[static_cast<size_t>(top - 1)].group == group);
  if (group) owner->StepsEnd();
}

void CUndoStack::Redo() {
  if (!CanRedo() || !owner) return;
  const int32_t group = records[static_cast<size_t>(top)].group;
  if (group) owner->StepsBegin();
  do RedoOne();
  while (group != 0 && CanRedo() && records[static_cast<size_t>(top)].group == group);
  if (group) owner->StepsEnd();
}

void CUndoStack::BeginGroup() {
  if (groupDepth++ == 0) openGroup = ++lastGroup > 0 ? lastGroup : (lastGroup = 1);
}

void CUndoStack::EndGroup() {
  if (groupDepth > 0 && --groupDepth == 0) openGroup = 0;
}

void CUndoStack::UndoOne() {
  --top;
  UndoRecord& r = records[static_cast<size_t>(top)];
  if (r.kind == UNDO_INSERT || r.kind == UNDO_TYPING) {
    r.text = owner->GetTextRange(r.start, r.end - r.start);
    owner->SelectAndClear(r.start, r.end);
  } else {
    std::string text;
    text.swap(r.text);
    owner->InsertAt(r.start, text, r.kind == UNDO_DELETE_FORWARD);
  }
}

void CUndoStack::RedoOne() {
  UndoRecord& r = records[static_cast<size_t>(top)];
  ++top;
  if (r.kind == UNDO_INSERT || r.kind == UNDO_TYPING) {
    std::string text;
    text.swap(r.text);
    owner->InsertAt(r.start, text, false);
  } else {
    r.text = owner->GetTextRange(r.start, r.end - r.start);
    owner->SelectAndClear(r.start, r.end);
  }
}

void CUndoStack::Clear() {
  records.clear();
  top = 0;
}
