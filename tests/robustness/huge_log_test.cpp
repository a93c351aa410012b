// Logs past 2 GiB and 4 GiB, made sparse so that they cost no disk: exact 64-bit figures,
// a gauge that ends at 100, and memory that stays flat however large the log is.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>

#include "child_process.h"
#include "engine/run.h"
#include "test_support.h"

namespace corvanel {
namespace {

using testing::EncodeFrame;
using testing::Hex;
using testing::RecordingHost;
using testing::TempDir;

constexpr std::int64_t k2GiB = std::int64_t{1} << 31;
constexpr std::int64_t k4GiB = std::int64_t{1} << 32;
constexpr char kOutside[] = "2.8  Bytes outside UECP frames (incl. 1.5): ";

// A file of `size` bytes that are zeros except `pieces` at their offsets.
std::string SparseLog(
    const TempDir& dir, std::int64_t size,
    const std::vector<std::pair<std::int64_t, std::vector<std::uint8_t>>>& pieces) {
  const std::string path = dir.Path("huge.log").string();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(::ftruncate(fd, size), 0);
  for (const auto& [offset, bytes] : pieces) {
    EXPECT_EQ(::pwrite(fd, bytes.data(), bytes.size(), offset), static_cast<ssize_t>(bytes.size()));
  }
  ::close(fd);
  return path;
}

RecordingHost Analyze(const std::string& path) {
  RunInputs inputs;
  inputs.LogPath = path;
  RecordingHost host;
  ProcessUECP(inputs, host, PosixFileSystem(), RegionalSettings::Classic());
  return host;
}

TEST(HugeLog, ZerosPast4GiBAreCountedExactlyInFlatMemory) {
  TempDir dir;
  constexpr std::int64_t kSize = k4GiB + 4;  // a multiple of 100: exactly 100 gauge moves
  const std::string path = SparseLog(dir, kSize, {});

  const RecordingHost host = Analyze(path);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.Item(kOutside), "4294967300");
  EXPECT_EQ(host.Item("Opening as ").rfind("binary file. File size: 4294967300 bytes. ", 0), 0u);
  std::vector<int> gauge{0};
  for (int position = 1; position <= 100; ++position) gauge.push_back(position);
  gauge.push_back(100);
  EXPECT_EQ(host.gauge, gauge);

  const auto cli = testing::RunCliProcess({"analyze", path});
  EXPECT_EQ(cli.status, 0) << cli.err;
  EXPECT_NE(cli.out.find(std::string(kOutside) + "4294967300\n"), std::string::npos);
  RecordProperty("peak_rss_kib", std::to_string(cli.peak_rss_kib));
  std::printf("corvanel-cli analyze of a %lld-byte log: peak resident memory %ld KiB\n",
              static_cast<long long>(kSize), cli.peak_rss_kib);
  EXPECT_LT(cli.peak_rss_kib, 64 * 1024);
}

TEST(HugeLog, FramesPast2GiBAnd4GiBAreFoundAndCounted) {
  TempDir dir;
  const auto pi = EncodeFrame(0x0041, Hex("01 00 00 12 34"));
  const auto ps = EncodeFrame(0x0082, Hex("02 00 00 52 41 44 49 4F 20 31 20"));
  const auto bad = Hex("FE 00 00 00 00 7B 3E FF");  // CRC failure
  // Frames that straddle the 2 GiB and 4 GiB marks (which are also read chunk edges), and
  // frames just past them and at the very end.
  const std::int64_t size = k4GiB + (1 << 20);
  const std::vector<std::pair<std::int64_t, std::vector<std::uint8_t>>> pieces{
      {k2GiB - 7, pi},      {k2GiB + 1000, ps},  {k4GiB - 3, ps},
      {k4GiB + 12345, bad}, {k4GiB + 20000, pi}, {size - std::int64_t(pi.size()), pi},
  };
  const std::string path = SparseLog(dir, size, pieces);
  std::int64_t framed = 0;
  for (const auto& piece : pieces) framed += static_cast<std::int64_t>(piece.second.size());

  const RecordingHost host = Analyze(path);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.gauge.back(), 100);
  EXPECT_EQ(host.Item("TOTAL UECP FRAMES: "), "6");
  EXPECT_EQ(host.Item("2.1  Total frames analysed: "), "5");
  EXPECT_EQ(host.Item("1.3  Corrupted UECP frames (CRC failure): "), "1");
  EXPECT_EQ(host.Item(kOutside), std::to_string(size - framed));
  EXPECT_EQ(host.Item("0041 - "), "Site address 1, Encoder address 1: 3 frame(s)");
  EXPECT_EQ(host.Item("0082 - "), "Site address 2, Encoder address 2: 2 frame(s)");
}

}  // namespace
}  // namespace corvanel
