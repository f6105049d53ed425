// The macro helper's messages (see macro_protocol.h).
#include "macros/macro_protocol.h"

namespace {
void PutU32(std::string& out, uint32_t v) {
  const char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                         static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
  out.append(bytes, 4);
}

uint32_t GetU32(const char* p) {
  return static_cast<uint32_t>(static_cast<unsigned char>(p[0])) |
         static_cast<uint32_t>(static_cast<unsigned char>(p[1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(p[2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(p[3])) << 24;
}

// Parses one body; false when it is not exactly one message.
bool ParseBody(const char* p, size_t length, MacroMessage& m) {
  if (length < 3) return false;
  const unsigned kind = static_cast<unsigned char>(p[0]);
  if (kind < static_cast<unsigned>(MacroMessageKind::Start) || kind > static_cast<unsigned>(MacroMessageKind::Checked))
    return false;
  m.kind = static_cast<MacroMessageKind>(kind);
  const size_t numbers = static_cast<unsigned char>(p[1]), texts = static_cast<unsigned char>(p[2]);
  size_t at = 3;
  if (length - at < numbers * 4) return false;
  m.numbers.assign(numbers, 0);
  for (size_t k = 0; k < numbers; ++k, at += 4) m.numbers[k] = static_cast<int32_t>(GetU32(p + at));
  m.texts.assign(texts, std::string());
  for (size_t k = 0; k < texts; ++k) {
    if (length - at < 4) return false;
    const uint32_t n = GetU32(p + at);
    at += 4;
    if (length - at < n) return false;
    m.texts[k].assign(p + at, n);
    at += n;
  }
  return at == length;
}
}  // namespace

const std::string& MacroMessage::Text(size_t k) const {
  static const std::string kNone;
  return k < texts.size() ? texts[k] : kNone;
}

namespace {
// True when `m` is of `kind` and opens with this build's magic and version.
bool IsOurs(const MacroMessage& m, MacroMessageKind kind) {
  return m.kind == kind && m.Number(0) == kMacroStartMagic && m.Number(1) == kMacroVersion;
}
}  // namespace

bool IsMacroStart(const MacroMessage& start) { return IsOurs(start, MacroMessageKind::Start); }

bool IsMacroCheck(const MacroMessage& check) { return IsOurs(check, MacroMessageKind::Check); }

size_t MacroMessageSize(const MacroMessage& message) {
  size_t size = 4 + 3 + message.numbers.size() * 4;
  for (const std::string& t : message.texts) size += 4 + t.size();
  return size;
}

void AppendMacroMessage(std::string& out, const MacroMessage& message) {
  PutU32(out, static_cast<uint32_t>(MacroMessageSize(message) - 4));
  out += static_cast<char>(message.kind);
  out += static_cast<char>(message.numbers.size());
  out += static_cast<char>(message.texts.size());
  for (int32_t n : message.numbers) PutU32(out, static_cast<uint32_t>(n));
  for (const std::string& t : message.texts) {
    PutU32(out, static_cast<uint32_t>(t.size()));
    out += t;
  }
}

MacroMessageReader::Result MacroMessageReader::Next(MacroMessage& message) {
  if (m_malformed) return kMalformed;
  const size_t available = m_buffer.size() - m_read;
  if (available < 4) return kNeedMore;
  const uint32_t body = GetU32(m_buffer.data() + m_read);
  if (body > kMaxBody) {
    m_malformed = true;
    return kMalformed;
  }
  if (available - 4 < body) return kNeedMore;
  if (!ParseBody(m_buffer.data() + m_read + 4, body, message)) {
    m_malformed = true;
    return kMalformed;
  }
  m_read += 4 + body;
  if (m_read == m_buffer.size() || m_read > (1u << 20)) {  // drop what was taken, now and then
    m_buffer.erase(0, m_read);
    m_read = 0;
  }
  return kMessage;
}

MacroMessage MacroEdit::ToMessage() const {
  return MacroMessage{MacroMessageKind::Edit, {start, end, caret}, {text}};
}

MacroEdit MacroEdit::FromMessage(const MacroMessage& m) {
  return MacroEdit{m.Number(0), m.Number(1), m.Number(2), m.Text(0)};
}

MacroMessage MacroFailure::ToMessage() const {
  return MacroMessage{MacroMessageKind::Failure,
                      {cannotCreate ? 1 : 0, status, hasPosition ? 1 : 0, line, column},
                      {source, description, code}};
}

MacroFailure MacroFailure::FromMessage(const MacroMessage& m) {
  MacroFailure f;
  f.cannotCreate = m.Number(0) != 0;
  f.status = m.Number(1);
  f.hasPosition = m.Number(2) != 0;
  f.line = m.Number(3);
  f.column = m.Number(4);
  f.source = m.Text(0);
  f.description = m.Text(1);
  f.code = m.Text(2);
  return f;
}
