// A file system in memory for tests and fuzzing, with knobs that inject the faults a real
// disk can show: a log that cannot be opened or read, an export file that cannot be
// created or written, short reads, and a log whose size changes while it is read.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "engine/file_system.h"

namespace corvanel::testing {

class MemoryFileSystem final : public FileSystem {
 public:
  // Files by path. Outputs write into their entry, so a test reads the export here.
  std::map<std::string, std::string> files;
  std::time_t file_time = 1'700'000'000;

  // Faults, each off by default. Texts are what a failing system call would say.
  std::optional<std::string> open_error;    // OpenLog throws this
  std::optional<std::string> size_error;    // LogReader::Size throws this
  std::optional<std::string> create_error;  // CreateOutput throws this
  std::optional<std::string> close_error;   // OutputStream::Close throws this
  // A read whose range covers this log offset throws read_error_text, as a bad sector
  // would; reads that stop short of it succeed.
  std::int64_t read_error_at = -1;
  std::string read_error_text = "Input/output error";
  // Output bytes the disk takes in all; a write past it stores what fits, then throws.
  std::int64_t write_limit = -1;
  std::string write_error_text = "No space left on device";

  // Most bytes one ReadAt returns (0: as many as asked), to vary read boundaries.
  std::size_t read_piece = 0;
  // What LogReader::Size reports instead of the content's size (a log that changes).
  std::optional<std::int64_t> reported_size;
  // Called before every ReadAt with the log's content and the offset, to let a test
  // grow or shrink the log while it is read.
  std::function<void(std::string& content, std::int64_t offset)> before_read;

  // Paths that name the same file as another path, as a hard link or symlink would.
  std::map<std::string, std::string> aliases;

  // Counts of calls, for tests that check what a run touched.
  int reads = 0;
  int truncations = 0;

  std::optional<std::time_t> RegularFileTime(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  std::unique_ptr<LogReader> OpenLog(const std::string& path) override;
  std::unique_ptr<OutputStream> CreateOutput(const std::string& path) override;

 private:
  std::string Resolve(const std::string& path) const;
  std::int64_t written_ = 0;
};

}  // namespace corvanel::testing
