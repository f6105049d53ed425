// The recovery policy (see backup_policy.h).
#include "app/backup_policy.h"
#include "platform/cp932.h"

bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (cp932::IsLeadByte(a[i]) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::vector<RecoveryReason> DecideRecovery(const std::vector<RecoveryCandidate>& candidates) {
  std::vector<RecoveryReason> reasons;
  for (const RecoveryCandidate& c : candidates) {
    RecoveryReason r = RecoveryReason::OwnPath;
    if (c.path.empty()) r = RecoveryReason::NoPath;
    else if (!c.folderExists) r = RecoveryReason::FolderGone;
    else if (c.openNow) r = RecoveryReason::AlreadyOpen;
    // Unrecorded, the file cannot be told unchanged; a deleted file is written again.
    else if (c.onDisk.exists && (!c.recorded.exists || c.onDisk != c.recorded)) r = RecoveryReason::ChangedOnDisk;
    reasons.push_back(r);
  }
  // Of the backups that could take one path, the newest does (the first of equals).
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (reasons[i] != RecoveryReason::OwnPath) continue;
    for (std::size_t j = 0; j < candidates.size(); ++j) {
      if (j == i || reasons[j] != RecoveryReason::OwnPath || !SamePath(candidates[i].path, candidates[j].path)) continue;
      const bool newer = candidates[j].savedAt > candidates[i].savedAt ||
                         (candidates[j].savedAt == candidates[i].savedAt && j < i);
      if (newer) {
        reasons[i] = RecoveryReason::NewerBackup;
        break;
      }
    }
  }
  return reasons;
}
