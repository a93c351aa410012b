// A log that fails to read part way: the run stops after the same bytes as reading in
// 2048-byte blocks would, shows the failure before the report, and keeps the counts and
// the export file of what it read.
#include <gtest/gtest.h>

#include "engine/run.h"
#include "test_support.h"

namespace corvanel {
namespace {

using testing::EncodeFrame;
using testing::FaultyFileSystem;
using testing::Hex;
using testing::RecordingHost;
using testing::TempDir;

constexpr char kIoFailure[] = "Unable to finish the file processing\nInput/output error";
constexpr char kOutside[] = "2.8  Bytes outside UECP frames (incl. 1.5): ";

// Counts the report lines that came before the first error.
class OrderedHost : public RecordingHost {
 public:
  void ShowError(const std::string& message) override {
    if (errors.empty()) lines_before_error = lines.size();
    RecordingHost::ShowError(message);
  }
  std::size_t lines_before_error = 0;
};

struct Outcome {
  OrderedHost host;
  std::string exported;
};

Outcome RunOn(const std::vector<std::uint8_t>& log, ExportMode mode, FileSystem& files) {
  TempDir dir;
  RunInputs inputs;
  inputs.LogPath = dir.Write("capture.log", log);
  inputs.ExportPath = dir.Path("export.txt").string();
  inputs.Mode = mode;
  inputs.LogType = LogTypeSelection::Binary;
  Outcome outcome;
  ProcessUECP(inputs, outcome.host, files, RegionalSettings::Classic());
  if (mode != kAnalysis) outcome.exported = testing::ReadFile(inputs.ExportPath);
  return outcome;
}

TEST(ReadFailure, StopsAtTheStartOfTheFailingBlock) {
  // A log of zeros counts every byte it read as outside frames. The failing offsets fall
  // at block edges, past the first read chunk, and on the last byte. The gauge stays where
  // the bytes read took it (one move per 6000 bytes).
  const std::vector<std::uint8_t> zeros(600000, 0);
  const struct {
    std::int64_t fail_at;
    const char* counted;
    int gauge;
  } cases[] = {
      {0, "0", 0},
      {2047, "0", 0},
      {2048, "2048", 1},
      {4097, "4096", 1},
      {262143, "260096", 44},
      {262144, "262144", 44},
      {300000, "299008", 50},
      {599999, "598016", 100},
  };
  for (const auto& c : cases) {
    FaultyFileSystem files;
    files.fail_read_at = c.fail_at;
    const Outcome outcome = RunOn(zeros, kAnalysis, files);
    EXPECT_EQ(outcome.host.errors, std::vector<std::string>{kIoFailure}) << c.fail_at;
    EXPECT_EQ(outcome.host.Item(kOutside), c.counted) << c.fail_at;
    EXPECT_EQ(outcome.host.Item("Opening as ").rfind("binary file. File size: 600000 bytes. ", 0),
              0u)
        << c.fail_at;
    EXPECT_EQ(outcome.host.gauge.back(), c.gauge) << c.fail_at;
  }
}

TEST(ReadFailure, LogReadInPartsStopsAtTheFailingBlockToo) {
  // Large logs are read in parts side by side; a failure in the first part or in a later
  // one still leaves the figures of the log cut at the start of the failing block.
  const auto frame = EncodeFrame(0x0041, Hex("01 00 00 12 34"));
  std::vector<std::uint8_t> log;
  while (log.size() < (std::size_t{40} << 20)) {
    log.insert(log.end(), frame.begin(), frame.end());
    log.insert(log.end(), 1000, 0);
  }
  for (const std::int64_t fail_at :
       {(std::int64_t{10} << 20) + 5, (std::int64_t{30} << 20) + 4097}) {
    FaultyFileSystem failing;
    failing.fail_read_at = fail_at;
    const Outcome failed = RunOn(log, kAnalysis, failing);
    const std::vector<std::uint8_t> cut(log.begin(), log.begin() + fail_at / 2048 * 2048);
    FaultyFileSystem sound;
    const Outcome expected = RunOn(cut, kAnalysis, sound);
    EXPECT_EQ(failed.host.errors, std::vector<std::string>{kIoFailure}) << fail_at;
    for (const char* item : {"2.1  Total frames analysed: ", "01 - PI: ", kOutside,
                             "1.3  Corrupted UECP frames (CRC failure): "}) {
      EXPECT_EQ(failed.host.Item(item), expected.host.Item(item)) << fail_at << " " << item;
    }
    EXPECT_LT(failed.host.gauge.back(), 100) << fail_at;
  }
}

// Good frames up to a frame that is open across offset 4096, then more frames: a read
// failure in the block after 4096 cuts the open frame off.
struct CutLog {
  std::vector<std::uint8_t> bytes;
  int frames_before_cut = 0;
  std::size_t outside_before_cut = 0;
};

CutLog FramesAcrossTheCut() {
  const auto frame = EncodeFrame(0x0041, Hex("02 00 00 52 41 44 49 4F 20 31 20"));
  CutLog log;
  while (log.bytes.size() + frame.size() < 4000) {
    log.bytes.insert(log.bytes.end(), frame.begin(), frame.end());
    ++log.frames_before_cut;
  }
  log.outside_before_cut = 4090 - log.bytes.size();
  log.bytes.resize(4090, 0x20);
  const auto open = EncodeFrame(0x0042, Hex("01 00 00 12 34 01 00 00 12 34"));
  log.bytes.insert(log.bytes.end(), open.begin(), open.end());
  while (log.bytes.size() < 10000) log.bytes.insert(log.bytes.end(), frame.begin(), frame.end());
  return log;
}

TEST(ReadFailure, ReportShowsTheCountsUpToTheFailureAfterTheError) {
  const CutLog log = FramesAcrossTheCut();
  FaultyFileSystem files;
  files.fail_read_at = 5000;
  const Outcome outcome = RunOn(log.bytes, kAnalysis, files);
  const OrderedHost& host = outcome.host;
  EXPECT_EQ(host.errors, std::vector<std::string>{kIoFailure});
  EXPECT_EQ(host.lines_before_error, 0u);
  EXPECT_EQ(host.Item("2.1  Total frames analysed: "), std::to_string(log.frames_before_cut));
  EXPECT_EQ(host.Item("TOTAL UECP FRAMES: "), std::to_string(log.frames_before_cut));
  EXPECT_EQ(host.Item("1.4  Un-closed frames (0xFF missing): "), "0");
  EXPECT_EQ(host.Item(kOutside), std::to_string(log.outside_before_cut));
  EXPECT_EQ(
      host.Item("Opening as ")
          .rfind("binary file. File size: " + std::to_string(log.bytes.size()) + " bytes. ", 0),
      0u);
  // 100-byte steps: the last move was at byte 4001, the 41st.
  EXPECT_EQ(host.gauge.back(), 41);
}

TEST(ReadFailure, ExportKeepsWhatTheReadBlocksGave) {
  // What an export holds after the failure is what an export of the log cut at the failing
  // block holds: the frames before it, none of the open frame.
  const CutLog log = FramesAcrossTheCut();
  const std::vector<std::uint8_t> cut(log.bytes.begin(), log.bytes.begin() + 4096);
  for (ExportMode mode : {kFramesKeepStuffing, kFramesRemoveStuffing, kOutsideData}) {
    FaultyFileSystem failing;
    failing.fail_read_at = 4096 + 2047;
    const Outcome failed = RunOn(log.bytes, mode, failing);
    FaultyFileSystem sound;
    const Outcome expected = RunOn(cut, mode, sound);
    EXPECT_EQ(failed.host.errors, std::vector<std::string>{kIoFailure}) << mode;
    EXPECT_TRUE(failed.host.lines.empty()) << mode;
    EXPECT_FALSE(failed.exported.empty()) << mode;
    EXPECT_EQ(failed.exported, expected.exported) << mode;
  }
}

}  // namespace
}  // namespace corvanel
