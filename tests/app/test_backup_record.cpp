// Backup records (headless): anything cut short or malformed is refused.
// That what is written reads back is the fuzz driver's and the frame's tests'.
#include <gtest/gtest.h>
#include "app/backup_record.h"

namespace {
std::string Whole(const BackupRecord& r) { return BackupHeader(r.meta, r.text.size()) + r.text; }

BackupRecord Sample() {
  BackupRecord r;
  r.meta.path = "C:\\作業\\表示.js";
  r.meta.title = "表示.js";
  r.meta.encoding = 1;
  r.meta.lossyCharacters = 3;
  r.meta.textCut = true;
  r.text = "var s = \"漢字\";\r\n\r\n\x81";  // ends in a lone lead byte, as a text may
  return r;
}
}  // namespace

TEST(BackupRecord, CutOrMalformedRecordsAreRefused) {
  const std::string whole = Whole(Sample());
  BackupRecord out;
  for (size_t n = 0; n < whole.size(); ++n) EXPECT_FALSE(ParseBackup(whole.substr(0, n), out)) << n;
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string s = whole;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  const std::string bad[] = {
      whole + "x",                                          // bytes after the text
      replaced("encoding:1", "encoding:3"),                 // no such encoding
      replaced("encoding:1", "encoding:-1"),
      replaced("cut:1", "cut:2"),
      replaced("lossy:3", "lossy:3a"),
      replaced("length:", "length: "),
      replaced("title:表示.js", "title:"),                  // a window always has a title
      replaced("path:", "file:"),                           // fields by name, in order
      replaced("Ruvelto backup 1", "Ruvelto backup 2"),
      replaced("length:" + std::to_string(Sample().text.size()), "length:99999999999999999999"),
  };
  for (const std::string& s : bad) EXPECT_FALSE(ParseBackup(s, out)) << s;
}
