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
  r.meta.file = FileIdentity{true, 123, 133456789012345678};
  r.meta.savedAt = 133456789999999999;
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
      replaced("Ruvelto backup 2", "Ruvelto backup 3"),
      replaced("file:123,", "file:123"),                   // size and time, or nothing
      replaced("file:123,", "file:,"),
      replaced("saved:", "saved:-"),
      replaced("length:" + std::to_string(Sample().text.size()), "length:99999999999999999999"),
  };
  for (const std::string& s : bad) EXPECT_FALSE(ParseBackup(s, out)) << s;
}

TEST(BackupRecord, TheFirstFormatReadsWithTheFileAndTimeUnknown) {
  std::string whole = Whole(Sample());
  whole.replace(whole.find("backup 2"), 8, "backup 1");
  whole.erase(whole.find("file:"), whole.find("length:") - whole.find("file:"));
  BackupRecord out;
  ASSERT_TRUE(ParseBackup(whole, out));
  EXPECT_TRUE(out.text == Sample().text && !out.meta.file.exists && out.meta.savedAt == 0);
}
