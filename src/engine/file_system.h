// The file operations a run needs, behind one seam so that tests can inject faults.
// Failures are thrown as FileError carrying the system's own description.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace corvanel {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A log opened for reading; others may go on reading and writing the file meanwhile.
class LogReader {
 public:
  virtual ~LogReader() = default;
  virtual std::int64_t Size() = 0;
  // Reads up to `capacity` bytes at `offset`; 0 at the end of the file.
  virtual std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t capacity) = 0;
};

// A file being written. A failure at write or close throws.
class OutputStream {
 public:
  virtual ~OutputStream() = default;
  virtual void Write(const std::uint8_t* data, std::size_t count) = 0;
  // Cuts the file back to `size` bytes, best effort, after a failed write.
  virtual void Truncate(std::int64_t size) = 0;
  virtual void Close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Last modification time of a regular file (or a link to one); nullopt for anything
  // else: nothing there, a folder, a FIFO, a device.
  virtual std::optional<std::time_t> RegularFileTime(const std::string& path) = 0;
  // Whether both paths name the same existing file (also through links).
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
  virtual std::unique_ptr<LogReader> OpenLog(const std::string& path) = 0;
  // Creates the file empty, replacing one of that name.
  virtual std::unique_ptr<OutputStream> CreateOutput(const std::string& path) = 0;
};

// The real file system, through POSIX calls.
FileSystem& PosixFileSystem();

}  // namespace corvanel
