// The export file, written through a buffer. Frame records are only ever appended whole,
// and a failed write cuts the file back to the last flushed record boundary, so a
// failure never leaves part of a frame behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/file_system.h"

namespace corvanel {

class ExportFile {
 public:
  // Without a stream, everything written is kept in memory: the records of one segment of
  // a log read in segments, appended to the real file later in log order.
  explicit ExportFile(std::unique_ptr<OutputStream> stream);
  ~ExportFile();

  // Appends data; throws FileError when a flush fails.
  void Write(const std::uint8_t* data, std::size_t count);
  void Write(const std::string& text) {
    Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  }
  // Writes whole records kept by an in-memory export file; throws FileError on failure.
  void Append(const ExportFile& records);
  // What an in-memory export file holds.
  const std::vector<std::uint8_t>& Contents() const { return buffer_; }
  // Empties an in-memory export file for the next segment, keeping its room.
  void Clear() { buffer_.clear(); }

  // Flushes and closes; throws FileError on failure.
  void Close();
  // After the run failed elsewhere: keeps what was written so far, reports nothing.
  void CloseAfterFailure() noexcept;

 private:
  void Flush();
  void WriteThrough(const std::uint8_t* data, std::size_t count);

  std::unique_ptr<OutputStream> stream_;
  std::vector<std::uint8_t> buffer_;
  std::int64_t flushed_ = 0;  // bytes known to be in the file
  bool broken_ = false;       // a write failed; nothing more goes to the file
};

}  // namespace corvanel
