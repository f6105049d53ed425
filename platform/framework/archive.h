// A file opened for loading or storing a document, and the exceptions that
// loading and saving raise (caught by the document, reported to the user).
#pragma once
#include <windows.h>
#include <cstddef>
#include <string>

struct CFileException {
  enum Cause { Generic, FileNotFound, AccessDenied, DiskFull, EndOfFile };
  Cause cause;
  DWORD lastError;
  std::string path;
};
struct CMemoryException {};
// Raised by a serialise step that has already told the user (no second message).
struct CUserException {};

class CArchive {
 public:
  enum Mode { load, store };
  CArchive(HANDLE file, Mode mode, const std::string& path) : m_file(file), m_mode(mode), m_path(path) {}
  bool IsLoading() const { return m_mode == load; }
  bool IsStoring() const { return m_mode == store; }
  // Length of the file being loaded.
  unsigned long long GetLength() const;
  // Reads up to n bytes; returns how many were read.
  size_t Read(void* buf, size_t n);
  // Reads exactly n bytes or raises the end-of-file error.
  void ReadExact(void* buf, size_t n);
  void Write(const void* buf, size_t n);
  const std::string& GetPath() const { return m_path; }

 private:
  HANDLE m_file;
  Mode m_mode;
  std::string m_path;
};

[[noreturn]] void ThrowFileException(DWORD lastError, const std::string& path);
