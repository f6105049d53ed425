// The backup writer's queue while the disk stalls: the thread is held in a
// write into a pipe that nobody reads, as on a disk that does not answer.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "app/backup_writer.h"

namespace {
std::string ReadAll(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string bytes(4096, '\0');
  DWORD n = 0;
  if (f == INVALID_HANDLE_VALUE || !ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr)) n = 0;
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  bytes.resize(n);
  return bytes;
}
}  // namespace

TEST(BackupWriter, AStalledDiskHoldsOneJobPerFileAndTheNewestOfEachIsWritten) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string dir = std::string(temp) + "rv-writer-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string pipe = "\\\\.\\pipe\\rv-writer-" + std::to_string(GetCurrentProcessId());
  HANDLE stall = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 16, 16, 0, nullptr);
  ASSERT_NE(stall, INVALID_HANDLE_VALUE);
  unsigned long long lastA = 0, lastB = 0;
  {
    BackupWriter writer;
    writer.Write(dir + "stalled.rvb", pipe, "", std::string(64 * 1024, 's'));
    ConnectNamedPipe(stall, nullptr);  // the thread is in that write now
    for (int i = 0; i < 100; ++i) {
      lastA = writer.Write(dir + "a.rvb", dir + "a.tmp", "h", "a" + std::to_string(i));
      lastB = writer.Write(dir + "b.rvb", dir + "b.tmp", "h", "b" + std::to_string(i));
      writer.Remove(dir + "c.rvb", dir + "c.tmp");
    }
    EXPECT_EQ(writer.Waiting(), 3u);
    CloseHandle(stall);  // the stalled write fails, the others go on
    writer.Flush();
    std::vector<BackupWriter::Result> results = writer.TakeResults();
    ASSERT_EQ(results.size(), 3u);
    for (const BackupWriter::Result& r : results) {
      if (r.path == dir + "stalled.rvb") EXPECT_FALSE(r.ok);
      else EXPECT_TRUE(r.ok && r.job == (r.path == dir + "a.rvb" ? lastA : lastB)) << r.path;
    }
  }
  EXPECT_EQ(ReadAll(dir + "a.rvb"), "ha99");
  EXPECT_EQ(ReadAll(dir + "b.rvb"), "hb99");
  for (const char* name : {"a.rvb", "b.rvb", "stalled.rvb"}) DeleteFileA((dir + name).c_str());
  EXPECT_TRUE(RemoveDirectoryA(dir.c_str()));  // nothing else left behind
}
