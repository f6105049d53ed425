// The batch wrappers of the console runs (see console_wrapper.h).
#include "hosting/console_wrapper.h"
#include <vector>

namespace {
struct WatchedWrapper {
  std::string path;
  HANDLE process;
};

std::vector<WatchedWrapper>& Watched() {
  static std::vector<WatchedWrapper> watched;
  return watched;
}

// More wrappers than consoles anyone keeps open: a name is refused after these.
const int kMostWrappers = 100;

std::string WrapperName(int n) { return n == 1 ? "__script.bat" : "__script" + std::to_string(n) + ".bat"; }
}  // namespace

bool WriteConsoleWrapper(const std::string& text, std::string& path, DWORD& error) {
  char folder[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) {
    error = length ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
    path = WrapperName(1);
    return false;
  }
  for (int n = 1; n <= kMostWrappers; ++n) {
    path = folder + WrapperName(n);
    // Only a name that is free: an existing wrapper may be read by a console.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    error = GetLastError();
    CloseHandle(file);
    if (!ok) DeleteFileA(path.c_str());
    return ok;
  }
  return false;
}

void WatchConsoleWrapper(const std::string& path, HANDLE process) {
  if (process) Watched().push_back({path, process});
}

void RemoveFinishedConsoleWrappers() {
  auto& watched = Watched();
  for (size_t k = 0; k < watched.size();) {
    if (WaitForSingleObject(watched[k].process, 0) != WAIT_OBJECT_0) {
      ++k;
      continue;
    }
    DeleteFileA(watched[k].path.c_str());
    CloseHandle(watched[k].process);
    watched.erase(watched.begin() + static_cast<std::ptrdiff_t>(k));
  }
}
