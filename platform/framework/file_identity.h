// What tells one version of a file from another without reading it: whether
// it exists, its size and its last-write time. A document keeps the identity
// of its file as it last loaded or saved it, a backup records that, and both
// compare it with the file on disk to see a change made by another program.
// No Windows header.
#pragma once

struct FileIdentity {
  bool exists = false;               // false: no file (or none recorded)
  unsigned long long size = 0;       // bytes
  unsigned long long writeTime = 0;  // last write, in 100 ns units since 1601 (the system's file time)

  bool operator==(const FileIdentity& o) const {
    return exists == o.exists && (!exists || (size == o.size && writeTime == o.writeTime));
  }
  bool operator!=(const FileIdentity& o) const { return !(*this == o); }
};
