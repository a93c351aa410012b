// The export file, written through a buffer. Frame records are only ever appended whole,
// and a failed write cuts the file back to the last flushed record boundary, so a
// failure never leaves part of a frame behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
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
    if (used_ + most > storage_.size()) MakeRoom(most);
    return Begin() + used_;
  }
  void Commit(char* end) { used_ = static_cast<std::size_t>(end - Begin()); }
  // Writes whole records kept by an in-memory export file; throws FileError on failure.
  void Append(const ExportFile& records);
  // What an in-memory export file holds.
  std::string_view Contents() const {
    return {reinterpret_cast<const char*>(storage_.data()), used_};
  }
  // Empties an in-memory export file for the next segment, keeping its room.
  void Clear() { used_ = 0; }

  // Flushes and closes; throws FileError on failure.
  void Close();
  // After the run failed elsewhere: keeps what was written so far, reports nothing.
  void CloseAfterFailure() noexcept;

 private:
  static constexpr std::size_t kBufferSize = 1 << 20;

  // Makes room for `count` more bytes: a file with a stream flushes what it holds, an
  // in-memory file grows. Either grows for a single record larger than the buffer.
  void MakeRoom(std::size_t count);
  void Flush();
  void WriteThrough(const std::uint8_t* data, std::size_t count);
  char* Begin() { return reinterpret_cast<char*>(storage_.data()); }

  std::unique_ptr<OutputStream> stream_;
  ByteBuffer storage_;  // the buffer; its first used_ bytes are written and not flushed
  std::size_t used_ = 0;
  std::int64_t flushed_ = 0;  // bytes known to be in the file
  bool broken_ = false;       // a write failed; nothing more goes to the file
};

}  // namespace corvanel
