// Undo history records and steps.
#include "views/undo_stack.h"

#include <algorithm>

namespace {

// Takes the records [first, last) back from `text`, the text once they were
// done, last first, leaving the text before them; false (text undefined) when
// a record does not fit. The text is kept as the bytes before a gap and the
// bytes after it (reversed), so records close together cost their distance
// rather than the text's length.
bool TakeBack(std::string& text, const UndoRecord* first, const UndoRecord* last) {
  std::string& head = text;  // the bytes before the gap
  std::string tail;          // the bytes after it, last byte first
  auto moveGap = [&](size_t at) {
    while (head.size() > at) {
      tail.push_back(head.back());
      head.pop_back();
    }
    while (head.size() < at) {
      head.push_back(tail.back());
      tail.pop_back();
    }
  };
  for (const UndoRecord* r = last; r != first;) {
    --r;
    const size_t size = head.size() + tail.size();
    if (r->start < 0 || static_cast<size_t>(r->start) > size) return false;
    moveGap(static_cast<size_t>(r->start));
    if (r->kind == UNDO_INSERT || r->kind == UNDO_TYPING) {
      const size_t length = static_cast<size_t>(r->end - r->start);
      if (r->end < r->start || length > tail.size()) return false;
      tail.resize(tail.size() - length);
    } else if (r->kind == UNDO_DELETE || r->kind == UNDO_DELETE_FORWARD) {
      head += r->text;
    } else {
      return false;
    }
  }
  head.append(tail.rbegin(), tail.rend());
  return true;
}

}  // namespace

void CUndoStack::DiscardRedo() {
  if (top < static_cast<int32_t>(records.size())) records.resize(static_cast<size_t>(top));
}

void CUndoStack::Push(UndoRecord record) {
  record.group = openGroup;
  if (openGroup) groupBytes += record.text.size();
  records.push_back(std::move(record));
  ++top;
  if (top >= limit) {
    // Drop the oldest tenth of the history, at least one record.
    int32_t drop = std::max<int32_t>(limit / 10, 1);
    drop = std::min(drop, top);
    records.erase(records.begin(), records.begin() + drop);
    top -= drop;
    groupFirst = std::max<int32_t>(groupFirst - drop, 0);
  }
}

void CUndoStack::RecordInsert(int selectionStart, const std::string& text, bool mergeable) {
  RecordInserted(selectionStart, static_cast<int>(text.size()), mergeable);
}

void CUndoStack::RecordInserted(int selectionStart, int length, bool mergeable) {
  if (length <= 0 || spanOpen) return;
  DiscardRedo();
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
  if (spanOpen) return length > 0;  // the span holds it
  if (top < 1 || top != static_cast<int32_t>(records.size()) || length <= 0) return false;
  UndoRecord& last = records[static_cast<size_t>(top - 1)];
  if ((last.kind != UNDO_INSERT && last.kind != UNDO_TYPING) || last.end != at || last.group != openGroup)
    return false;
  last.end += length;
  return true;
}

void CUndoStack::RecordDelete(int start, int end, bool forward) {
  if (spanOpen) return;
  PushDeletion(start, end, owner ? owner->GetTextRange(start, end - start) : std::string(), forward);
}

void CUndoStack::RecordDeleted(int start, std::string removed, bool forward) {
  if (removed.empty()) return;
  const int end = start + static_cast<int>(removed.size());
  PushDeletion(start, end, std::move(removed), forward);
}

void CUndoStack::RecordChange(int position, std::string removed, int insertedLength, bool forward, bool mergeable,
                              bool continued) {
  if (spanOpen) return;
  if (!removed.empty()) RecordDeleted(position, std::move(removed), forward);
  if (insertedLength > 0 && !(continued && ExtendInsert(position, insertedLength)))
    RecordInserted(position, insertedLength, mergeable);
  KeepGroupBounded();
}

void CUndoStack::KeepGroupBounded() {
  if (!openGroup || spanOpen || !owner || top != static_cast<int32_t>(records.size())) return;
  if (top - groupFirst <= groupRecordBound && groupBytes <= groupByteBound) return;
  const int length = owner->TextLength();
  std::string before = owner->GetTextRange(0, length);
  // A text the copy cannot hold whole (a NUL), or records that do not fit it,
  // keep the records as they are.
  if (static_cast<int>(before.size()) != length ||
      !TakeBack(before, records.data() + groupFirst, records.data() + top))
    return;
  UndoRecord span;
  span.kind = UNDO_SPAN;
  span.end = length;
  span.text = std::move(before);
  span.group = openGroup;
  records.resize(static_cast<size_t>(groupFirst));
  records.shrink_to_fit();  // the group's records are given back, not kept for later
  records.push_back(std::move(span));
  top = groupFirst + 1;
  groupBytes = 0;
  spanOpen = true;
}

void CUndoStack::CloseSpan() {
  spanOpen = false;
  if (!owner) {
    Clear();  // a history that cannot see its text must not act on it
    return;
  }
  UndoRecord& r = records[static_cast<size_t>(top - 1)];
  const int length = owner->TextLength();
  const std::string now = owner->GetTextRange(0, length);
  if (static_cast<int>(now.size()) != length) {
    r.start = 0;  // cannot be compared: the span stays the whole text
    r.end = length;
    return;
  }
  const std::string& before = r.text;
  const size_t shorter = std::min(before.size(), now.size());
  size_t same = 0, sameEnd = 0;
  while (same < shorter && before[same] == now[same]) ++same;
  while (sameEnd < shorter - same && before[before.size() - 1 - sameEnd] == now[now.size() - 1 - sameEnd]) ++sameEnd;
  if (same == before.size() && same == now.size()) {
    records.pop_back();  // the group changed nothing in the end
    --top;
    return;
  }
  r.start = static_cast<int32_t>(same);
  r.end = static_cast<int32_t>(now.size() - sameEnd);
  r.text = before.substr(same, before.size() - sameEnd - same);
}

void CUndoStack::ApplySpan(UndoRecord& r) {
  std::string other = owner->GetTextRange(r.start, r.end - r.start);
  owner->ReplaceRange(r.start, r.end, r.text);
  r.end = r.start + static_cast<int32_t>(r.text.size());
  r.text.swap(other);
}

void CUndoStack::PushDeletion(int start, int end, std::string text, bool forward) {
  if (spanOpen) return;
  UndoRecord r;
  r.kind = forward ? UNDO_DELETE_FORWARD : UNDO_DELETE;
  r.start = start;
  r.end = end;
  r.text = std::move(text);
  DiscardRedo();
  Push(std::move(r));
}

void CUndoStack::Undo() {
  if (spanOpen) CloseSpan();
  if (top < 1 || !owner) return;
  const int32_t group = records[static_cast<size_t>(top - 1)].group;
  if (group) owner->StepsBegin();
  do UndoOne();
  while (group != 0 && top > 0 && records[static_cast<size_t>(top - 1)].group == group);
  if (group) owner->StepsEnd();
}

void CUndoStack::Redo() {
  if (spanOpen) CloseSpan();
  if (!CanRedo() || !owner) return;
  const int32_t group = records[static_cast<size_t>(top)].group;
  if (group) owner->StepsBegin();
  do RedoOne();
  while (group != 0 && CanRedo() && records[static_cast<size_t>(top)].group == group);
  if (group) owner->StepsEnd();
}

void CUndoStack::BeginGroup() {
  if (groupDepth++ != 0) return;
  openGroup = ++lastGroup > 0 ? lastGroup : (lastGroup = 1);
  groupFirst = top;
  groupBytes = 0;
}

void CUndoStack::EndGroup() {
  if (groupDepth > 0 && --groupDepth == 0) {
    if (spanOpen) CloseSpan();
    openGroup = 0;
  }
}

void CUndoStack::UndoOne() {
  --top;
  UndoRecord& r = records[static_cast<size_t>(top)];
  if (r.kind == UNDO_SPAN) {
    ApplySpan(r);
  } else if (r.kind == UNDO_INSERT || r.kind == UNDO_TYPING) {
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
  if (r.kind == UNDO_SPAN) {
    ApplySpan(r);
  } else if (r.kind == UNDO_INSERT || r.kind == UNDO_TYPING) {
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
  groupFirst = 0;
  groupBytes = 0;
  spanOpen = false;
}
