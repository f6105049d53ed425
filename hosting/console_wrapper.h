// The batch wrappers of the console runs, in the user's temporary folder (the
// program's own folder may be read-only). A console reads its wrapper line by
// line, by offset, for as long as it runs, so a wrapper is never rewritten:
// each run writes a new one under the first free name ("__script.bat",
// "__script2.bat", ...; another instance may hold the others), and a wrapper
// is removed once the console that reads it has ended. Wrappers this process
// did not write are never touched.
#pragma once
#include <windows.h>
#include <string>

// Writes `text` to a new wrapper in the temporary folder; `path` is the
// wrapper, or the name that could not be written (with `error`).
bool WriteConsoleWrapper(const std::string& text, std::string& path, DWORD& error);
// The console reading the wrapper `path` runs as `process`, which this takes
// over; null when it is not known (the wrapper then stays).
void WatchConsoleWrapper(const std::string& path, HANDLE process);
// Removes the wrappers whose consoles have ended.
void RemoveFinishedConsoleWrappers();
