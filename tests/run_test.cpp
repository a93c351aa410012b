#include <gtest/gtest.h>
#include <sys/stat.h>

#include <numeric>
#include <random>

#include "engine/frame_assembler.h"
#include "engine/progress_rule.h"
#include "engine/run.h"
#include "test_support.h"
#include "util/number_text.h"

namespace corvanel {
namespace {

using testing::EncodeFrame;
using testing::Hex;
using testing::RecordingHost;
using testing::TempDir;

RecordingHost AnalyzeLog(const std::string& path, FileSystem& files = PosixFileSystem(),
                         LogTypeSelection type = LogTypeSelection::Autodetect) {
  RunInputs inputs;
  inputs.LogPath = path;
  inputs.LogType = type;
  RecordingHost host;
  ProcessUECP(inputs, host, files, RegionalSettings::Classic());
  return host;
}

std::vector<int> Ascending(int from, int to) {
  std::vector<int> values(to - from + 1);
  std::iota(values.begin(), values.end(), from);
  return values;
}

TEST(Run, EntryChecksStopBeforeAnythingIsRead) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
  const struct {
    std::string path;
    const char* message;
  } cases[] = {
      {"", "No log file opened."},
      {dir.Path("missing.log").string(), "Log file not exists."},
      {dir.Path("").string(), "Log file not exists."},  // a folder
      {dir.Path("fifo").string(), "Log file not exists."},
      {"/dev/zero", "Log file not exists."},
  };
  for (const auto& c : cases) {
    const RecordingHost host = AnalyzeLog(c.path);
    EXPECT_EQ(host.errors, std::vector<std::string>{c.message}) << c.path;
    EXPECT_TRUE(host.lines.empty()) << c.path;
    EXPECT_EQ(host.gauge, std::vector<int>{0}) << c.path;
    EXPECT_EQ(host.repaints, 1);
  }
}

TEST(Run, GaugePositionsFollowTheLogSize) {
  TempDir dir;
  const struct {
    std::size_t size;
    std::vector<int> moves;  // after the initial 0, before the final 100
  } cases[] = {
      {0, {}},
      {40, Ascending(1, 40)},
      {150, Ascending(1, 100)},
      {1000, Ascending(1, 100)},
  };
  for (const auto& c : cases) {
    const RecordingHost host = AnalyzeLog(dir.Write("log", std::string(c.size, 'x')));
    std::vector<int> expected{0};
    expected.insert(expected.end(), c.moves.begin(), c.moves.end());
    expected.push_back(100);
    EXPECT_EQ(host.gauge, expected) << c.size << " bytes";
  }
}

// The bytes on which the gauge moves, for a log of `size` bytes.
std::vector<std::int64_t> MovingBytes(std::int64_t size) {
  struct Recorder : RecordingHost {
    std::int64_t* at;
    std::vector<std::int64_t>* moves;
    void SetGauge(int) override { moves->push_back(*at); }
  } host;
  std::vector<std::int64_t> moves;
  std::int64_t at = 0;
  host.at = &at;
  host.moves = &moves;
  ProgressRule rule(size, host);
  while (at < size) {
    const std::int64_t count = std::min(rule.Advance(), size - at);
    rule.Consumed(count);
    at += count;
  }
  for (auto& byte : moves) ++byte;  // 1-based number of the byte that moved it
  return moves;
}

TEST(ProgressRule, MovesOnTheFirstByteOfEveryStep) {
  const std::vector<int> forty = Ascending(1, 40);
  EXPECT_EQ(MovingBytes(40), std::vector<std::int64_t>(forty.begin(), forty.end()));
  std::vector<std::int64_t> thousand;
  for (int byte = 1; byte <= 991; byte += 10) thousand.push_back(byte);
  EXPECT_EQ(MovingBytes(1000), thousand);
  const auto hundred_fifty = MovingBytes(150);
  ASSERT_EQ(hundred_fifty.size(), 100u);  // held at 100 from byte 100 on
  EXPECT_EQ(hundred_fifty.back(), 100);
  // A 5 GiB log moves by the same rule with 64-bit arithmetic.
  const std::int64_t huge = 5LL << 30;
  const auto moves = MovingBytes(huge);
  ASSERT_EQ(moves.size(), 100u);
  EXPECT_EQ(moves[99], 99 * (huge / 100) + 1);
}

TEST(Run, EmptyLogReportsBinaryAndZero) {
  TempDir dir;
  const RecordingHost host =
      AnalyzeLog(dir.Write("empty.log", ""), PosixFileSystem(), LogTypeSelection::Text);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.Item("Opening as ").rfind("binary file. File size: 0 bytes. Created at ", 0), 0u);
  EXPECT_EQ(host.Item("TOTAL UECP FRAMES: "), "0");
}

// A log of many frames, some of them stuffed, with faults between them.
std::vector<std::uint8_t> TrafficLog(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> log;
  while (log.size() < size) {
    std::vector<std::uint8_t> message(random() % 60);
    for (auto& b : message) b = static_cast<std::uint8_t>(random());
    const auto frame = EncodeFrame(static_cast<std::uint16_t>(random() % 8), message);
    log.insert(log.end(), frame.begin(), frame.end());
    if (random() % 7 == 0) log.push_back(static_cast<std::uint8_t>(0xFD + random() % 3));
  }
  return log;
}

TEST(Run, ChunkAndBlockBoundariesAreInvisible) {
  TempDir dir;
  const auto log = TrafficLog(700000, 5);  // several read chunks
  const RunStats expected = testing::Assemble(log);
  const RecordingHost host = AnalyzeLog(dir.Write("big.bin", log));
  EXPECT_EQ(host.Item("2.1  Total frames analysed: "), std::to_string(expected.GoodFrames));
  EXPECT_EQ(host.Item("2.5  Average elements per frame: ").empty(), false);
  EXPECT_EQ(host.Item("1.6  Stuffing errors: "), std::to_string(expected.StuffingErrors));
  EXPECT_EQ(host.Item("1.4  Un-closed frames (0xFF missing): "),
            std::to_string(expected.UnclosedFrames));
  EXPECT_EQ(host.Item("2.8  Bytes outside UECP frames (incl. 1.5): "),
            std::to_string(expected.OutsideBytes));
}

TEST(Run, TextLogLargerThanAChunkDecodesLikeOneStream) {
  TempDir dir;
  const auto log = TrafficLog(150000, 6);
  std::string text;
  for (std::size_t i = 0; i < log.size(); ++i) {
    AppendHex2(text, log[i]);
    text += (i % 16 == 15) ? ",\r\n" : " ";  // commas keep frames open across lines
  }
  const RunStats expected = testing::Assemble(log);
  const RecordingHost host = AnalyzeLog(dir.Write("big.txt", text));
  EXPECT_NE(host.Item("Opening as ").find("text file"), std::string::npos);
  EXPECT_EQ(host.Item("2.1  Total frames analysed: "), std::to_string(expected.GoodFrames));
  EXPECT_EQ(host.Item("1.3  Corrupted UECP frames (CRC failure): "), "0");
}

TEST(Run, ReadFailureStopsAfterTheBlocksBeforeIt) {
  TempDir dir;
  // 2048 bytes of outside data, then a frame that the failing block cuts in two.
  std::vector<std::uint8_t> log(2040, 0x41);
  const auto frame = EncodeFrame(0x0001, Hex("01 00 00 12 34"));
  log.insert(log.end(), frame.begin(), frame.end());
  log.resize(10000, 0x42);
  const std::string path = dir.Write("log", log);
  testing::FaultyFileSystem files;
  files.fail_read_at = 2050;
  const RecordingHost host = AnalyzeLog(path, files, LogTypeSelection::Binary);
  EXPECT_EQ(host.errors,
            std::vector<std::string>{"Unable to finish the file processing\nInput/output error"});
  EXPECT_EQ(host.Item("2.8  Bytes outside UECP frames (incl. 1.5): "), "2040");
  EXPECT_EQ(host.Item("1.4  Un-closed frames (0xFF missing): "), "0");  // open frame not counted
  EXPECT_EQ(host.Item("Opening as ").rfind("binary file. File size: 10000 bytes. ", 0), 0u);
  EXPECT_LT(host.gauge.back(), 100);
  EXPECT_EQ(host.gauge.back(), 21);  // moved at bytes 1, 101, ..., 2001
}

TEST(Run, OpenFailureStillReportsZeros) {
  TempDir dir;
  testing::FaultyFileSystem files;
  files.fail_open = true;
  files.error = "Permission denied";
  const RecordingHost host = AnalyzeLog(dir.Write("log", "FE 00 00 00 00 7B 3F FF"), files);
  EXPECT_EQ(host.errors,
            std::vector<std::string>{"Unable to finish the file processing\nPermission denied"});
  EXPECT_EQ(host.Item("Opening as ").rfind("binary file. File size: 0 bytes. ", 0), 0u);
  EXPECT_EQ(host.Item("TOTAL UECP FRAMES: "), "0");
  EXPECT_EQ(host.gauge, std::vector<int>{0});
}

TEST(Run, TwoRunsReportTheSameFigures) {
  TempDir dir;
  const std::string path = dir.Write("log", TrafficLog(5000, 9));
  const RecordingHost first = AnalyzeLog(path);
  const RecordingHost second = AnalyzeLog(path);
  EXPECT_EQ(first.lines, second.lines);
  EXPECT_GT(first.lines.size(), 27u);
}

}  // namespace
}  // namespace corvanel
