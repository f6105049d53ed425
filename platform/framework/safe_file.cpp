// Writing files through a temporary file (see safe_file.h).
#include "platform/framework/safe_file.h"
#include <cctype>
#include <cstdio>
#include <cstring>
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

// The temporary files of one target carry a tag made from its name (without
// regard to case): "rvt" + 4 hex digits of the tag + 4 of a counter + ".tmp".
const char kTempPrefix[] = "rvt";
const size_t kTempNameLength = 3 + 4 + 4 + 4;

std::string TempTag(const std::string& target) {
  std::string name = target.substr(PathFolderWithSeparator(target).size());
  CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
  unsigned hash = 2166136261u;
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  char tag[5];
  std::snprintf(tag, sizeof tag, "%04X", (hash ^ hash >> 16) & 0xFFFF);
  return tag;
}

bool AllHex(const char* s, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (!isxdigit(static_cast<unsigned char>(s[i]))) return false;
  return true;
}

// A new temporary file beside `target`, created here so that no other write
// can take its name; held open for writing and shared with nobody.
HANDLE CreateTemporary(const std::string& target, std::string& temp, DWORD& error) {
  const std::string stem = PathFolderWithSeparator(target) + kTempPrefix + TempTag(target);
  unsigned counter = GetTickCount() ^ GetCurrentProcessId() << 8;
  for (int attempt = 0; attempt < 64; ++attempt, counter += 0x9E37) {
    char number[5];
    std::snprintf(number, sizeof number, "%04X", counter & 0xFFFF);
    temp = stem + number + ".tmp";
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

// Removes the empty temporary files that writes of `target` cut short left in
// its folder (and the empty "rvt<hex>.tmp" of the program's earlier naming).
// A file that another write holds open is left alone: it cannot be opened
// without sharing.
void RemoveEmptyLeftovers(const std::string& target) {
  const std::string folder = PathFolderWithSeparator(target);
  const std::string tag = TempTag(target);
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + kTempPrefix + "*.tmp").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const size_t n = strlen(found.cFileName);
    const char* name = found.cFileName;
    const bool ours = n == kTempNameLength && tag.compare(0, 4, name + 3, 4) == 0 && AllHex(name + 7, 4);
    const bool earlier = n >= 8 && n <= 11 && AllHex(name + 3, n - 7);
    if (!(ours || earlier) || found.nFileSizeLow || found.nFileSizeHigh ||
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      continue;
    HANDLE file = CreateFileA((folder + name).c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  } while (FindNextFileA(h, &found));
  FindClose(h);
}

FileWriteResult Failed(FileWriteResult::Step step, DWORD error) {
  FileWriteResult r;
  r.step = step;
  r.error = error;
  return r;
}
}  // namespace

bool IsReadOnlyFile(const std::string& path) { return IsReadOnly(GetFileAttributesA(path.c_str())); }

FileIdentity ReadFileIdentity(HANDLE file) {
  FileIdentity id;
  BY_HANDLE_FILE_INFORMATION info;
  if (file == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(file, &info)) return id;
  id.exists = true;
  id.size = static_cast<unsigned long long>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
  id.writeTime = static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32 |
                 info.ftLastWriteTime.dwLowDateTime;
  return id;
}

FileIdentity ReadFileIdentity(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const FileIdentity id = ReadFileIdentity(file);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return id;
}

DWORD WriteAllBytes(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  if (bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size()))
    return 0;
  const DWORD error = GetLastError();
  return error ? error : ERROR_WRITE_FAULT;
}

FileWriteResult WriteFileAtomically(const std::string& path, const std::function<DWORD(HANDLE file)>& fill,
                                    const std::string& tempPath) {
  const DWORD attrs = GetFileAttributesA(path.c_str());
  if (IsReadOnly(attrs)) return Failed(FileWriteResult::ReadOnly, ERROR_ACCESS_DENIED);
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
    return Failed(FileWriteResult::IsFolder, ERROR_ACCESS_DENIED);
  const std::string stored = attrs == INVALID_FILE_ATTRIBUTES ? path : ResolveLinks(path);
  std::string temp = tempPath;
  DWORD error = 0;
  HANDLE file = INVALID_HANDLE_VALUE;
  if (temp.empty()) {
    file = CreateTemporary(stored, temp, error);
  } else {
    file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    error = GetLastError();
  }
  if (file == INVALID_HANDLE_VALUE) {
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY) return Failed(FileWriteResult::NoFolder, error);
    return Failed(FileWriteResult::Create, error);
  }
  FileWriteResult result;
  try {
    error = fill(file);
  } catch (...) {
    CloseHandle(file);
    DeleteFileA(temp.c_str());
    throw;
  }
  if (error) result = Failed(FileWriteResult::Fill, error);
  else if (!FlushFileBuffers(file)) result = Failed(FileWriteResult::Flush, GetLastError());
  if (!CloseHandle(file) && result.ok()) result = Failed(FileWriteResult::Flush, GetLastError());
  if (result.ok() && !ReplaceWithTemporary(temp, stored, attrs)) result = Failed(FileWriteResult::Replace, GetLastError());
  if (!result.ok()) {
    DeleteFileA(temp.c_str());
    return result;
  }
  if (tempPath.empty()) RemoveEmptyLeftovers(stored);
  return result;
}

namespace {
// A failed write in the framework's messages; false, as the write is.
bool ReportWrite(const FileWriteResult& r, const std::string& path, UINT failPrompt) {
  auto say = [&](UINT id) { AfxMessageBox(AfxFormatString1(id, path.c_str()).c_str(), MB_OK | MB_ICONEXCLAMATION); };
  const bool diskFull = r.error == ERROR_DISK_FULL || r.error == ERROR_HANDLE_DISK_FULL;
  switch (r.step) {
    case FileWriteResult::Done: return true;
    case FileWriteResult::ReadOnly: say(AFX_IDP_FILE_READ_ONLY); break;
    case FileWriteResult::NoFolder: say(AFX_IDP_SAVE_FOLDER_NOT_FOUND); break;
    case FileWriteResult::Fill:
      if (r.error == ERROR_CANCELLED) break;  // the filler has said why
      [[fallthrough]];
    case FileWriteResult::Flush:
      ReportFileError(CFileException{diskFull ? CFileException::DiskFull : CFileException::Generic, r.error, path},
                      failPrompt);
      break;
    default: ReportFileError(CFileException{CFileException::AccessDenied, r.error, path}, failPrompt); break;
  }
  return false;
}
}  // namespace

bool SafeWriteFile(const std::string& path, UINT failPrompt, const std::function<bool(HANDLE file)>& fill) {
  return ReportWrite(
      WriteFileAtomically(path, [&](HANDLE file) { return fill(file) ? DWORD{0} : DWORD{ERROR_CANCELLED}; }), path,
      failPrompt);
}

bool SafeWriteFile(const std::string& path, UINT failPrompt, const std::string& bytes) {
  return ReportWrite(WriteFileAtomically(path, [&](HANDLE file) { return WriteAllBytes(file, bytes); }), path,
                     failPrompt);
}
