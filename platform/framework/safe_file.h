// Writing a file safely: through a temporary file in the target's folder that
// takes the target's place only once it is complete. WriteFileAtomically is
// the one routine for every file the program writes over (documents, encoded
// copies, backups); it shows nothing and says what failed. SafeWriteFile is
// the same write with the framework's messages.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include "platform/framework/file_identity.h"

// True when `path` names an existing read-only file (not a folder).
bool IsReadOnlyFile(const std::string& path);

// The identity of the file at `path` (exists false when there is none), or of
// an open file.
FileIdentity ReadFileIdentity(const std::string& path);
FileIdentity ReadFileIdentity(HANDLE file);

// The outcome of an atomic write: the step that failed and the system's error.
struct FileWriteResult {
  enum Step {
    Done,      // written
    ReadOnly,  // the target is a read-only file
    IsFolder,  // the target is a folder
    NoFolder,  // the target's folder does not exist
    Create,    // the temporary file could not be made
    Fill,      // writing the contents failed (error ERROR_CANCELLED: the filler has said why)
    Flush,     // the contents could not be flushed to the disk
    Replace,   // the complete temporary file could not take the target's place
  };
  Step step = Done;
  DWORD error = 0;
  bool ok() const { return step == Done; }
};

// Writes `path` (a full path) atomically: `fill` writes the whole contents to
// the open temporary file and returns 0, or the system error that stopped it
// (it may also throw: the temporary file is then removed and the exception
// goes on). Only a complete, flushed temporary file replaces the target: an
// existing file keeps its attributes (hidden, system...), a link stays a link
// and its target receives the contents. A failure leaves an existing file as
// it was and no temporary file behind. The temporary file is `tempPath` when
// given, else a new "rvt<tag><n>.tmp" beside the target, and then the empty
// ones an earlier write of the same file left behind (a kill half way) go.
FileWriteResult WriteFileAtomically(const std::string& path, const std::function<DWORD(HANDLE file)>& fill,
                                    const std::string& tempPath = std::string());
// Writes all of `bytes` to `file`: 0, or the system's error.
DWORD WriteAllBytes(HANDLE file, const std::string& bytes);

// WriteFileAtomically with the framework's messages naming `path` (a read-only
// file, a missing folder, access, a full disk), or `failPrompt` when a failure
// has no message of its own. `fill` returns false once it has reported why it
// could not write. False after a failure.
bool SafeWriteFile(const std::string& path, UINT failPrompt, const std::function<bool(HANDLE file)>& fill);
// The same for contents at hand.
bool SafeWriteFile(const std::string& path, UINT failPrompt, const std::string& bytes);
