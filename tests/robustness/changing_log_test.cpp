// A log that grows or shrinks while it is read, as one still being captured or rotated:
// no crash, no hang, and the run counts what it read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "engine/run.h"
#include "test_support.h"

namespace corvanel {
namespace {

using testing::FaultyFileSystem;
using testing::RecordingHost;
using testing::TempDir;

constexpr char kOutside[] = "2.8  Bytes outside UECP frames (incl. 1.5): ";

RecordingHost Analyze(const std::string& path, FileSystem& files) {
  RunInputs inputs;
  inputs.LogPath = path;
  inputs.LogType = LogTypeSelection::Binary;
  RecordingHost host;
  ProcessUECP(inputs, host, files, RegionalSettings::Classic());
  return host;
}

void ExpectFinished(const RecordingHost& host) {
  EXPECT_TRUE(host.errors.empty());
  ASSERT_FALSE(host.gauge.empty());
  EXPECT_EQ(host.gauge.back(), 100);
}

TEST(ChangingLog, SizeTakenAtOpeningIsNotTrusted) {
  // The log's size as taken when it was opened, while the reads give 10000 bytes.
  TempDir dir;
  const std::string path = dir.Write("capture.log", std::string(10000, '\0'));
  for (std::int64_t reported : {std::int64_t{0}, std::int64_t{100}, std::int64_t{9999},
                                std::int64_t{20000}, std::int64_t{1} << 40}) {
    FaultyFileSystem files;
    files.reported_size = reported;
    files.read_piece = 1000;
    const RecordingHost host = Analyze(path, files);
    ExpectFinished(host);
    EXPECT_EQ(host.Item(kOutside), "10000") << reported;
    EXPECT_EQ(host.Item("Opening as ")
                  .rfind("binary file. File size: " + std::to_string(reported) + " bytes. ", 0),
              0u);
  }
}

TEST(ChangingLog, GrowingWhileReadIsReadToItsNewEnd) {
  TempDir dir;
  const std::string path = dir.Write("capture.log", std::string(4096, '\0'));
  FaultyFileSystem files;
  files.read_piece = 4096;
  files.before_read = [&path](std::int64_t) {
    if (std::filesystem::file_size(path) < (1u << 20)) {
      std::ofstream(path, std::ios::binary | std::ios::app) << std::string(4096, '\0');
    }
  };
  const RecordingHost host = Analyze(path, files);
  ExpectFinished(host);
  EXPECT_EQ(host.Item(kOutside), std::to_string(1 << 20));
  EXPECT_EQ(host.Item("Opening as ").rfind("binary file. File size: 4096 bytes. ", 0), 0u);
}

TEST(ChangingLog, CutWhileReadCountsTheBytesBeforeTheCut) {
  TempDir dir;
  const std::string path = dir.Write("capture.log", std::string(100000, '\0'));
  FaultyFileSystem files;
  files.read_piece = 2048;
  files.before_read = [&path](std::int64_t offset) {
    if (offset >= 50000) std::filesystem::resize_file(path, 40000);
  };
  const RecordingHost host = Analyze(path, files);
  ExpectFinished(host);
  EXPECT_EQ(host.Item(kOutside), "51200");  // the first read at or past 50000 found the end
  EXPECT_EQ(host.Item("Opening as ").rfind("binary file. File size: 100000 bytes. ", 0), 0u);
}

TEST(ChangingLog, RealFileResizedByAnotherWriter) {
  // Another process keeps cutting the log to 8 MiB and growing it back to 32 MiB.
  TempDir dir;
  constexpr std::int64_t kLarge = 32 << 20;
  const std::string path = dir.Write("capture.log", std::string(kLarge, ' '));
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < 100000 && !done; ++i) {
      ASSERT_EQ(::truncate(path.c_str(), i % 2 ? kLarge : 8 << 20), 0);
    }
  });
  const RecordingHost host = Analyze(path, PosixFileSystem());
  done = true;
  writer.join();
  ExpectFinished(host);
  const std::int64_t counted = std::stoll(host.Item(kOutside));
  EXPECT_GE(counted, 0);
  EXPECT_LE(counted, kLarge);
}

}  // namespace
}  // namespace corvanel
