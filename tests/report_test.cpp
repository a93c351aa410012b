#include <gtest/gtest.h>
#include <utime.h>

#include "engine/report.h"
#include "test_support.h"

namespace corvanel {
namespace {

using testing::EncodeFrame;
using testing::Hex;
using testing::RecordingHost;

RecordingHost Report(const RunStats& stats, const std::string& path = "x.log") {
  RecordingHost host;
  AppendReport(stats, path, RegionalSettings::Classic(), host);
  return host;
}

TEST(Report, FullTextOfAnAnalysis) {
  setenv("TZ", "UTC", 1);
  tzset();
  testing::TempDir dir;
  std::vector<std::uint8_t> log;
  for (const auto& part :
       {EncodeFrame(0x0041, Hex("02 00 00 52 41 44 49 4F 20 20 20")),
        EncodeFrame(0x0041, Hex("01 00 00 12 34 7F 01")), EncodeFrame(0xFFFF, {}),
        Hex("FE 00 00 00 00 7B 3E FF"), Hex("FF FD 05")}) {
    log.insert(log.end(), part.begin(), part.end());
  }
  const std::string path = dir.Write("traffic.bin", log);
  const utimbuf times{1798761599, 1798761599};
  ASSERT_EQ(::utime(path.c_str(), &times), 0);
  RunInputs inputs;
  inputs.LogPath = path;
  RecordingHost host;
  ProcessUECP(inputs, host, PosixFileSystem(), RegionalSettings::Classic());
  const std::string expected =
      "\n"
      "*** Results for file " +
      path +
      " ***\n"
      "Opening as binary file. File size: " +
      std::to_string(log.size()) +
      " bytes. Created at 12/31/26 23:59:58\n"
      "TOTAL UECP FRAMES: 5\n"
      "\n"
      "-= 1. Error Analysis =-\n"
      "1.1  Corrupted UECP frames (too short): 0\n"
      "1.2  Corrupted UECP frames (too long): 0\n"
      "1.3  Corrupted UECP frames (CRC failure): 1\n"
      "1.4  Un-closed frames (0xFF missing): 0\n"
      "1.5  Un-opened frames (0xFE missing): 1\n"
      "1.6  Stuffing errors: 1\n"
      "1.7  TOTAL CORRUPTED UECP FRAMES: 2 (40.000 %)\n"
      "\n"
      "-= 2. Content Analysis =-\n"
      "2.1  Total frames analysed: 3\n"
      "2.2  Elements found:\n"
      "01 - PI: 1 element(s)\n"
      "02 - PS: 1 element(s)\n"
      "7F: 1 element(s)\n"
      "2.3  Longest UECP frame (bytes): 19\n"
      "2.4  Maximum elements per frame: 2\n"
      "2.5  Average elements per frame: 1.00\n"
      "2.6  Invalid Message Field Length: 0\n"
      "2.7  Invalid Message Element Length: 0\n"
      "2.8  Bytes outside UECP frames (incl. 1.5): 3\n"
      "\n"
      "-= 3. Addressing Analysis =-\n"
      "3.1  Address words found:\n"
      "0041 - Site address 1, Encoder address 1: 2 frame(s)\n"
      "FFFF - Site address 1023, Encoder address 63: 1 frame(s)\n"
      "\n";
  EXPECT_EQ(host.Text(), expected);
  EXPECT_TRUE(host.errors.empty());
}

TEST(Report, DerivedFigures) {
  const struct {
    std::int64_t crc, unopened, good, elements;
    const char* share;
    const char* average;
  } cases[] = {
      {1, 0, 3, 0, "1 (25.000 %)", "0.00"},
      {1, 0, 2, 5, "1 (33.333 %)", "2.50"},
      {0, 0, 3, 5, "0 (0.000 %)", "1.67"},
      {0, 0, 8, 1, "0 (0.000 %)", "0.13"},  // 1 of 8 rounds half up
      {2, 1, 0, 0, "3 (100.000 %)", "0.00"},
      {0, 0, 0, 0, "0 (0.000 %)", "0.00"},
  };
  for (const auto& c : cases) {
    auto stats = std::make_unique<RunStats>();
    stats->CrcFailures = c.crc;
    stats->UnopenedFrames = c.unopened;
    stats->StuffingErrors = 7;  // never part of the corrupted total
    stats->GoodFrames = c.good;
    stats->TotalElements = c.elements;
    const RecordingHost host = Report(*stats);
    EXPECT_EQ(host.Item("1.7  TOTAL CORRUPTED UECP FRAMES: "), c.share);
    EXPECT_EQ(host.Item("2.5  Average elements per frame: "), c.average);
    EXPECT_EQ(host.Item("TOTAL UECP FRAMES: "), std::to_string(c.crc + c.unopened + c.good));
  }
}

TEST(Report, EmptyTablesLeaveTheHeadingsAdjacent) {
  const RecordingHost host = Report(*std::make_unique<RunStats>());
  ASSERT_EQ(host.lines.size(), 27u);
  EXPECT_EQ(host.lines[16], "2.2  Elements found:");
  EXPECT_EQ(host.lines[17].rfind("2.3  ", 0), 0u);
  EXPECT_EQ(host.lines[25], "3.1  Address words found:");
  EXPECT_EQ(host.lines[26], "");
}

TEST(Report, FiguresBeyondThirtyTwoBits) {
  auto stats = std::make_unique<RunStats>();
  stats->OutsideBytes = 5LL << 30;
  stats->UnopenedFrames = 3000000000LL;
  stats->GoodFrames = 3000000000LL;
  stats->AddressCounts[0x0041] = 3000000000LL;
  stats->LogFileSize = 5LL << 30;
  const RecordingHost host = Report(*stats);
  EXPECT_EQ(host.Item("2.8  Bytes outside UECP frames (incl. 1.5): "), "5368709120");
  EXPECT_EQ(host.Item("TOTAL UECP FRAMES: "), "6000000000");
  EXPECT_EQ(host.Item("1.7  TOTAL CORRUPTED UECP FRAMES: "), "3000000000 (50.000 %)");
  EXPECT_EQ(host.Item("0041 - "), "Site address 1, Encoder address 1: 3000000000 frame(s)");
}

}  // namespace
}  // namespace corvanel
