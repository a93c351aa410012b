#include "export/export_file.h"

#include <algorithm>
#include <cstring>

namespace corvanel {

ExportFile::ExportFile(std::unique_ptr<OutputStream> stream)
    : stream_(std::move(stream)), storage_(kBufferSize) {}

ExportFile::~ExportFile() = default;

void ExportFile::Write(const std::uint8_t* data, std::size_t count) {
  if (used_ + count > storage_.size()) MakeRoom(count);
  std::memcpy(Begin() + used_, data, count);
  used_ += count;
  if (stream_ && used_ >= kBufferSize) Flush();
}

void ExportFile::MakeRoom(std::size_t count) {
  Flush();
  if (used_ + count > storage_.size()) {
    storage_.resize(std::max(used_ + count, stream_ ? kBufferSize : 2 * storage_.size()));
  }
}

void ExportFile::Append(const ExportFile& records) {
  const std::string_view data = records.Contents();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
  if (!stream_ || data.size() < kBufferSize) {
    Write(bytes, data.size());
  } else {
    Flush();
    WriteThrough(bytes, data.size());
  }
}

void ExportFile::Flush() {
  if (used_ == 0 || !stream_) return;  // an in-memory file keeps all in its buffer
  WriteThrough(storage_.data(), used_);
  used_ = 0;
}

void ExportFile::WriteThrough(const std::uint8_t* data, std::size_t count) {
  if (broken_) return;
  try {
    stream_->Write(data, count);
  } catch (const FileError&) {
    broken_ = true;
    used_ = 0;
    stream_->Truncate(flushed_);
    throw;
  }
  flushed_ += static_cast<std::int64_t>(count);
}

void ExportFile::Close() {
  if (!stream_) return;
  Flush();
  stream_->Close();
}

void ExportFile::CloseAfterFailure() noexcept {
  if (!stream_) return;
  try {
    Flush();
  } catch (const FileError&) {
  }
  try {
    stream_->Close();
  } catch (const FileError&) {
  }
}

}  // namespace corvanel
