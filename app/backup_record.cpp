// Backup records and the backup folder's names.
#include "app/backup_record.h"
#include <cstdio>

namespace {
const char kMagic[] = "Ruvelto backup 2\r\n";
const char kFirstMagic[] = "Ruvelto backup 1\r\n";  // without "file" and "saved"
const char* const kFields[] = {"path", "title", "encoding", "lossy", "cut", "file", "saved", "length"};
const std::size_t kFieldCount = sizeof kFields / sizeof kFields[0];
enum { kPath, kTitle, kEncoding, kLossy, kCut, kFile, kSaved, kLength };

// One "key:value" line at `pos`; false when the line is not that key's or has
// no CR LF. A value holds no CR, LF or zero byte.
bool ReadField(std::string_view bytes, std::size_t& pos, const char* key, std::string_view& value) {
  const std::string_view k(key);
  if (bytes.substr(pos, k.size()) != k || bytes.substr(pos + k.size(), 1) != ":") return false;
  const std::size_t start = pos + k.size() + 1;
  const std::size_t end = bytes.find("\r\n", start);
  if (end == std::string_view::npos) return false;
  value = bytes.substr(start, end - start);
  if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
  pos = end + 2;
  return true;
}

// Decimal digits only, at most 19 of them, as written (no sign, no blank, no
// leading zero), so a record has one spelling.
bool ReadNumber(std::string_view text, unsigned long long& value) {
  if (text.empty() || text.size() > 19 || (text.size() > 1 && text[0] == '0')) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return true;
}

bool Fail(std::string* why, const char* reason) {
  if (why) *why = reason;
  return false;
}

bool ReadHex8(std::string_view text, std::uint32_t& value) {
  if (text.size() != 8) return false;
  value = 0;
  for (char c : text) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0) return false;
    value = value << 4 | static_cast<std::uint32_t>(d);
  }
  return true;
}

bool EndsWithNoCase(std::string_view name, std::string_view ext) {
  if (name.size() < ext.size()) return false;
  for (std::size_t i = 0; i < ext.size(); ++i) {
    char a = name[name.size() - ext.size() + i], b = ext[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
    if (a != b) return false;
  }
  return true;
}

// "<size>,<time>" of an existing file, empty for none.
std::string IdentityText(const FileIdentity& file) {
  return file.exists ? std::to_string(file.size) + "," + std::to_string(file.writeTime) : std::string();
}

bool ReadIdentity(std::string_view text, FileIdentity& file) {
  file = FileIdentity{};
  if (text.empty()) return true;
  const std::size_t comma = text.find(',');
  file.exists = true;
  return comma != std::string_view::npos && ReadNumber(text.substr(0, comma), file.size) &&
         ReadNumber(text.substr(comma + 1), file.writeTime);
}

std::string Hex8(std::uint32_t run) {
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>(run));
  return buf;
}
}  // namespace

std::string BackupHeader(const BackupMeta& meta, std::size_t textLength) {
  std::string h = kMagic;
  h += "path:" + meta.path + "\r\n";
  h += "title:" + meta.title + "\r\n";
  h += "encoding:" + std::to_string(meta.encoding) + "\r\n";
  h += "lossy:" + std::to_string(meta.lossyCharacters) + "\r\n";
  h += std::string("cut:") + (meta.textCut ? "1" : "0") + "\r\n";
  h += "file:" + IdentityText(meta.file) + "\r\n";
  h += "saved:" + std::to_string(meta.savedAt) + "\r\n";
  h += "length:" + std::to_string(textLength) + "\r\n\r\n";
  return h;
}

bool ParseBackup(std::string_view bytes, BackupRecord& record, std::string* why) {
  const bool first = bytes.substr(0, sizeof kFirstMagic - 1) == kFirstMagic;
  const std::string_view magic(kMagic);
  if (!first && bytes.substr(0, magic.size()) != magic) return Fail(why, "not a backup");
  std::size_t pos = magic.size();
  std::string_view values[kFieldCount];
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    if (first && (i == kFile || i == kSaved)) continue;
    if (!ReadField(bytes, pos, kFields[i], values[i])) return Fail(why, "header cut or malformed");
  }
  if (bytes.substr(pos, 2) != "\r\n") return Fail(why, "header cut or malformed");
  pos += 2;
  unsigned long long encoding = 0, lossy = 0, cut = 0, saved = 0, length = 0;
  FileIdentity file;
  if (!ReadNumber(values[kEncoding], encoding) || !ReadNumber(values[kLossy], lossy) ||
      !ReadNumber(values[kCut], cut) || !ReadNumber(values[kLength], length) ||
      (!first && (!ReadNumber(values[kSaved], saved) || !ReadIdentity(values[kFile], file))))
    return Fail(why, "bad number");
  if (encoding != 1 && encoding != 2 && encoding != 4 && encoding != 8) return Fail(why, "bad encoding");
  if (cut > 1) return Fail(why, "bad number");
  if (values[kTitle].empty()) return Fail(why, "no title");
  if (length > kLargestBackupText) return Fail(why, "text too large");
  if (length != bytes.size() - pos) return Fail(why, length > bytes.size() - pos ? "text cut" : "bytes after the text");
  record.meta.path.assign(values[kPath]);
  record.meta.title.assign(values[kTitle]);
  record.meta.encoding = static_cast<int>(encoding);
  record.meta.lossyCharacters = lossy;
  record.meta.textCut = cut == 1;
  record.meta.file = file;
  record.meta.savedAt = saved;
  record.text.assign(bytes.substr(pos));
  return true;
}

std::string RunMarkName(std::uint32_t run) { return Hex8(run) + ".run"; }

std::string BackupFileName(std::uint32_t run, unsigned number) {
  return Hex8(run) + "-" + std::to_string(number) + ".rvb";
}

std::string BackupTempName(std::uint32_t run, unsigned number) {
  return Hex8(run) + "-" + std::to_string(number) + ".tmp";
}

bool ParseBackupName(std::string_view name, std::string_view extension, std::uint32_t& run, unsigned& number) {
  if (!EndsWithNoCase(name, extension) || name.size() < 10 + extension.size() || name[8] != '-') return false;
  if (!ReadHex8(name.substr(0, 8), run)) return false;
  unsigned long long n = 0;
  std::string_view digits = name.substr(9, name.size() - 9 - extension.size());
  if (digits.size() > 9 || !ReadNumber(digits, n)) return false;
  number = static_cast<unsigned>(n);
  return true;
}

bool ParseRunMarkName(std::string_view name, std::uint32_t& run) {
  return name.size() == 12 && EndsWithNoCase(name, ".run") && ReadHex8(name.substr(0, 8), run);
}
