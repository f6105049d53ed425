// The backup writer's queue while the disk stalls: the thread is held in a
// write into a pipe that nobody reads, as on a disk that does not answer.
#include <gtest/gtest.h>
#include "app/backup_writer.h"
#include "tests/support/harness.h"

TEST(BackupWriter, AStalledDiskHoldsOneJobPerFileAndTheNewestOfEachIsWritten) {
  TempDir dir;
  const std::string pipe = "\\\\.\\pipe\\rv-writer-" + std::to_string(GetCurrentProcessId());
  HANDLE stall = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 16, 16, 0, nullptr);
  ASSERT_NE(stall, INVALID_HANDLE_VALUE);
  BackupWriter writer;
  writer.Write(dir / "stalled.rvb", pipe, "", std::string(64 * 1024, 's'));
  ConnectNamedPipe(stall, nullptr);  // the thread is in that write now
  unsigned long long last[2] = {};
  for (int i = 0; i < 100; ++i) {
    last[0] = writer.Write(dir / "a.rvb", dir / "a.tmp", "h", "a" + std::to_string(i));
    last[1] = writer.Write(dir / "b.rvb", dir / "b.tmp", "h", "b" + std::to_string(i));
    writer.Remove(dir / "c.rvb", dir / "c.tmp");
  }
  EXPECT_EQ(writer.Waiting(), 3u);
  CloseHandle(stall);  // the stalled write fails, the others go on
  writer.Flush();
  for (const BackupWriter::Result& r : writer.TakeResults())
    EXPECT_EQ(r.ok ? r.job : 0, r.path == dir / "a.rvb" ? last[0] : r.path == dir / "b.rvb" ? last[1] : 0) << r.path;
  EXPECT_EQ(ReadBytes(dir / "a.rvb"), "ha99");
  EXPECT_EQ(ReadBytes(dir / "b.rvb"), "hb99");
}
