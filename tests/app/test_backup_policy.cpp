// Where recovered backups go (headless): the decision for each backup from
// what it recorded and what the disk and the open windows show.
#include <gtest/gtest.h>
#include "app/backup_policy.h"

namespace {
const FileIdentity kLoaded{true, 100, 5000};
const FileIdentity kEditedElsewhere{true, 120, 9000};
const FileIdentity kNone{};

RecoveryCandidate At(const std::string& path, FileIdentity recorded, FileIdentity onDisk, unsigned long long savedAt = 1) {
  return RecoveryCandidate{path, recorded, savedAt, true, onDisk, false};
}
RecoveryCandidate Open(RecoveryCandidate c) { return c.openNow = true, c; }
RecoveryCandidate NoFolder(RecoveryCandidate c) { return c.folderExists = false, c; }
}  // namespace

TEST(BackupPolicy, EachBackupGetsAWindowAndOnlyASafeOneItsPath) {
  using R = RecoveryReason;
  struct Row {
    const char* what;
    std::vector<RecoveryCandidate> backups;
    std::vector<R> want;
  } rows[] = {
      {"unchanged file", {At("C:\\a.js", kLoaded, kLoaded)}, {R::OwnPath}},
      {"file deleted since: saving writes it again", {At("C:\\a.js", kLoaded, kNone)}, {R::OwnPath}},
      {"never saved", {At("", kNone, kNone)}, {R::NoPath}},
      {"folder gone", {NoFolder(At("C:\\gone\\a.js", kLoaded, kNone))}, {R::FolderGone}},
      // A newer file would be written over by the old text.
      {"file edited elsewhere since", {At("C:\\a.js", kLoaded, kEditedElsewhere)}, {R::ChangedOnDisk}},
      {"first format, file there: cannot tell", {At("C:\\a.js", kNone, kLoaded)}, {R::ChangedOnDisk}},
      {"first format, no file", {At("C:\\a.js", kNone, kNone)}, {R::OwnPath}},
      // An open document's text (and its undo) is never replaced.
      {"path open already", {Open(At("C:\\a.js", kLoaded, kLoaded))}, {R::AlreadyOpen}},
      // Two backups of one path: both come back, the newer with the path.
      {"two of one path, newer second",
       {At("C:\\a.js", kLoaded, kLoaded, 10), At("c:\\A.JS", kLoaded, kLoaded, 20)},
       {R::NewerBackup, R::OwnPath}},
      {"three of one path: the newest, the first of equals",
       {At("C:\\a.js", kLoaded, kLoaded, 7), At("C:\\a.js", kLoaded, kLoaded, 9), At("C:\\a.js", kLoaded, kLoaded, 9)},
       {R::NewerBackup, R::OwnPath, R::NewerBackup}},
      // The newest takes the path only if it may: an older one does not take over.
      {"newer one of a changed file", {At("C:\\a.js", kLoaded, kEditedElsewhere, 9), At("C:\\a.js", kLoaded, kEditedElsewhere, 3)},
       {R::ChangedOnDisk, R::ChangedOnDisk}},
      {"untitled ones never compete", {At("", kNone, kNone, 1), At("", kNone, kNone, 2)}, {R::NoPath, R::NoPath}},
      // "ア" is 83 41 and "ヂ" 83 61: a trail byte is never folded as a letter.
      {"double-byte names differing in a trail byte's case",
       {At("C:\\ア.js", kLoaded, kLoaded, 1), At("C:\\ヂ.js", kLoaded, kLoaded, 2)},
       {R::OwnPath, R::OwnPath}},
  };
  for (const Row& row : rows) EXPECT_EQ(DecideRecovery(row.backups), row.want) << row.what;
}
