// Writing files through a temporary file (see safe_file.h).
#include "platform/framework/safe_file.h"
#include "platform/framework/except.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/resstr.h"

namespace {
bool IsReadOnly(DWORD attrs) {
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY) && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

// The file a path stands for, through any link: the link stays a link and its
// target receives the new contents. The path itself when it cannot be resolved.
std::string ResolveLinks(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return path;
  char buf[MAX_PATH * 2];
  DWORD n = GetFinalPathNameByHandleA(h, buf, sizeof buf, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(h);
  if (n == 0 || n >= sizeof buf) return path;
  std::string final(buf, n);
  const std::string kLong = "\\\\?\\", kLongUnc = "\\\\?\\UNC\\";
  if (final.rfind(kLongUnc, 0) == 0) return "\\\\" + final.substr(kLongUnc.size());
  if (final.rfind(kLong, 0) == 0) return final.substr(kLong.size());
  return final;
}

// Puts the complete temporary file in the place of `target`. An existing file
// is replaced as the system replaces files, keeping its attributes (hidden,
// system...); where the system's replacement leaves them behind (or is not
// available) they are set again.
bool ReplaceWithTemporary(const std::string& temp, const std::string& target, DWORD oldAttrs) {
  if (oldAttrs == INVALID_FILE_ATTRIBUTES)
    return MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!ReplaceFileA(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH | REPLACEFILE_IGNORE_MERGE_ERRORS,
                    nullptr, nullptr) &&
      !MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return false;
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  DWORD now = GetFileAttributesA(target.c_str());
  if (now != INVALID_FILE_ATTRIBUTES && (now & kept) != (oldAttrs & kept))
    SetFileAttributesA(target.c_str(), (now & ~kept & ~FILE_ATTRIBUTE_NORMAL) | (oldAttrs & kept));
  return true;
}
}  // namespace

bool IsReadOnlyFile(const std::string& path) { return IsReadOnly(GetFileAttributesA(path.c_str())); }

bool SafeWriteFile(const std::string& path, UINT failPrompt, const std::function<bool(HANDLE file)>& fill) {
  auto say = [&](UINT id) { AfxMessageBox(AfxFormatString1(id, path.c_str()).c_str(), MB_OK | MB_ICONEXCLAMATION); };
  auto fail = [&](CFileException::Cause cause, DWORD error) {
    ReportFileError(CFileException{cause, error, path}, failPrompt);
    return false;
  };
  const DWORD attrs = GetFileAttributesA(path.c_str());
  if (IsReadOnly(attrs)) return say(AFX_IDP_FILE_READ_ONLY), false;
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
    return fail(CFileException::AccessDenied, ERROR_ACCESS_DENIED);
  const std::string stored = attrs == INVALID_FILE_ATTRIBUTES ? path : ResolveLinks(path);
  char temp[MAX_PATH * 2];
  if (!GetTempFileNameA(PathFolderWithSeparator(stored).c_str(), "rvt", 0, temp)) {
    const DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY || error == ERROR_FILE_NOT_FOUND)
      return say(AFX_IDP_SAVE_FOLDER_NOT_FOUND), false;
    return fail(CFileException::AccessDenied, error);
  }
  HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    DeleteFileA(temp);
    return fail(CFileException::AccessDenied, error);
  }
  bool ok = false;
  try {
    ok = fill(file);
  } catch (...) {
    CloseHandle(file);
    DeleteFileA(temp);
    throw;
  }
  if (ok && !FlushFileBuffers(file)) {
    const DWORD error = GetLastError();
    ok = fail(error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? CFileException::DiskFull
                                                                         : CFileException::Generic,
              error);
  }
  if (!CloseHandle(file) && ok) ok = fail(CFileException::Generic, GetLastError());
  if (ok && !ReplaceWithTemporary(temp, stored, attrs)) ok = fail(CFileException::AccessDenied, GetLastError());
  if (!ok) DeleteFileA(temp);
  return ok;
}
