// The undo history over a plain byte string standing in for the control, and the
// line-end normalisation. Headless: no window is created.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>
#include "views/line_ends.h"
#include "views/undo_stack.h"

namespace {

// A text with a caret, acting as the control does for the history's steps.
class FakeText : public UndoTarget {
 public:
  std::string text;
  int caret = 0;
  int targetCalls = 0;

  std::string GetTextRange(int start, int length) const override { return text.substr(start, length); }
  int TextLength() const override { return static_cast<int>(text.size()); }
  void SelectAndClear(int start, int end) override {
    ++targetCalls;
    text.erase(start, end - start);
    caret = start;
  }
  void InsertAt(int position, const std::string& t, bool caretBefore) override {
    ++targetCalls;
    text.insert(position, t);
    caret = caretBefore ? position : position + static_cast<int>(t.size());
  }
};

class UndoStackTest : public ::testing::Test {
 protected:
  FakeText doc;
  CUndoStack undo;

  void SetUp() override { undo.owner = &doc; }

  // The user's edits: recorded first, then performed, as the view does.
  void Type(const std::string& s, bool mergeable = true) {
    undo.RecordInsert(doc.caret, s, mergeable);
    doc.text.insert(doc.caret, s);
    doc.caret += static_cast<int>(s.size());
  }
  void Remove(int start, int end, bool forward) {
    undo.RecordDelete(start, end, forward);
    doc.text.erase(start, end - start);
    doc.caret = start;
  }
  // A replacement as the control reports it: made first, then recorded.
  void Replace(int start, int end, const std::string& s) {
    const std::string removed = doc.text.substr(start, end - start);
    doc.text.replace(start, end - start, s);
    doc.caret = start + static_cast<int>(s.size());
    undo.RecordChange(start, removed, static_cast<int>(s.size()), false, false, false);
  }

  // Done insertions and redoable deletions hold no text; the others hold exactly
  // the bytes of their range.
  void ExpectTextInvariant() {
    for (size_t i = 0; i < undo.records.size(); ++i) {
      SCOPED_TRACE(i);
      const UndoRecord& r = undo.records[i];
      const bool done = static_cast<int>(i) < undo.top;
      const bool insertion = r.kind == UNDO_INSERT || r.kind == UNDO_TYPING;
      if (r.kind == UNDO_SPAN)
        EXPECT_LE(r.start, r.end);
      else if (done == insertion)
        EXPECT_TRUE(r.text.empty());
      else
        EXPECT_EQ(static_cast<int>(r.text.size()), r.end - r.start);
    }
  }
};

TEST_F(UndoStackTest, TypedRunsMergeUntilAnUnmergeableInsertOrACaretJump) {
  Type("a");
  Type("b");
  Type(" ", false);
  Type("c");
  Type("d");
  ASSERT_EQ(undo.records.size(), 3u);
  EXPECT_EQ(undo.records[0].kind, UNDO_TYPING);
  EXPECT_EQ(undo.records[0].start, 0);
  EXPECT_EQ(undo.records[0].end, 2);
  EXPECT_EQ(undo.records[1].kind, UNDO_INSERT);
  EXPECT_EQ(undo.records[2].start, 3);
  EXPECT_EQ(undo.records[2].end, 5);
  // A typed character elsewhere starts a new run; one after an unmergeable
  // insertion does too.
  doc.caret = 1;
  Type("x");
  Type("\r\n", false);
  Type("y");
  EXPECT_EQ(undo.records.size(), 6u);
  EXPECT_EQ(undo.top, 6);
  EXPECT_EQ(doc.text, "ax\r\nyb cd");
  ExpectTextInvariant();

  undo.Undo();
  undo.Undo();
  undo.Undo();
  EXPECT_EQ(doc.text, "ab cd");
  undo.Undo();
  EXPECT_EQ(doc.text, "ab ");
  undo.Undo();
  undo.Undo();
  EXPECT_EQ(doc.text, "");
  EXPECT_FALSE(undo.CanUndo());
}

TEST_F(UndoStackTest, AnyNewRecordDiscardsTheRedoPartEvenOneThatMergesBelow) {
  Type("ab");
  Type(" ", false);
  undo.Undo();
  ASSERT_TRUE(undo.CanRedo());
  // The typed character extends the run below the undone space.
  Type("c");
  EXPECT_FALSE(undo.CanRedo());
  ASSERT_EQ(undo.records.size(), 1u);
  EXPECT_EQ(undo.records[0].end, 3);

  Remove(0, 1, false);
  undo.Undo();
  ASSERT_TRUE(undo.CanRedo());
  Remove(2, 3, true);  // a deletion discards it as well
  EXPECT_EQ(undo.records.size(), 2u);
  EXPECT_EQ(undo.top, 2);
  EXPECT_FALSE(undo.CanRedo());
  undo.Redo();  // nothing to redo: no change
  EXPECT_EQ(doc.text, "ab");

  // Empty text is not recorded and does not touch the redo part.
  undo.Undo();
  undo.RecordInsert(0, "", true);
  EXPECT_TRUE(undo.CanRedo());
}

TEST_F(UndoStackTest, EachKindUndoesAndRedoesKeepingTheTextInvariant) {
  Type("hello");                 // typing
  Type(", world", false);        // insertion
  Remove(0, 1, false);           // Backspace or a selection
  Remove(4, 5, true);            // Delete key
  ASSERT_EQ(doc.text, "ello world");
  ExpectTextInvariant();
  const std::vector<std::string> states = {"", "hello", "hello, world", "ello, world", "ello world"};
  for (int i = 4; i > 0; --i) {
    undo.Undo();
    EXPECT_EQ(doc.text, states[i - 1]);
    ExpectTextInvariant();
  }
  for (int i = 1; i <= 4; ++i) {
    undo.Redo();
    EXPECT_EQ(doc.text, states[i]);
    ExpectTextInvariant();
  }
  // Undo and redo at the ends of the history do nothing.
  const int calls = doc.targetCalls;
  undo.Redo();
  undo.Undo();
  undo.Undo();
  undo.Undo();
  undo.Undo();
  undo.Undo();
  EXPECT_EQ(doc.text, "");
  EXPECT_EQ(doc.targetCalls, calls + 4);
}

TEST_F(UndoStackTest, UndoOfDeleteKeyLeavesTheCaretBeforeTheTextOthersAfter) {
  doc.text = "abcdef";
  Remove(2, 4, true);
  undo.Undo();
  EXPECT_EQ(doc.text, "abcdef");
  EXPECT_EQ(doc.caret, 2);
  undo.Redo();
  EXPECT_EQ(doc.caret, 2);

  Remove(1, 3, false);
  undo.Undo();
  EXPECT_EQ(doc.text, "abef");
  EXPECT_EQ(doc.caret, 3);
  // Undo of an insertion leaves the caret where the text began; redo after it.
  doc.caret = 4;
  Type("XY", false);
  undo.Undo();
  EXPECT_EQ(doc.caret, 4);
  undo.Redo();
  EXPECT_EQ(doc.caret, 6);
}

TEST_F(UndoStackTest, ReachingTheLimitDropsTheOldestTenth) {
  undo.limit = 20;
  for (int i = 0; i < 20; ++i) Type(std::string(1, static_cast<char>('A' + i)), false);
  EXPECT_EQ(undo.top, 18);
  EXPECT_EQ(undo.records.size(), 18u);
  EXPECT_EQ(undo.records[0].start, 2);  // "A" and "B" are forgotten
  for (int i = 0; i < 5; ++i) Type("z", false);
  // The count reaches 20 twice more: four more records go.
  EXPECT_EQ(undo.top, 19);
  EXPECT_EQ(undo.records[0].start, 6);
  while (undo.CanUndo()) undo.Undo();
  EXPECT_EQ(doc.text, "ABCDEF");
  while (undo.CanRedo()) undo.Redo();
  EXPECT_EQ(doc.text, "ABCDEFGHIJKLMNOPQRSTzzzzz");
  ExpectTextInvariant();
}

// A group (a Replace All, a moving drop) is one step: typing before and after
// it stays apart from it, and undo and redo take the whole group.
TEST_F(UndoStackTest, AGroupIsUndoneAndRedoneAsOneStepAndTypingNeverJoinsIt) {
  Type("ab");
  {
    UndoGroup group(undo);
    Type("c");  // would join the typing run outside a group
    Remove(0, 1, false);
    UndoGroup inner(undo);
    Type("d");
  }
  Type("e");
  EXPECT_EQ(doc.text, "debc");
  undo.Undo();
  EXPECT_EQ(doc.text, "dbc");
  undo.Undo();
  EXPECT_EQ(doc.text, "ab");
  undo.Redo();
  EXPECT_EQ(doc.text, "dbc");
  undo.Undo();
  undo.Undo();
  EXPECT_EQ(doc.text, "");
  ExpectTextInvariant();
}

// However long a group runs, it holds at most its bound of records, or one
// span no longer than the text before it; when it ends the span shrinks to the
// bytes that differ, and one undo gives back the text before the group.
TEST_F(UndoStackTest, ALongGroupStaysBoundedAndIsUndoneInOneStep) {
  struct Case {
    const char* name;
    int edits;
    std::function<void(int)> edit;  // the i-th edit
    size_t spanBytes;               // what the ended group holds (0: no step)
  };
  const std::vector<Case> cases = {
      {"every line upper-cased", 60,
       [this](int i) {
         size_t at = 0;
         for (int k = 0; k < i; ++k) at = doc.text.find('\n', at) + 1;
         Replace(static_cast<int>(at), static_cast<int>(at) + 4, i % 2 ? "LINE" : "LIN\xE9");
       },
       472},  // from the first line's first byte to the last line's fourth
      {"the first line written again and again", 5000,
       [this](int i) { Replace(0, static_cast<int>(doc.text.find('\n')), "n" + std::to_string(i)); },
       12},  // "start line 0"
      {"deletions past the byte bound, put back", 40,
       [this](int i) { i % 2 ? Replace(0, 50, "") : Replace(0, 0, std::string(50, 'x')); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    undo.Clear();
    doc.text.clear();
    for (int line = 0; line < 60; ++line) doc.text += "line " + std::to_string(line) + "\n";
    doc.caret = 0;
    Type("start ", false);
    const std::string before = doc.text;
    undo.groupRecordBound = 16;
    undo.groupByteBound = 200;
    {
      UndoGroup run(undo);
      UndoGroup inner(undo);  // a group inside the run
      for (int i = 0; i < c.edits; ++i) {
        c.edit(i);
        size_t held = 0;
        for (const UndoRecord& r : undo.records) held += r.text.size();
        ASSERT_LE(undo.records.size(), 18u) << i;
        ASSERT_LE(held, before.size()) << i;
      }
    }
    const std::string after = doc.text;
    ExpectTextInvariant();
    ASSERT_EQ(undo.records.size(), c.spanBytes ? 2u : 1u);
    if (!c.spanBytes) continue;
    EXPECT_EQ(undo.records[1].text.size(), c.spanBytes);
    undo.Undo();
    EXPECT_EQ(doc.text, before);
    undo.Redo();
    EXPECT_EQ(doc.text, after);
  }
}

// Random edits anywhere inside one group, around the moment it becomes a
// span: one undo gives back the text before it and one redo the text after.
TEST_F(UndoStackTest, RandomEditsInABoundedGroupUndoInOneStep) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    undo.Clear();
    doc.text = "0123456789abcdefghij";
    undo.groupRecordBound = static_cast<int32_t>(rng() % 12);
    undo.groupByteBound = rng() % 40;
    const std::string before = doc.text;
    {
      UndoGroup group(undo);
      for (int i = 0, n = static_cast<int>(rng() % 60); i < n; ++i) {
        const int size = static_cast<int>(doc.text.size()), at = static_cast<int>(rng() % (size + 1));
        const int end = at + static_cast<int>(rng() % (std::min(size - at, 5) + 1));
        const std::string put(rng() % 4, static_cast<char>('A' + rng() % 26)), removed = doc.text.substr(at, end - at);
        doc.text.replace(at, end - at, put);
        undo.RecordChange(at, removed, static_cast<int>(put.size()), rng() % 2 == 0, rng() % 3 == 0, false);
      }
    }
    const std::string after = doc.text;
    undo.Undo();
    ASSERT_EQ(doc.text, before);
    undo.Redo();
    ASSERT_EQ(doc.text, after);
  }
}

// A tenth of a small limit is less than one record: the oldest still goes.
TEST_F(UndoStackTest, ALimitBelowTenStillBoundsTheHistory) {
  for (int limit : {1, 2, 5, 9}) {
    SCOPED_TRACE(limit);
    undo.Clear();
    doc.text.clear();
    doc.caret = 0;
    undo.limit = limit;
    for (int i = 0; i < 30; ++i) {
      Type(std::string(1, static_cast<char>('a' + i % 26)), false);
      ASSERT_LT(undo.top, limit);
      ASSERT_EQ(undo.records.size(), static_cast<size_t>(undo.top));
    }
    while (undo.CanUndo()) undo.Undo();
    EXPECT_EQ(doc.text.size(), static_cast<size_t>(30 - undo.records.size()));
  }
}

// Random edits at random places, then undo back to the start checking every
// intermediate text, and redo forward again: the records' indexes must refer to
// the text as it was when each was made.
TEST_F(UndoStackTest, RandomEditsUndoAndRedoThroughEveryState) {
  std::mt19937 rng(1234);
  std::vector<std::string> states{doc.text};
  for (int step = 0; step < 400; ++step) {
    const int size = static_cast<int>(doc.text.size());
    const int op = static_cast<int>(rng() % 4);
    if (op == 3 && size > 0) {
      int a = static_cast<int>(rng() % size);
      int b = a + 1 + static_cast<int>(rng() % std::min(4, size - a));
      Remove(a, b, rng() % 2 == 0);
    } else {
      if (rng() % 3 == 0) doc.caret = size ? static_cast<int>(rng() % (size + 1)) : 0;
      bool mergeable = op != 2;
      Type(mergeable ? std::string(1, static_cast<char>('a' + rng() % 26)) : "\r\n", mergeable);
    }
    // A merged keystroke replaces the last state of its run.
    if (states.size() == static_cast<size_t>(undo.top) + 1)
      states.back() = doc.text;
    else
      states.push_back(doc.text);
    ASSERT_EQ(states.size(), static_cast<size_t>(undo.top) + 1);
  }
  ExpectTextInvariant();
  for (int i = undo.top; i > 0; --i) {
    undo.Undo();
    ASSERT_EQ(doc.text, states[static_cast<size_t>(i) - 1]) << i;
  }
  ExpectTextInvariant();
  for (size_t i = 1; i < states.size(); ++i) {
    undo.Redo();
    ASSERT_EQ(doc.text, states[i]) << i;
  }
  ExpectTextInvariant();
}

struct Normalized {
  int length;
  std::string bytes;
};

Normalized Normalize(const char* source) {
  const int n = NormalizeLineEndsTo(source, nullptr);
  std::string out(static_cast<size_t>(n) + 2, '#');
  const int written = NormalizeLineEndsTo(source, out.data());
  EXPECT_EQ(written, n);
  EXPECT_EQ(out[static_cast<size_t>(n)], '\0');   // terminated
  EXPECT_EQ(out[static_cast<size_t>(n) + 1], '#');  // and nothing beyond
  out.resize(static_cast<size_t>(n));
  return {written, out};
}

TEST(NormalizeLineEnds, EveryKindOfLineEndBecomesCrLf) {
  Normalized r = Normalize("a\rb\nc\r\n");
  EXPECT_EQ(r.length, 9);
  EXPECT_EQ(r.bytes, "a\r\nb\r\nc\r\n");
  EXPECT_EQ(Normalize("\r\r").bytes, "\r\n\r\n");
  EXPECT_EQ(Normalize("\n\r").bytes, "\r\n\r\n");
  EXPECT_EQ(Normalize("\r\n\n").bytes, "\r\n\r\n");
  EXPECT_EQ(Normalize("x\r").bytes, "x\r\n");
  EXPECT_EQ(Normalize("").length, 0);
  // Double-byte characters pass through, including those whose trail byte is
  // a letter's value.
  EXPECT_EQ(Normalize("\x93\xFA\n\x95\x5C").bytes, "\x93\xFA\r\n\x95\x5C");
}

}  // namespace
