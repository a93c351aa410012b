// The export file, written through a buffer. Frame records are only ever appended whole,
// and a failed write cuts the file back to the last flushed record boundary, so a
// failure never leaves part of a frame behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "engine/file_system.h"

namespace corvanel {

// Leaves the bytes that a resize adds uninitialised: they are written right after.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <class U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <class U, class... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

using ByteBuffer = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

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
  // Room for a record of at most `most` bytes, written in place and then committed with
  // its real length; throws FileError when a flush fails.
  char* Reserve(std::size_t most) {
    if (buffer_.size() + most > kBufferSize) Flush();
    const std::size_t start = buffer_.size();
    buffer_.resize(start + most);
    return Begin() + start;
  }
  void Commit(char* end) { buffer_.resize(static_cast<std::size_t>(end - Begin())); }
  // Writes whole records kept by an in-memory export file; throws FileError on failure.
  void Append(const ExportFile& records);
  // What an in-memory export file holds.
  const ByteBuffer& Contents() const { return buffer_; }
  // Empties an in-memory export file for the next segment, keeping its room.
  void Clear() { buffer_.clear(); }

  // Flushes and closes; throws FileError on failure.
  void Close();
  // After the run failed elsewhere: keeps what was written so far, reports nothing.
  void CloseAfterFailure() noexcept;

 private:
  static constexpr std::size_t kBufferSize = 1 << 20;

  void Flush();
  void WriteThrough(const std::uint8_t* data, std::size_t count);

  std::unique_ptr<OutputStream> stream_;
  char* Begin() { return reinterpret_cast<char*>(buffer_.data()); }

  ByteBuffer buffer_;
  std::int64_t flushed_ = 0;  // bytes known to be in the file
  bool broken_ = false;       // a write failed; nothing more goes to the file
};

}  // namespace corvanel
