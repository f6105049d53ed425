// File archive reads and writes.
#include "platform/framework/archive.h"

void ThrowFileException(DWORD lastError, const std::string& path) {
  CFileException::Cause cause = CFileException::Generic;
  switch (lastError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      cause = CFileException::FileNotFound;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
      cause = CFileException::AccessDenied;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      cause = CFileException::DiskFull;
      break;
    default:
      break;
  }
  throw CFileException{cause, lastError, path};
}

unsigned long long CArchive::GetLength() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(m_file, &size)) ThrowFileException(GetLastError(), m_path);
  return static_cast<unsigned long long>(size.QuadPart);
}

size_t CArchive::Read(void* buf, size_t n) {
  size_t total = 0;
  auto* p = static_cast<char*>(buf);
  while (total < n) {
    DWORD chunk = static_cast<DWORD>(n - total > 0x10000000 ? 0x10000000 : n - total), got = 0;
    if (!ReadFile(m_file, p + total, chunk, &got, nullptr)) ThrowFileException(GetLastError(), m_path);
    if (got == 0) break;
    total += got;
  }
  return total;
}

void CArchive::ReadExact(void* buf, size_t n) {
  if (Read(buf, n) != n) throw CFileException{CFileException::EndOfFile, 0, m_path};
}

void CArchive::Write(const void* buf, size_t n) {
  size_t total = 0;
  auto* p = static_cast<const char*>(buf);
  while (total < n) {
    DWORD chunk = static_cast<DWORD>(n - total > 0x10000000 ? 0x10000000 : n - total), put = 0;
    if (!WriteFile(m_file, p + total, chunk, &put, nullptr) || put == 0)
      ThrowFileException(GetLastError() ? GetLastError() : ERROR_DISK_FULL, m_path);
    total += put;
  }
}
