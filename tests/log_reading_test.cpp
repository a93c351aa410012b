#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "engine/frame.h"
#include "engine/frame_assembler.h"
#include "engine/log_reading.h"
#include "test_support.h"
#include "util/number_text.h"

namespace corvanel {
namespace {

struct Outcome {
  std::unique_ptr<RunStats> stats = std::make_unique<RunStats>();
  bool open_at_end = false;
  std::vector<int> gauge;
};

Outcome Read(const std::string& path, unsigned parts) {
  Outcome outcome;
  auto log = PosixFileSystem().OpenLog(path);
  outcome.stats->LogFileSize = log->Size();
  Frame frame;
  FrameAssembler assembler(frame, *outcome.stats, nullptr, nullptr);
  testing::RecordingHost host;
  outcome.open_at_end =
      ReadLog(*log, LogTypeSelection::Autodetect, parts, *outcome.stats, assembler, host);
  outcome.gauge = host.gauge;
  return outcome;
}

void ExpectSameFigures(const Outcome& a, const Outcome& b, unsigned parts) {
  const RunStats& x = *a.stats;
  const RunStats& y = *b.stats;
  EXPECT_EQ(x.GoodFrames, y.GoodFrames) << parts;
  EXPECT_EQ(x.TooShortFrames, y.TooShortFrames) << parts;
  EXPECT_EQ(x.TooLongFrames, y.TooLongFrames) << parts;
  EXPECT_EQ(x.CrcFailures, y.CrcFailures) << parts;
  EXPECT_EQ(x.UnclosedFrames, y.UnclosedFrames) << parts;
  EXPECT_EQ(x.UnopenedFrames, y.UnopenedFrames) << parts;
  EXPECT_EQ(x.StuffingErrors, y.StuffingErrors) << parts;
  EXPECT_EQ(x.OutsideBytes, y.OutsideBytes) << parts;
  EXPECT_EQ(x.TotalElements, y.TotalElements) << parts;
  EXPECT_EQ(x.BadFieldLengths, y.BadFieldLengths) << parts;
  EXPECT_EQ(x.BadElementLengths, y.BadElementLengths) << parts;
  EXPECT_EQ(x.LongestFrame, y.LongestFrame) << parts;
  EXPECT_EQ(x.MaxElementsPerFrame, y.MaxElementsPerFrame) << parts;
  EXPECT_EQ(x.MecCounts, y.MecCounts) << parts;
  EXPECT_EQ(x.AddressCounts, y.AddressCounts) << parts;
  EXPECT_EQ(x.LogIsBinary, y.LogIsBinary) << parts;
  EXPECT_EQ(a.open_at_end, b.open_at_end) << parts;
  EXPECT_EQ(a.gauge, b.gauge) << parts;
}

// About 40 MiB: large enough to be read in parts.
constexpr std::size_t kLargeLog = 40u << 20;

TEST(LogReading, PartsOfABinaryLogAddUpToOnePass) {
  // Frames, stuffing, stray escapes, start and stop bytes in every order, so that the
  // parts begin in all kinds of places.
  std::mt19937 random(17);
  std::vector<std::uint8_t> pattern;
  while (pattern.size() < (1u << 20)) {
    if (random() % 3 == 0) {
      std::vector<std::uint8_t> message(random() % 40);
      for (auto& b : message) b = static_cast<std::uint8_t>(random());
      const auto frame = testing::EncodeFrame(static_cast<std::uint16_t>(random() % 4), message);
      pattern.insert(pattern.end(), frame.begin(), frame.end());
    } else {
      const std::uint8_t bytes[] = {0xFD, 0xFE, 0xFF, 0x00, 0x01, 0x02, 0x0A, 0x41};
      pattern.push_back(bytes[random() % std::size(bytes)]);
    }
  }
  std::vector<std::uint8_t> log;
  while (log.size() < kLargeLog)
    log.insert(log.end(), pattern.begin(), pattern.end() - random() % 1000);
  log.push_back(0xFE);  // a frame open at the end
  testing::TempDir dir;
  const std::string path = dir.Write("large.bin", log);
  const Outcome one_pass = Read(path, 1);
  EXPECT_TRUE(one_pass.stats->LogIsBinary);
  EXPECT_TRUE(one_pass.open_at_end);
  EXPECT_GT(one_pass.stats->GoodFrames, 100000);
  for (unsigned parts : {2u, 3u, 8u}) ExpectSameFigures(Read(path, parts), one_pass, parts);
}

TEST(LogReading, PartsOfATextLogAddUpToOnePass) {
  // Pairs among every kind of delimiter, including FE right after digits, letters and
  // delimiters, and frames continued over lines.
  std::mt19937 random(23);
  const std::string alphabet = "0123456789ABCDEF  FE FE FE\r\n,;[]()<>\"xa:.";
  std::string pattern(1u << 20, ' ');
  for (char& ch : pattern) ch = alphabet[random() % alphabet.size()];
  for (int i = 0; i < 2000; ++i) {  // some good frames too
    std::string line = "\r\n12:00:00 ";
    for (std::uint8_t b : testing::EncodeFrame(0x0041, {0x01, 0x00, 0x00, 0x12, 0x34})) {
      AppendHex2(line, b);
      line += ' ';
    }
    pattern.replace(random() % (pattern.size() - line.size()), line.size(), line);
  }
  std::string log;
  while (log.size() < kLargeLog) log += pattern.substr(random() % 1000);
  testing::TempDir dir;
  const std::string path = dir.Write("large.txt", log);
  const Outcome one_pass = Read(path, 1);
  EXPECT_FALSE(one_pass.stats->LogIsBinary);
  EXPECT_GT(one_pass.stats->GoodFrames, 1000);
  for (unsigned parts : {2u, 3u, 8u}) ExpectSameFigures(Read(path, parts), one_pass, parts);
}

TEST(LogReading, ReadFailureInALaterPartStopsThereAsInOnePass) {
  std::vector<std::uint8_t> log;
  const auto frame = testing::EncodeFrame(0x0041, {0x01, 0x00, 0x00, 0x12, 0x34});
  while (log.size() < kLargeLog) log.insert(log.end(), frame.begin(), frame.end());
  testing::TempDir dir;
  const std::string path = dir.Write("large.bin", log);
  for (std::int64_t fail_at : {std::int64_t{1000}, std::int64_t{30} << 20}) {
    for (unsigned parts : {1u, 2u, 4u}) {
      testing::FaultyFileSystem files;
      files.fail_read_at = fail_at;
      auto reader = files.OpenLog(path);
      RunStats stats;
      stats.LogFileSize = reader->Size();
      Frame f;
      FrameAssembler assembler(f, stats, nullptr, nullptr);
      testing::RecordingHost host;
      EXPECT_THROW(ReadLog(*reader, LogTypeSelection::Binary, parts, stats, assembler, host),
                   FileError);
      // Every frame wholly inside the blocks before the failing one counts.
      EXPECT_EQ(stats.GoodFrames, fail_at / 2048 * 2048 / static_cast<std::int64_t>(frame.size()))
          << parts;
    }
  }
}

}  // namespace
}  // namespace corvanel
