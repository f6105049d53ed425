// Writing a file safely: through a temporary file in the target's folder that
// takes the target's place only once it is complete. The one routine for every
// file the program writes over (documents, encoded copies).
#pragma once
#include <windows.h>
#include <functional>
#include <string>

// True when `path` names an existing read-only file (not a folder).
bool IsReadOnlyFile(const std::string& path);

// Writes `path` (a full path): `fill` writes the whole contents to the open
// temporary file and returns false once it has reported why it could not (it
// may also throw; the temporary file is then removed and the exception goes
// on). Only a complete, flushed temporary file replaces the target: an
// existing file keeps its attributes (hidden, system...), a link stays a link
// and its target receives the contents. A failure leaves an existing file as
// it was and no temporary file behind, and is reported with the framework's
// messages naming `path` (a read-only file, a missing folder, access), or with
// `failPrompt` when it has no cause of its own. False after a failure.
bool SafeWriteFile(const std::string& path, UINT failPrompt, const std::function<bool(HANDLE file)>& fill);
