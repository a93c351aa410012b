#include "engine/report.h"

#include "catalogue/element_detail.h"
#include "catalogue/mec_table.h"
#include "util/number_text.h"

namespace corvanel {

namespace {

std::string Numbered(const char* label, std::int64_t value) {
  std::string line = label;
  AppendDecimal(line, value);
  return line;
}

void AppendElementLines(const RunStats& stats, RunHost& host) {
  for (unsigned code = 0; code < stats.MecCounts.size(); ++code) {
    if (stats.MecCounts[code] <= 0) continue;
    std::string line;
    AppendHex2(line, static_cast<std::uint8_t>(code));
    line += DecodeMEC(static_cast<std::uint8_t>(code));
    line += ": ";
    AppendDecimal(line, stats.MecCounts[code]);
    line += " element(s)";
    host.AppendReportLine(line);
  }
}

void AppendAddressLines(const RunStats& stats, RunHost& host) {
  std::string line;
  for (unsigned word = 0; word < stats.AddressCounts.size(); ++word) {
    if (stats.AddressCounts[word] <= 0) continue;
    line.clear();
    AppendHex4(line, static_cast<std::uint16_t>(word));
    line += " - ";
    line += DecodeADD(static_cast<std::uint16_t>(word), false);
    line += ": ";
    AppendDecimal(line, stats.AddressCounts[word]);
    line += " frame(s)";
    host.AppendReportLine(line);
  }
}

}  // namespace

void AppendReport(const RunStats& stats, const std::string& log_path,
                  const RegionalSettings& regional, RunHost& host) {
  const std::int64_t corrupted = stats.CrcFailures + stats.TooLongFrames + stats.TooShortFrames +
                                 stats.UnclosedFrames + stats.UnopenedFrames;
  const std::int64_t total = corrupted + stats.GoodFrames;
  const float share =
      total < 1
          ? 0.0f
          : static_cast<float>(static_cast<double>(100 * corrupted) / static_cast<double>(total));
  const float average = stats.GoodFrames < 1
                            ? 0.0f
                            : static_cast<float>(static_cast<double>(stats.TotalElements) /
                                                 static_cast<double>(stats.GoodFrames));

  std::string size_line = "Opening as ";
  size_line += stats.LogIsBinary ? "binary" : "text";
  size_line += " file. File size: ";
  AppendDecimal(size_line, stats.LogFileSize);
  size_line += " bytes. Created at " + regional.FormatDateTime(stats.LogFileDate);

  host.AppendReportLine("");
  host.AppendReportLine("*** Results for file " + log_path + " ***");
  host.AppendReportLine(size_line);
  host.AppendReportLine(Numbered("TOTAL UECP FRAMES: ", total));
  host.AppendReportLine("");
  host.AppendReportLine("-= 1. Error Analysis =-");
  host.AppendReportLine(Numbered("1.1  Corrupted UECP frames (too short): ", stats.TooShortFrames));
  host.AppendReportLine(Numbered("1.2  Corrupted UECP frames (too long): ", stats.TooLongFrames));
  host.AppendReportLine(Numbered("1.3  Corrupted UECP frames (CRC failure): ", stats.CrcFailures));
  host.AppendReportLine(Numbered("1.4  Un-closed frames (0xFF missing): ", stats.UnclosedFrames));
  host.AppendReportLine(Numbered("1.5  Un-opened frames (0xFE missing): ", stats.UnopenedFrames));
  host.AppendReportLine(Numbered("1.6  Stuffing errors: ", stats.StuffingErrors));
  host.AppendReportLine(Numbered("1.7  TOTAL CORRUPTED UECP FRAMES: ", corrupted) + " (" +
                        regional.FormatFixed(share, 3) + " %)");
  host.AppendReportLine("");
  host.AppendReportLine("-= 2. Content Analysis =-");
  host.AppendReportLine(Numbered("2.1  Total frames analysed: ", stats.GoodFrames));
  host.AppendReportLine("2.2  Elements found:");
  AppendElementLines(stats, host);
  host.AppendReportLine(Numbered("2.3  Longest UECP frame (bytes): ", stats.LongestFrame));
  host.AppendReportLine(Numbered("2.4  Maximum elements per frame: ", stats.MaxElementsPerFrame));
  host.AppendReportLine("2.5  Average elements per frame: " + regional.FormatFixed(average, 2));
  host.AppendReportLine(Numbered("2.6  Invalid Message Field Length: ", stats.BadFieldLengths));
  host.AppendReportLine(Numbered("2.7  Invalid Message Element Length: ", stats.BadElementLengths));
  host.AppendReportLine(
      Numbered("2.8  Bytes outside UECP frames (incl. 1.5): ", stats.OutsideBytes));
  host.AppendReportLine("");
  host.AppendReportLine("-= 3. Addressing Analysis =-");
  host.AppendReportLine("3.1  Address words found:");
  AppendAddressLines(stats, host);
  host.AppendReportLine("");
}

}  // namespace corvanel
