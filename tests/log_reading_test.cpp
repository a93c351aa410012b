#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string_view>
#include <vector>

#include "engine/frame.h"
#include "engine/frame_assembler.h"
#include "engine/log_reading.h"
#include "engine/run_stats.h"
#include "test_support.h"
#include "util/number_text.h"

namespace corvanel {
namespace {

struct Outcome {
  std::unique_ptr<RunStats> stats = std::make_unique<RunStats>();
  bool open_at_end = false;
  std::vector<int> gauge;
  std::size_t output_size = 0;  // what an export wrote, by size and digest
  std::size_t output_digest = 0;
};

Outcome Read(const std::string& path, unsigned workers, const AssemblyPlan& plan = {}) {
  Outcome outcome;
  auto log = PosixFileSystem().OpenLog(path);
  outcome.stats->LogFileSize = log->Size();
  testing::RecordingHost host;
  ExportFile output(nullptr);
  outcome.open_at_end = ReadLog(*log, LogTypeSelection::Autodetect, workers, plan,
                                plan.Mode == kAnalysis ? nullptr : &output, *outcome.stats, host);
  outcome.gauge = host.gauge;
  const std::string_view written = output.Contents();
  outcome.output_size = written.size();
  outcome.output_digest = std::hash<std::string_view>()(written);
  return outcome;
}

void ExpectSameFigures(const Outcome& a, const Outcome& b, unsigned workers) {
  const RunStats& x = *a.stats;
  const RunStats& y = *b.stats;
  EXPECT_EQ(x.GoodFrames, y.GoodFrames) << workers;
  EXPECT_EQ(x.TooShortFrames, y.TooShortFrames) << workers;
  EXPECT_EQ(x.TooLongFrames, y.TooLongFrames) << workers;
  EXPECT_EQ(x.CrcFailures, y.CrcFailures) << workers;
  EXPECT_EQ(x.UnclosedFrames, y.UnclosedFrames) << workers;
  EXPECT_EQ(x.UnopenedFrames, y.UnopenedFrames) << workers;
  EXPECT_EQ(x.StuffingErrors, y.StuffingErrors) << workers;
  EXPECT_EQ(x.OutsideBytes, y.OutsideBytes) << workers;
  EXPECT_EQ(x.TotalElements, y.TotalElements) << workers;
  EXPECT_EQ(x.BadFieldLengths, y.BadFieldLengths) << workers;
  EXPECT_EQ(x.BadElementLengths, y.BadElementLengths) << workers;
  EXPECT_EQ(x.LongestFrame, y.LongestFrame) << workers;
  EXPECT_EQ(x.MaxElementsPerFrame, y.MaxElementsPerFrame) << workers;
  EXPECT_EQ(x.MecCounts, y.MecCounts) << workers;
  EXPECT_EQ(x.AddressCounts, y.AddressCounts) << workers;
  EXPECT_EQ(x.LogIsBinary, y.LogIsBinary) << workers;
  EXPECT_EQ(a.open_at_end, b.open_at_end) << workers;
  EXPECT_EQ(a.gauge, b.gauge) << workers;
}

// About 40 MiB: large enough to be read in segments.
constexpr std::size_t kLargeLog = 40u << 20;

// Frames, stuffing, stray escapes, start and stop bytes in every order, so that the
// segments begin in all kinds of places.
std::vector<std::uint8_t> LargeBinaryLog() {
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
  return log;
}

// Pairs among every kind of delimiter, including FE right after digits, letters and
// delimiters, and frames continued over lines.
std::string LargeTextLog() {
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
  return log;
}

TEST(LogReading, SegmentsOfABinaryLogAddUpToOnePass) {
  testing::TempDir dir;
  const std::string path = dir.Write("large.bin", LargeBinaryLog());
  const Outcome one_pass = Read(path, 1);
  EXPECT_TRUE(one_pass.stats->LogIsBinary);
  EXPECT_TRUE(one_pass.open_at_end);
  EXPECT_GT(one_pass.stats->GoodFrames, 100000);
  for (unsigned workers : {2u, 3u, 8u}) ExpectSameFigures(Read(path, workers), one_pass, workers);
}

TEST(LogReading, SegmentsOfATextLogAddUpToOnePass) {
  testing::TempDir dir;
  const std::string path = dir.Write("large.txt", LargeTextLog());
  const Outcome one_pass = Read(path, 1);
  EXPECT_FALSE(one_pass.stats->LogIsBinary);
  EXPECT_GT(one_pass.stats->GoodFrames, 1000);
  for (unsigned workers : {2u, 3u, 8u}) ExpectSameFigures(Read(path, workers), one_pass, workers);
}

TEST(LogReading, ExportsInSegmentsWriteWhatOnePassWrites) {
  testing::TempDir dir;
  const std::vector<std::string> paths = {dir.Write("large.bin", LargeBinaryLog()),
                                          dir.Write("large.txt", LargeTextLog())};
  AssemblyPlan keep{kFramesKeepStuffing, {}};
  keep.Export.IncludeDetails = false;
  AssemblyPlan filtered{kFramesRemoveStuffing, {}};
  filtered.Export.FilterMecs = true;
  filtered.Export.MecText = "01,0A";
  const std::vector<AssemblyPlan> plans = {
      keep, {kFramesRemoveStuffing, {}}, filtered, {kOutsideData, {}}};
  for (const std::string& path : paths) {
    for (const AssemblyPlan& plan : plans) {
      const Outcome one_pass = Read(path, 1, plan);
      EXPECT_GT(one_pass.output_size, 0u) << path << " mode " << plan.Mode;
      const unsigned workers = 3;
      const Outcome segmented = Read(path, workers, plan);
      EXPECT_EQ(segmented.output_size, one_pass.output_size) << path << " mode " << plan.Mode;
      EXPECT_EQ(segmented.output_digest, one_pass.output_digest) << path << " mode " << plan.Mode;
      ExpectSameFigures(segmented, one_pass, workers);
    }
  }
}

TEST(LogReading, ReadFailureInALaterSegmentStopsThereAsInOnePass) {
  std::vector<std::uint8_t> log;
  const auto frame = testing::EncodeFrame(0x0041, {0x01, 0x00, 0x00, 0x12, 0x34});
  while (log.size() < kLargeLog) log.insert(log.end(), frame.begin(), frame.end());
  testing::TempDir dir;
  const std::string path = dir.Write("large.bin", log);
  for (std::int64_t fail_at : {std::int64_t{1000}, std::int64_t{30} << 20}) {
    for (unsigned workers : {1u, 2u, 4u}) {
      testing::FaultyFileSystem files;
      files.fail_read_at = fail_at;
      auto reader = files.OpenLog(path);
      RunStats stats;
      stats.LogFileSize = reader->Size();
      testing::RecordingHost host;
      EXPECT_THROW(
          ReadLog(*reader, LogTypeSelection::Binary, workers, AssemblyPlan{}, nullptr, stats, host),
          FileError);
      // Every frame wholly inside the blocks before the failing one counts.
      EXPECT_EQ(stats.GoodFrames, fail_at / 2048 * 2048 / static_cast<std::int64_t>(frame.size()))
          << workers;
    }
  }
}

// The figures of segments are added up and their memory reused for later segments: the
// address counts must come out right whatever blocks of addresses each segment used.
TEST(LogReading, AddressCountsAddAndReassignAcrossBlocks) {
  auto total = std::make_unique<RunStats>();
  auto part = std::make_unique<RunStats>();
  const auto no_figures = std::make_unique<const RunStats>();
  const std::vector<std::vector<std::uint16_t>> segments = {
      {0x0041, 0x0041, 0xFFFF}, {0x0400, 0x0041}, {}, {0x03FF, 0x8000, 0x8000}};
  std::map<std::uint16_t, std::int64_t> expected;
  for (const auto& addresses : segments) {
    *part = *no_figures;
    for (std::uint16_t address : addresses) {
      ++part->AddressCounts[address];
      ++expected[address];
    }
    AddFigures(*total, *part);
  }
  for (std::size_t word = 0; word < total->AddressCounts.size(); ++word) {
    const auto found = expected.find(static_cast<std::uint16_t>(word));
    ASSERT_EQ(total->AddressCounts[word], found == expected.end() ? 0 : found->second) << word;
  }
  *part = *total;
  EXPECT_EQ(part->AddressCounts, total->AddressCounts);
  *part = *no_figures;
  EXPECT_EQ(part->AddressCounts, no_figures->AddressCounts);
}

}  // namespace
}  // namespace corvanel
