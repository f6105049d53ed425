// The editor's queue of the helper's messages: a reader that outruns the
// editor waits once the queue holds its limit in bytes, a closed queue lets it
// go, and the reading loop says how a stream ended.
#include <gtest/gtest.h>
#include <atomic>
#include <string>
#include <thread>
#include "macros/macro_inbox.h"

namespace {
MacroMessage Edit(size_t bytes) { return MacroEdit{0, 0, 0, std::string(bytes, 'x')}.ToMessage(); }

// A read function over `stream`, `piece` bytes at a time.
std::function<size_t(char*, size_t)> Over(const std::string& stream, size_t piece) {
  auto at = std::make_shared<size_t>(0);
  return [stream, piece, at](char* into, size_t size) {
    const size_t n = std::min({piece, size, stream.size() - *at});
    stream.copy(into, n, *at);
    *at += n;
    return n;
  };
}
}  // namespace

TEST(MacroInbox, AReaderThatOutrunsTheEditorWaitsUntilItTakesMessages) {
  MacroInbox inbox(1000);
  std::atomic<int> pushed{0};
  std::thread reader([&] {
    for (int k = 0; k < 10; ++k) {
      if (!inbox.Push(Edit(300))) return;
      ++pushed;
    }
  });
  // The reader stops once the queue holds what fits (three messages of about
  // 320 bytes); each message taken lets one more in.
  while (pushed < 3) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(pushed, 3);
  EXPECT_LE(inbox.Bytes(), 1000u);
  MacroMessage m;
  int taken = 0;
  while (taken < 10)
    if (inbox.Pop(m)) ++taken;
  reader.join();
  EXPECT_EQ(pushed, 10);
  // A message larger than the limit passes alone; closing lets a waiting reader go.
  ASSERT_TRUE(inbox.Push(Edit(5000)));
  std::thread waiting([&] { EXPECT_FALSE(inbox.Push(Edit(10))); });
  inbox.Close();
  waiting.join();
}

TEST(MacroInbox, TheReadingLoopSaysHowTheStreamEnded) {
  std::string whole;
  AppendMacroMessage(whole, MacroMessage{MacroMessageKind::Alert, {}, {"a"}});
  AppendMacroMessage(whole, MacroMessage{MacroMessageKind::End, {}, {}});
  const struct {
    std::string stream;
    MacroStreamEnd end;
    size_t messages;
  } cases[] = {
      {whole, MacroStreamEnd::Closed, 2},
      {whole.substr(0, whole.size() - 2), MacroStreamEnd::Cut, 1},
      {whole + "debug\r\n", MacroStreamEnd::Malformed, 2},
      {"", MacroStreamEnd::Closed, 0},
  };
  for (const auto& c : cases) {
    for (size_t piece : {size_t(1), size_t(1) << 16}) {
      MacroInbox inbox;
      EXPECT_EQ(ReadMacroStream(Over(c.stream, piece), inbox), c.end) << c.stream.size() << " " << piece;
      size_t count = 0;
      for (MacroMessage m; inbox.Pop(m);) ++count;
      EXPECT_EQ(count, c.messages);
    }
  }
  MacroInbox closed;
  closed.Close();
  EXPECT_EQ(ReadMacroStream(Over(whole, 64), closed), MacroStreamEnd::Refused);
}
