// The messages between the editor and the macro helper: what goes in comes out
// whole, however the stream is cut, and a stream that is not messages is
// refused, never read past its end.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "macros/macro_protocol.h"

namespace {
std::vector<MacroMessage> ReadAll(const std::string& stream, size_t piece, bool& malformed) {
  MacroMessageReader reader;
  std::vector<MacroMessage> out;
  malformed = false;
  for (size_t at = 0; at <= stream.size(); at += piece) {
    if (at < stream.size()) reader.Feed(stream.data() + at, std::min(piece, stream.size() - at));
    MacroMessage m;
    MacroMessageReader::Result r;
    while ((r = reader.Next(m)) == MacroMessageReader::kMessage) out.push_back(m);
    if (r == MacroMessageReader::kMalformed) malformed = true;
  }
  return out;
}

std::string Body(const std::string& body) {
  const uint32_t n = static_cast<uint32_t>(body.size());
  return std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                     static_cast<char>(n >> 24)} + body;
}
}  // namespace

TEST(MacroProtocol, MessagesComeOutWholeWhateverPiecesTheStreamArrivesIn) {
  MacroEdit edit{3, 9, 4, std::string("a\0\x82\xa0\r\n", 6)};
  MacroFailure failure;
  failure.status = static_cast<int32_t>(0x800A03EC);
  failure.source = "Microsoft JScript";
  failure.description = "';' がありません。";
  failure.hasPosition = true;
  failure.line = 3;
  failure.column = -1;
  std::string stream;
  AppendMacroMessage(stream, edit.ToMessage());
  AppendMacroMessage(stream, failure.ToMessage());
  AppendMacroMessage(stream, MacroMessage{MacroMessageKind::End, {}, {}});
  AppendMacroMessage(stream, MacroMessage{MacroMessageKind::Prompt, {}, {std::string(70000, 'x'), ""}});
  for (size_t piece : {size_t(1), size_t(7), stream.size()}) {
    SCOPED_TRACE(piece);
    bool malformed;
    std::vector<MacroMessage> got = ReadAll(stream, piece, malformed);
    EXPECT_FALSE(malformed);
    ASSERT_EQ(got.size(), 4u);
    const MacroEdit e = MacroEdit::FromMessage(got[0]);
    EXPECT_EQ(std::make_tuple(e.start, e.end, e.caret, e.text), std::make_tuple(3, 9, 4, edit.text));
    const MacroFailure f = MacroFailure::FromMessage(got[1]);
    EXPECT_EQ(std::make_tuple(f.cannotCreate, f.status, f.source, f.description, f.hasPosition, f.line, f.column),
              std::make_tuple(false, failure.status, failure.source, failure.description, true, 3, -1));
    EXPECT_EQ(got[2].kind, MacroMessageKind::End);
    EXPECT_EQ(got[3].Text(0).size(), 70000u);
    EXPECT_EQ(got[3].Text(1), "");
    EXPECT_EQ(got[3].Text(2), "");  // a text that was not sent reads as empty
  }
}

TEST(MacroProtocol, AStreamThatIsNotMessagesIsRefusedAndStaysRefused) {
  const std::string cases[] = {
      Body(std::string("\x00\x00\x00", 3)),                   // no such kind
      Body(std::string("\x0b\x00\x00", 3)),                   // no such kind
      Body(std::string("\x02\x01\x00\x01\x00", 5)),           // a number cut short
      Body(std::string("\x02\x00\x01\x05\x00\x00\x00" "ab", 9)),  // a text longer than the body
      Body(std::string("\x08\x00\x00" "x", 4)),               // bytes left over in the body
      Body(std::string("\x08", 1)),                           // a body too short for its header
      std::string("\xff\xff\xff\xff", 4),                     // a length past any message
      std::string("debug\r\n", 7),                          // text printed to the pipe: "debu" is 1.9 GB
      std::string("\x01\x00\x00\x02", 4),                     // 32 MiB and a byte: longer than any body
  };
  for (const std::string& stream : cases) {
    bool malformed;
    std::vector<MacroMessage> got = ReadAll(stream + Body(std::string("\x08\x00\x00", 3)), 1, malformed);
    EXPECT_TRUE(malformed);
    EXPECT_TRUE(got.empty());  // not even the good message after it
  }
}

TEST(MacroProtocol, TheHelperTakesOnlyAStartOfThisBuild) {
  const struct {
    MacroMessage message;
    bool taken;
  } cases[] = {
      {{MacroMessageKind::Start, {kMacroStartMagic, kMacroVersion, 0, 0, 0, 0}, {}}, true},
      {{MacroMessageKind::Start, {kMacroStartMagic, kMacroVersion + 1, 0, 0, 0, 0}, {}}, false},
      {{MacroMessageKind::Start, {0, 0, 0, 0}, {"JScript", "text", "macro"}}, false},  // the former layout
      {{MacroMessageKind::Reply, {kMacroStartMagic, kMacroVersion}, {}}, false},
  };
  for (const auto& c : cases) {
    std::string stream;
    AppendMacroMessage(stream, c.message);
    bool malformed;
    std::vector<MacroMessage> got = ReadAll(stream, stream.size(), malformed);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(IsMacroStart(got[0]), c.taken) << got[0].Number(1);
  }
}
