// An export file that fails while it is written, at its close, on a full device or in a
// folder that does not exist: the failure is shown, and the file keeps whole records of
// what was written before it.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "engine/run.h"
#include "test_support.h"

namespace corvanel {
namespace {

using testing::EncodeFrame;
using testing::FaultyFileSystem;
using testing::Hex;
using testing::RecordingHost;
using testing::TempDir;

constexpr char kUnable[] = "Unable to finish the file processing\n";

struct Outcome {
  RecordingHost host;
  std::string exported;
};

// Frames with elements worth detailing, each followed by 100 bytes outside frames; the
// export of every mode runs past the export file's 1 MiB buffer. Ten times as many
// frames make a log that is read in segments side by side.
std::vector<std::uint8_t> TrafficLog(int frames = 30000) {
  const auto ps = EncodeFrame(0x0041, Hex("02 00 00 52 41 44 49 4F 20 31 20 0D 1A 0C 1F 17 3B "
                                          "3A 00 22"));
  std::vector<std::uint8_t> log;
  for (int i = 0; i < frames; ++i) {
    log.insert(log.end(), ps.begin(), ps.end());
    log.insert(log.end(), 100, 0x2E);
  }
  return log;
}

Outcome Export(const std::vector<std::uint8_t>& log, ExportMode mode, bool details,
               FileSystem& files) {
  TempDir dir;
  RunInputs inputs;
  inputs.LogPath = dir.Write("capture.log", log);
  inputs.ExportPath = dir.Path("export.txt").string();
  inputs.Mode = mode;
  inputs.Export.IncludeDetails = details;
  Outcome outcome;
  ProcessUECP(inputs, outcome.host, files, RegionalSettings::Classic());
  outcome.exported = testing::ReadFile(inputs.ExportPath);
  return outcome;
}

void ExpectWholeRecordsBeforeWriteFailure(const std::vector<std::uint8_t>& log) {
  const struct {
    ExportMode mode;
    bool details;
    const char* record_start;  // how every record of the file begins
  } cases[] = {
      {kFramesKeepStuffing, true, "[FE "},
      {kFramesRemoveStuffing, false, "FE "},
      {kOutsideData, false, ""},
  };
  for (const auto& c : cases) {
    FaultyFileSystem sound;
    const Outcome full = Export(log, c.mode, c.details, sound);
    ASSERT_TRUE(full.host.errors.empty());
    ASSERT_GT(full.exported.size(), 1u << 20) << c.mode << " " << log.size();
    EXPECT_EQ(full.exported.rfind(c.record_start, 0), 0u);

    FaultyFileSystem full_disk;
    full_disk.error = "No space left on device";
    full_disk.fail_write_after = static_cast<std::int64_t>(full.exported.size()) / 2;
    const Outcome failed = Export(log, c.mode, c.details, full_disk);
    EXPECT_EQ(failed.host.errors,
              std::vector<std::string>{std::string(kUnable) + "No space left on device"})
        << c.mode;
    EXPECT_TRUE(failed.host.lines.empty());
    EXPECT_LT(failed.host.gauge.back(), 100) << c.mode;  // the log was not read to its end
    // A prefix of the complete export that ends where a record ends.
    ASSERT_FALSE(failed.exported.empty()) << c.mode;
    EXPECT_LE(failed.exported.size(), full.exported.size() / 2) << c.mode;
    EXPECT_EQ(full.exported.compare(0, failed.exported.size(), failed.exported), 0) << c.mode;
    EXPECT_EQ(
        full.exported.compare(failed.exported.size(), std::strlen(c.record_start), c.record_start),
        0)
        << c.mode;
  }
}

TEST(WriteFailure, ExportKeepsWholeRecordsWrittenBeforeIt) {
  for (int frames : {30000, 300000}) {
    ExpectWholeRecordsBeforeWriteFailure(TrafficLog(frames));
  }
}

TEST(WriteFailure, FailureAtCloseIsShownAndKeepsTheFile) {
  const auto log = EncodeFrame(0x0041, Hex("01 00 00 12 34"));
  FaultyFileSystem sound;
  const Outcome full = Export(log, kFramesRemoveStuffing, true, sound);
  FaultyFileSystem failing_close;
  failing_close.fail_close = true;
  const Outcome failed = Export(log, kFramesRemoveStuffing, true, failing_close);
  EXPECT_EQ(failed.host.errors,
            std::vector<std::string>{std::string(kUnable) + "Input/output error"});
  EXPECT_EQ(failed.host.gauge.back(), 100);
  EXPECT_EQ(failed.exported, full.exported);
}

TEST(WriteFailure, FullDeviceStopsTheRunAtTheFirstFlush) {
  TempDir dir;
  RunInputs inputs;
  inputs.LogPath = dir.Write("capture.log", TrafficLog());
  inputs.ExportPath = "/dev/full";
  inputs.Mode = kOutsideData;
  RecordingHost host;
  ProcessUECP(inputs, host, PosixFileSystem(), RegionalSettings::Classic());
  EXPECT_EQ(host.errors,
            std::vector<std::string>{std::string(kUnable) + "No space left on device"});
  EXPECT_LT(host.gauge.back(), 100);
}

TEST(WriteFailure, ExportIntoAMissingFolderTouchesNothing) {
  TempDir dir;
  const auto content = EncodeFrame(0x0041, Hex("01 00 00 12 34"));
  RunInputs inputs;
  inputs.LogPath = dir.Write("capture.log", content);
  inputs.ExportPath = dir.Path("missing/export.txt").string();
  inputs.Mode = kFramesRemoveStuffing;
  RecordingHost host;
  ProcessUECP(inputs, host, PosixFileSystem(), RegionalSettings::Classic());
  EXPECT_EQ(host.errors,
            std::vector<std::string>{std::string(kUnable) + "No such file or directory"});
  EXPECT_EQ(host.gauge, std::vector<int>{0});
  EXPECT_FALSE(std::filesystem::exists(dir.Path("missing")));
  EXPECT_EQ(testing::ReadFile(inputs.LogPath), std::string(content.begin(), content.end()));
}

}  // namespace
}  // namespace corvanel
