// Where each recovered backup goes, decided from what the backups recorded and
// what the disk and the editor show now; one pure function, no Windows header.
//
// A backup goes back to its own path only where saving it there loses nothing:
// the path's folder is there, no window shows that path already (an open
// document's text is never replaced), the file is as the document last loaded
// or saved it (or gone), and no newer backup of the same path claims it.
// Every other backup comes back in a window of its own without a path, so that
// no backup is lost and no newer file is written over unasked.
#pragma once
#include <string>
#include <vector>
#include "platform/framework/file_identity.h"

struct RecoveryCandidate {
  // From the backup.
  std::string path;                // "" for a document that never had a file
  FileIdentity recorded;           // the file as the document last loaded or saved it
  unsigned long long savedAt = 0;  // when the backup was made (0: not recorded, oldest)
  // Now.
  bool folderExists = false;  // the path's folder exists
  FileIdentity onDisk;        // the file at the path
  bool openNow = false;       // a window of this run shows the path
};

enum class RecoveryReason {
  OwnPath,        // restored with its path
  NoPath,         // had none: restored untitled, under its own title
  FolderGone,     // the path's folder is gone
  AlreadyOpen,    // a window shows the path already
  ChangedOnDisk,  // the file changed since (or its state was not recorded)
  NewerBackup,    // a newer backup of the same path takes the path
};

// One decision per candidate, in the same order.
std::vector<RecoveryReason> DecideRecovery(const std::vector<RecoveryCandidate>& candidates);

// Whether two paths name the same file as the system compares names (letters
// without regard to case, never inside a double-byte character).
bool SamePath(const std::string& a, const std::string& b);
