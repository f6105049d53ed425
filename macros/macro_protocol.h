// The messages between the editor and the macro's helper process, and their
// framing on a byte stream (a pipe each way). No Windows header.
//
// A message is: its body's length (4 bytes, little-endian), then the body: the
// kind (1 byte), the count of numbers (1 byte), the count of texts (1 byte),
// the numbers (4 bytes each, little-endian, signed), then each text as its
// length (4 bytes) and its bytes. Texts are CP932 bytes and may hold any byte.
//
// The conversation: the editor sends Start (which opens with kStartMagic and
// kVersion: a helper of another build refuses it); the helper sends Edit messages
// without waiting, a request (Alert, Confirm, Prompt) for which it waits for
// one Reply, and at last Failure or End. The editor may end the helper at any
// time; the messages already read stay valid.
//
// A helper whose first message is Check is a checker: it answers each Check
// with Checked and waits for the next, running nothing, until its pipe ends.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class MacroMessageKind : uint8_t {
  Start = 1,  // numbers: magic, version, language, site window, selection start, end;
              // texts: language name, script control's ProgID, text, macro
  Edit,       // numbers: start, end, caret; texts: the bytes that replace [start, end)
  Alert,      // texts: message. Reply: none (numbers and texts empty)
  Confirm,    // texts: message. Reply: numbers {1 for OK, 0 for Cancel}
  Prompt,     // texts: message, default answer. Reply: texts {answer}; empty when cancelled
  Reply,
  Failure,    // see MacroFailure
  End,        // the macro ended by itself
  Check,      // opens a checking conversation and is each check: numbers: magic, version,
              // serial, language (0 JScript, else VBScript); texts: text
  Checked,    // numbers: serial, has error, line (from 0), column (from 0), byte column,
              // status, engine missing; texts: description
};

struct MacroMessage {
  MacroMessageKind kind = MacroMessageKind::End;
  std::vector<int32_t> numbers;
  std::vector<std::string> texts;
  int32_t Number(size_t k) const { return k < numbers.size() ? numbers[k] : 0; }
  const std::string& Text(size_t k) const;
};

// What opens a Start message: the stream is this program's, of this version.
constexpr int32_t kMacroStartMagic = 0x4D564A52;  // "RJVM"
constexpr int32_t kMacroVersion = 2;
// True when `start` is a Start message this build understands.
bool IsMacroStart(const MacroMessage& start);
// True when `check` is a Check message this build understands.
bool IsMacroCheck(const MacroMessage& check);

// One change of the text: [start, end) replaced by `text`, the caret then at
// `caret` with nothing selected.
struct MacroEdit {
  int32_t start = 0;
  int32_t end = 0;
  int32_t caret = 0;
  std::string text;
  MacroMessage ToMessage() const;
  static MacroEdit FromMessage(const MacroMessage& m);
};

// A macro that failed: the fields of the script control's error record, or
// only a status when the control itself could not be made (`cannotCreate`).
struct MacroFailure {
  bool cannotCreate = false;
  int32_t status = 0;
  std::string source;
  std::string description;
  bool hasPosition = false;  // the error record had a number: line and column are the script's
  int32_t line = 0;
  int32_t column = 0;
  std::string code;
  MacroMessage ToMessage() const;
  static MacroFailure FromMessage(const MacroMessage& m);
};

// The bytes `message` takes framed.
size_t MacroMessageSize(const MacroMessage& message);
// Appends the framed message to `out`.
void AppendMacroMessage(std::string& out, const MacroMessage& message);

// Cuts framed messages from a stream fed in pieces of any size.
class MacroMessageReader {
 public:
  enum Result { kNeedMore, kMessage, kMalformed };
  // A body larger than this is refused as malformed: the largest text the
  // editor opens (1 MiB) fits many times over, and a length read from bytes
  // that are not a message (text written to the pipe) is refused at once
  // rather than waited for.
  static constexpr uint32_t kMaxBody = 32u << 20;
  void Feed(const char* bytes, size_t length) { m_buffer.append(bytes, length); }
  // The next whole message into `message`; kMalformed once the stream holds
  // something that is not a message (it stays malformed).
  Result Next(MacroMessage& message);
  // Bytes fed and not yet taken as messages.
  size_t Pending() const { return m_buffer.size() - m_read; }

 private:
  std::string m_buffer;
  size_t m_read = 0;  // bytes of m_buffer already taken
  bool m_malformed = false;
};
