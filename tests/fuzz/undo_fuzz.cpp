// fuzz-sources: views/undo_stack.cpp
// The undo history against a model: random edits recorded as the view records
// them (typing runs, insertions, deletions known before or after they happen,
// IME results grown piece by piece) on a plain string with a caret, undo and
// redo in between, small limits. After every step the text must be the one the
// done records lead to, and every record must hold exactly the text it should.
#include <string>
#include <vector>
#include "tests/fuzz/textmodel_fuzz_input.h"
#include "views/undo_stack.h"

namespace {

// The text the history acts on.
class FakeText : public UndoTarget {
 public:
  std::string text;
  int caret = 0;
  std::string GetTextRange(int start, int length) const override { return text.substr(start, length); }
  int TextLength() const override { return static_cast<int>(text.size()); }
  void SelectAndClear(int start, int end) override {
    FUZZ_CHECK(0 <= start && start <= end && end <= static_cast<int>(text.size()));
    text.erase(start, end - start);
    caret = start;
  }
  void InsertAt(int position, const std::string& t, bool caretBefore) override {
    FUZZ_CHECK(0 <= position && position <= static_cast<int>(text.size()));
    text.insert(position, t);
    caret = caretBefore ? position : position + static_cast<int>(t.size());
  }
};

void CheckRecords(const CUndoStack& undo) {
  FUZZ_CHECK(0 <= undo.top && undo.top <= static_cast<int>(undo.records.size()));
  FUZZ_CHECK(undo.top < undo.limit || undo.records.empty());
  for (size_t i = 0; i < undo.records.size(); ++i) {
    const UndoRecord& r = undo.records[i];
    const bool done = static_cast<int>(i) < undo.top;
    const bool insertion = r.kind == UNDO_INSERT || r.kind == UNDO_TYPING;
    FUZZ_CHECK(r.start <= r.end);
    if (done == insertion)
      FUZZ_CHECK(r.text.empty());
    else
      FUZZ_CHECK(static_cast<int>(r.text.size()) == r.end - r.start);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in{data, size};
  FakeText doc;
  CUndoStack undo;
  undo.owner = &doc;
  if (in.Next() % 4 == 0) undo.limit = 1 + static_cast<int32_t>(in.Next() % 24);
  doc.text = "start text";
  // states[i]: the text once the first i records are done.
  std::vector<std::string> states{doc.text};
  bool imeOpen = false;  // the last record is an insertion that a further IME piece may grow

  // states keeps one text per record and one for the start: a new record
  // drops the redo part's states and adds one; the limit may drop the oldest.
  auto pushed = [&](int topBefore) {
    states.resize(static_cast<size_t>(topBefore) + 1);
    states.push_back(doc.text);
    const size_t dropped = states.size() - 1 - undo.records.size();
    states.erase(states.begin(), states.begin() + static_cast<long>(dropped));
  };
  auto merged = [&](int topBefore) {
    states.resize(static_cast<size_t>(topBefore) + 1);
    states.back() = doc.text;
  };

  while (in.n) {
    const int len = static_cast<int>(doc.text.size());
    const unsigned op = in.Next() % 9;
    const int topBefore = undo.top;
    if (op <= 2) {  // typing at the caret or elsewhere, an insertion, an IME piece
      if (in.Next() % 3 == 0) doc.caret = static_cast<int>(in.Below(len + 1));
      const std::string t(1 + in.Next() % 3, static_cast<char>('a' + in.Next() % 26));
      const int at = doc.caret;
      doc.text.insert(at, t);
      doc.caret = at + static_cast<int>(t.size());
      const UndoRecord* last = undo.top > 0 ? &undo.records[static_cast<size_t>(undo.top) - 1] : nullptr;
      const bool joins = op == 0 && last && last->kind == UNDO_TYPING && last->end == at;
      if (op == 2 && imeOpen && undo.ExtendInsert(at, static_cast<int>(t.size()))) {
        merged(topBefore);
      } else {
        undo.RecordInsert(at, t, op == 0);
        if (joins)
          merged(topBefore);
        else
          pushed(topBefore);
      }
      imeOpen = op == 2;
    } else if (op <= 4 && len > 0) {  // a deletion, recorded before or after it happens
      const int start = static_cast<int>(in.Below(len));
      const int end = start + 1 + static_cast<int>(in.Below(len - start));
      const bool forward = in.Next() % 2;
      if (op == 3) {
        undo.RecordDelete(start, end, forward);
        doc.text.erase(start, end - start);
      } else {
        const std::string removed = doc.text.substr(start, end - start);
        doc.text.erase(start, end - start);
        undo.RecordDeleted(start, removed, forward);
      }
      doc.caret = start;
      pushed(topBefore);
      imeOpen = false;
    } else if (op <= 6) {
      const bool could = undo.CanUndo();
      undo.Undo();
      if (could) FUZZ_CHECK(doc.text == states[static_cast<size_t>(undo.top)]);
      imeOpen = false;
    } else {
      const bool could = undo.CanRedo();
      undo.Redo();
      if (could) FUZZ_CHECK(doc.text == states[static_cast<size_t>(undo.top)]);
      imeOpen = false;
    }
    FUZZ_CHECK(states.size() == undo.records.size() + 1);
    FUZZ_CHECK(doc.text == states[static_cast<size_t>(undo.top)]);
    CheckRecords(undo);
    if (doc.text.size() > 2048) break;
  }
  while (undo.CanUndo()) undo.Undo();
  FUZZ_CHECK(doc.text == states.front());
  while (undo.CanRedo()) undo.Redo();
  FUZZ_CHECK(doc.text == states.back());
  CheckRecords(undo);
  return 0;
}
