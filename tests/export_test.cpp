#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/frame.h"
#include "engine/frame_assembler.h"
#include "engine/run.h"
#include "export/export_file.h"
#include "export/frame_exporter.h"
#include "export/frame_line.h"
#include "test_support.h"
#include "util/number_text.h"
#include "util/processor.h"

namespace corvanel {
namespace {

using testing::EncodeFrame;
using testing::Hex;
using testing::RecordingHost;
using testing::TempDir;

struct ExportResult {
  std::string file;
  RecordingHost host;
};

ExportResult Export(const std::vector<std::uint8_t>& log, ExportMode mode,
                    const ExportSettings& settings = {}, FileSystem& files = PosixFileSystem()) {
  TempDir dir;
  RunInputs inputs;
  inputs.LogPath = dir.Write("log.bin", log);
  inputs.ExportPath = dir.Path("out.txt").string();
  inputs.Mode = mode;
  inputs.Export = settings;
  ExportResult result;
  ProcessUECP(inputs, result.host, files, RegionalSettings::Classic());
  result.file = testing::ReadFile(inputs.ExportPath);
  return result;
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

ExportSettings NoDetails() {
  ExportSettings settings;
  settings.IncludeDetails = false;
  return settings;
}

TEST(Export, FrameLinesKeepOrRemoveStuffing) {
  // The PI element 01 00 00 FE 12 with CRC 0C 60.
  const auto log = Hex("FE 00 00 00 05 01 00 00 FD 01 12 0C 60 FF");
  EXPECT_EQ(Export(log, kFramesRemoveStuffing, NoDetails()).file,
            "FE 00 00 00 05 01 00 00 FE 12 0C 60 FF\r\n");
  EXPECT_EQ(Export(log, kFramesKeepStuffing, NoDetails()).file,
            "FE 00 00 00 05 01 00 00 FD 01 12 0C 60 FF\r\n");
  // Stuffed CRC bytes are escaped in mode 1; the leading FE and trailing FF never are.
  EXPECT_EQ(Export(Hex("FE 00 04 00 00 A7 FD 02 FF"), kFramesKeepStuffing, NoDetails()).file,
            "FE 00 04 00 00 A7 FD 02 FF\r\n");
  EXPECT_EQ(Export(Hex("FE 00 07 00 00 FD 01 AF FF"), kFramesKeepStuffing, NoDetails()).file,
            "FE 00 07 00 00 FD 01 AF FF\r\n");
  EXPECT_EQ(Export(Hex("FE 00 07 00 00 FD 01 AF FF"), kFramesRemoveStuffing, NoDetails()).file,
            "FE 00 07 00 00 FE AF FF\r\n");
}

// The frame line of a wire frame in its destuffed form.
std::string DestuffedLine(const std::vector<std::uint8_t>& wire) {
  std::string line;
  for (std::size_t i = 0; i < wire.size(); ++i) {
    std::uint8_t b = wire[i];
    if (b == 0xFD) b = static_cast<std::uint8_t>(0xFD + wire[++i]);
    if (!line.empty()) line += ' ';
    AppendHex2(line, b);
  }
  return line;
}

TEST(Export, FrameLineFormsAgreeOnEveryLength) {
  // Random bytes, FD, FE and FF among them, for every length of a good frame; the pairs
  // are written in groups, so every length ends a group at another place.
  std::mt19937 random(31);
  for (std::int32_t length = 7; length <= 262; ++length) {
    Frame frame;
    for (auto& b : frame.FrameBuffer) b = static_cast<std::uint8_t>(random());
    frame.FrameBuffer[0] = 0xFE;
    frame.FrameLength = length;
    frame.FrameBuffer[static_cast<std::size_t>(length)] = 0xFF;
    std::string plain, stuffed;
    for (std::int32_t i = 0; i <= length; ++i) {
      const std::uint8_t b = frame.FrameBuffer[static_cast<std::size_t>(i)];
      const std::string separator = i == 0 ? "" : " ";
      plain += separator;
      AppendHex2(plain, b);
      stuffed += separator;
      if (b >= 0xFD && i > 0 && i < length) {
        stuffed += "FD ";
        AppendHex2(stuffed, static_cast<std::uint8_t>(b - 0xFD));
      } else {
        AppendHex2(stuffed, b);
      }
    }
    auto render = [&frame](auto form) {
      std::vector<char> room(FrameLineRoom(frame));
      return std::string(room.data(), form(room.data()));
    };
    EXPECT_EQ(render([&](char* out) { return RenderPlainFrameLinePortable(frame, out); }), plain)
        << length;
    if (kHasByteShuffle) {
      EXPECT_EQ(render([&](char* out) { return RenderPlainFrameLineShuffled(frame, out); }), plain)
          << length;
    }
    EXPECT_EQ(render([&](char* out) { return RenderFrameLine(frame, false, out); }), plain);
    EXPECT_EQ(render([&](char* out) { return RenderFrameLine(frame, true, out); }), stuffed);
  }
}

TEST(Export, DetailsWithWarnings) {
  const auto rt = EncodeFrame(0x0041, Hex("0A 00 00 05 02 41 42 0D 44"));
  const auto bad = EncodeFrame(0x0042, Hex("01 00 00 12 34 02 00"), 9);
  const auto log = Join({rt, bad});
  EXPECT_EQ(Export(log, kFramesRemoveStuffing).file,
            "[" + DestuffedLine(rt) + "]\r\n" +
                " Site address (1), Encoder address (1)\r\n"
                " MEC 0A - RT: DSN (0); PSN (0); MEL (5); '00000010' \"AB.D\"\r\n"
                "\r\n"
                "[" +
                DestuffedLine(bad) + "]\r\n" +
                " Warning: Invalid Message Field Length (indicated: 9, real: 7).\r\n"
                " Site address (1), Encoder address (2)\r\n"
                " MEC 01 - PI: DSN (0); PSN (0); 12 34 \r\n"
                " MEC 02 - PS: DSN (0); \r\n"
                " Warning: Invalid Message Element Length.\r\n"
                "\r\n");
  // Without details the warnings leave no trace.
  const std::string plain = Export(log, kFramesRemoveStuffing, NoDetails()).file;
  EXPECT_EQ(plain.find("Warning"), std::string::npos);
  EXPECT_EQ(std::count(plain.begin(), plain.end(), '\n'), 2);
}

TEST(Export, FiltersTakeTextsAsGiven) {
  const auto log = Join({
      EncodeFrame(0x0041, Hex("02 00 00 41 42 43 44 45 46 47 48")),        // PS
      EncodeFrame(0x0041, Hex("20 00 00 00 00 00 00 00 00 00 00 00 00")),  // code 20
      EncodeFrame(0x0041, {}),                                             // empty field
      EncodeFrame(0x00AB, Hex("0A 00 00 00")),                             // RT
      EncodeFrame(0x0041, Hex("99 02 0A")),  // walk stops at 99: 02 and 0A are not seen
  });
  const struct {
    const char* name;
    bool by_address;
    const char* address;
    bool by_mecs;
    const char* mecs;
    int frames;
  } cases[] = {
      {"no filter", false, "", false, "", 5},
      {"address 41 selects nothing", true, "41", false, "", 0},
      {"address 0041", true, "0041", false, "", 4},
      {"lower case selects nothing", true, "00ab", false, "", 0},
      {"upper case", true, "00AB", false, "", 1},
      {"empty address", true, "", false, "", 0},
      {"default list", false, "", true, "02,0A", 2},
      {"020A also matches 20", false, "", true, "020A", 3},
      {"single digit selects nothing", false, "", true, "2", 0},
      {"empty list", false, "", true, "", 0},
      {"both filters", true, "0041", true, "02,0A", 1},
  };
  for (const auto& c : cases) {
    ExportSettings settings = NoDetails();
    settings.FilterAddress = c.by_address;
    settings.AddressText = c.address;
    settings.FilterMecs = c.by_mecs;
    settings.MecText = c.mecs;
    const std::string file = Export(log, kFramesRemoveStuffing, settings).file;
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), c.frames) << c.name;
  }
  // With the address filter ticked no block has an address line.
  ExportSettings settings;
  settings.FilterAddress = true;
  settings.AddressText = "00AB";
  EXPECT_EQ(Export(log, kFramesRemoveStuffing, settings).file.find("Site address"),
            std::string::npos);
}

TEST(Export, OutsideDataIsWrittenRaw) {
  EXPECT_EQ(Export(Hex("41 FE 00 00 00 00 7B 3F FF 42 FF 43"), kOutsideData).file,
            std::string("\x41\x42\xFF\x43"));
  EXPECT_EQ(
      Export(Join({EncodeFrame(1, {}), EncodeFrame(2, Hex("01 00 00 12 34"))}), kOutsideData).file,
      "");
  EXPECT_EQ(Export(Hex("FD 05 FE 01 FF"), kOutsideData).file, std::string("\xFD\x05"));
}

// The figures that an assembler gathers over `log` while it exports in `mode`.
std::unique_ptr<RunStats> FiguresWhileExporting(const std::vector<std::uint8_t>& log,
                                                ExportMode mode, const ExportSettings& settings) {
  TempDir dir;
  ExportFile file(PosixFileSystem().CreateOutput(dir.Path("out").string()));
  auto stats = std::make_unique<RunStats>();
  Frame frame;
  std::optional<FrameExporter> exporter;
  if (mode != kOutsideData) exporter.emplace(frame, mode, settings, file);
  FrameAssembler assembler(frame, *stats, exporter ? &*exporter : nullptr,
                           mode == kOutsideData ? &file : nullptr);
  assembler.AssembleBlock(log.data(), log.size());
  file.Close();
  return stats;
}

TEST(Export, GathersTheSameFiguresAsAnAnalysis) {
  const auto log = Join({EncodeFrame(0x0041, Hex("0A 00 00 05 02 41 42 0D 44 99")),
                         Hex("FF FD 07 FE 00 FF"), EncodeFrame(7, Hex("02 00"), 3),
                         EncodeFrame(0x00AB, Hex("0D 0E 05 1F 0C 22")), EncodeFrame(8, {})});
  const RunStats analysis = testing::Assemble(log);
  ExportSettings filtered;  // filters that reject every frame change no figure either
  filtered.FilterAddress = true;
  filtered.AddressText = "FFFF";
  filtered.FilterMecs = true;
  for (ExportMode mode : {kFramesKeepStuffing, kFramesRemoveStuffing, kOutsideData}) {
    for (const ExportSettings& settings : {ExportSettings{}, NoDetails(), filtered}) {
      const auto exported = FiguresWhileExporting(log, mode, settings);
      EXPECT_EQ(exported->GoodFrames, analysis.GoodFrames) << mode;
      EXPECT_EQ(exported->TotalElements, analysis.TotalElements) << mode;
      EXPECT_EQ(exported->BadFieldLengths, analysis.BadFieldLengths) << mode;
      EXPECT_EQ(exported->BadElementLengths, analysis.BadElementLengths) << mode;
      EXPECT_EQ(exported->MaxElementsPerFrame, analysis.MaxElementsPerFrame) << mode;
      EXPECT_EQ(exported->LongestFrame, analysis.LongestFrame) << mode;
      EXPECT_EQ(exported->OutsideBytes, analysis.OutsideBytes) << mode;
      EXPECT_EQ(exported->UnopenedFrames, analysis.UnopenedFrames) << mode;
      EXPECT_EQ(exported->StuffingErrors, analysis.StuffingErrors) << mode;
      EXPECT_EQ(exported->MecCounts, analysis.MecCounts) << mode;
      EXPECT_EQ(exported->AddressCounts, analysis.AddressCounts) << mode;
    }
  }
  EXPECT_EQ(analysis.GoodFrames, 4);
  EXPECT_EQ(analysis.BadElementLengths, 2);
}

TEST(Export, RefusesToWriteOntoTheLog) {
  TempDir dir;
  const auto content = EncodeFrame(1, {});
  const std::string log = dir.Write("log.bin", content);
  std::filesystem::create_hard_link(log, dir.Path("hard"));
  std::filesystem::create_symlink(log, dir.Path("soft"));
  for (const std::string& target : {log, dir.Path("hard").string(), dir.Path("soft").string(),
                                    dir.Path(".").string() + "/log.bin"}) {
    RunInputs inputs;
    inputs.LogPath = log;
    inputs.ExportPath = target;
    inputs.Mode = kOutsideData;
    RecordingHost host;
    ProcessUECP(inputs, host, PosixFileSystem(), RegionalSettings::Classic());
    EXPECT_EQ(host.errors, std::vector<std::string>{"The export file cannot be the log file."});
    EXPECT_EQ(testing::ReadFile(log).size(), content.size()) << target;
  }
}

TEST(Export, FailuresAreReportedAndKeepWholeFrames) {
  const auto frame = EncodeFrame(0x0041, Hex("01 00 00 12 34"));
  std::vector<std::uint8_t> log;
  for (int i = 0; i < 200000; ++i) log.insert(log.end(), frame.begin(), frame.end());
  testing::FaultyFileSystem files;
  files.error = "No space left on device";
  files.fail_write_after = 1500000;  // a short write in the middle of a frame line
  const ExportResult result = Export(log, kFramesRemoveStuffing, NoDetails(), files);
  EXPECT_EQ(
      result.host.errors,
      std::vector<std::string>{"Unable to finish the file processing\nNo space left on device"});
  EXPECT_LT(result.host.gauge.back(), 100);
  ASSERT_FALSE(result.file.empty());
  const std::string line = result.file.substr(0, result.file.find('\n') + 1);
  EXPECT_EQ(result.file.size() % line.size(), 0u);  // only whole frame lines

  testing::FaultyFileSystem uncreatable;
  uncreatable.fail_create = true;
  uncreatable.error = "Permission denied";
  EXPECT_EQ(Export(log, kOutsideData, {}, uncreatable).host.errors,
            std::vector<std::string>{"Unable to finish the file processing\nPermission denied"});
}

TEST(Export, LogThatCannotBeOpenedLeavesAnEmptyExportFile) {
  TempDir dir;
  testing::FaultyFileSystem files;
  files.fail_open = true;
  RunInputs inputs;
  inputs.LogPath = dir.Write("log.bin", EncodeFrame(1, {}));
  inputs.ExportPath = dir.Path("out.txt").string();
  inputs.Mode = kFramesRemoveStuffing;
  RecordingHost host;
  ProcessUECP(inputs, host, files, RegionalSettings::Classic());
  EXPECT_EQ(host.errors.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(inputs.ExportPath));
  EXPECT_EQ(testing::ReadFile(inputs.ExportPath), "");
  EXPECT_TRUE(host.lines.empty());
}

TEST(Export, WriteFailureOnAFullDevice) {
  TempDir dir;
  RunInputs inputs;
  inputs.LogPath = dir.Write("log.bin", EncodeFrame(1, {}));
  inputs.ExportPath = "/dev/full";
  inputs.Mode = kFramesRemoveStuffing;
  RecordingHost host;
  ProcessUECP(inputs, host, PosixFileSystem(), RegionalSettings::Classic());
  EXPECT_EQ(host.errors, std::vector<std::string>{
                             "Unable to finish the file processing\nNo space left on device"});
}

}  // namespace
}  // namespace corvanel
