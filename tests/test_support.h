// Shared helpers for the engine tests: a host that records what a run shows, a temporary
// folder, and hexadecimal byte literals.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_system.h"
#include "engine/run.h"
#include "engine/run_host.h"
#include "engine/run_stats.h"

namespace corvanel::testing {

// Records every gauge position, error and report line of a run.
class RecordingHost : public RunHost {
 public:
  void RepaintWindow() override { ++repaints; }
  void SetGauge(int position) override { gauge.push_back(position); }
  void ShowError(const std::string& message) override { errors.push_back(message); }
  void AppendReportLine(const std::string& line) override { lines.push_back(line); }

  // The text after `prefix` on the first report line that starts with it, or "<none>".
  std::string Item(std::string_view prefix) const;
  // The report as the CLI prints it: each line followed by "\n".
  std::string Text() const;

  int repaints = 0;
  std::vector<int> gauge;
  std::vector<std::string> errors;
  std::vector<std::string> lines;
};

// The real file system with faults injected on request, each failing with `error`.
class FaultyFileSystem : public FileSystem {
 public:
  std::optional<std::time_t> RegularFileTime(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  std::unique_ptr<LogReader> OpenLog(const std::string& path) override;
  std::unique_ptr<OutputStream> CreateOutput(const std::string& path) override;

  std::string error = "Input/output error";
  bool fail_open = false;              // opening the log fails
  bool fail_create = false;            // creating the export file fails
  std::int64_t fail_read_at = -1;      // reads that cover this log offset fail
  std::int64_t fail_write_after = -1;  // writes fail once this many bytes are written
  bool fail_close = false;             // closing the export file fails

  // A log that changes while it is read: reads return at most read_piece bytes (0: as
  // many as asked), Size() reports reported_size instead of the truth, and before_read
  // runs before every read with its offset, e.g. to grow or cut the file.
  std::size_t read_piece = 0;
  std::optional<std::int64_t> reported_size;
  std::function<void(std::int64_t offset)> before_read;
};

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::filesystem::path Path(const std::string& name) const { return path_ / name; }
  // Writes `content` to a file in the folder and returns its path.
  std::string Write(const std::string& name, std::string_view content) const;
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& content) const;

 private:
  std::filesystem::path path_;
};

// Bytes of a text of hexadecimal pairs separated by blanks: "FE 00 FF".
std::vector<std::uint8_t> Hex(std::string_view pairs);

// A frame as sent on the wire: FE, address word, sequence counter 0, MFL (the message's
// length unless given), the message, the CRC, stuffed, then FF.
std::vector<std::uint8_t> EncodeFrame(std::uint16_t address,
                                      const std::vector<std::uint8_t>& message, int mfl = -1);

// Reads a whole file as bytes.
std::string ReadFile(const std::string& path);

// Feeds bytes to a fresh assembler in analysis mode and returns the figures.
RunStats Assemble(const std::vector<std::uint8_t>& bytes);

// Runs an analysis of `content` written to a temporary log with the given log type,
// in the C locale, and returns what the host saw.
RecordingHost AnalyzeContent(std::string_view content,
                             LogTypeSelection type = LogTypeSelection::Autodetect);

}  // namespace corvanel::testing
