// Backup records and names (headless): what is written reads back exactly,
// and anything cut short or malformed is refused.
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

TEST(BackupRecord, WhatIsWrittenReadsBackExactly) {
  BackupRecord untitled;
  untitled.meta.title = "無題1";
  for (const BackupRecord& in : {Sample(), untitled}) {
    BackupRecord out;
    ASSERT_TRUE(ParseBackup(Whole(in), out)) << in.meta.title;
    EXPECT_EQ(out.meta.path, in.meta.path);
    EXPECT_EQ(out.meta.title, in.meta.title);
    EXPECT_EQ(out.meta.encoding, in.meta.encoding);
    EXPECT_EQ(out.meta.lossyCharacters, in.meta.lossyCharacters);
    EXPECT_EQ(out.meta.textCut, in.meta.textCut);
    EXPECT_EQ(out.text, in.text);
  }
}

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

TEST(BackupRecord, NamesOfMarksAndBackups) {
  std::uint32_t run = 0;
  unsigned number = 0;
  EXPECT_EQ(BackupFileName(0x00ab12cdu, 7), "00ab12cd-7.rvb");
  ASSERT_TRUE(ParseBackupName("00AB12CD-12.RVB", ".rvb", run, number));
  EXPECT_EQ(run, 0x00ab12cdu);
  EXPECT_EQ(number, 12u);
  ASSERT_TRUE(ParseBackupName(BackupTempName(5, 3), ".tmp", run, number));
  EXPECT_EQ(run, 5u);
  ASSERT_TRUE(ParseRunMarkName(RunMarkName(0xffffffffu), run));
  EXPECT_EQ(run, 0xffffffffu);
  for (const char* other : {"00ab12cd-7.rvb.bad", "00ab12cd-.rvb", "00ab12cd-07.rvb", "0ab12cd-7.rvb",
                            "00ab12cg-7.rvb", "00ab12cd_7.rvb", "00ab12cd-7.tmp"})
    EXPECT_FALSE(ParseBackupName(other, ".rvb", run, number)) << other;
  EXPECT_FALSE(ParseRunMarkName("00ab12cd.rvb", run));
}
