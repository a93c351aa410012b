#include "export/export_file.h"

#include <cstring>
#include <string>

namespace corvanel {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}

ExportFile::ExportFile(std::unique_ptr<OutputStream> stream) : stream_(std::move(stream)) {
  buffer_.reserve(kBufferSize);
}

ExportFile::~ExportFile() = default;

void ExportFile::Write(const std::uint8_t* data, std::size_t count) {
  if (buffer_.size() + count > kBufferSize) Flush();
  buffer_.insert(buffer_.end(), data, data + count);
  if (buffer_.size() >= kBufferSize) Flush();
}

void ExportFile::Flush() {
  if (buffer_.empty() || broken_) return;
  try {
    stream_->Write(buffer_.data(), buffer_.size());
  } catch (const FileError&) {
    broken_ = true;
    buffer_.clear();
    stream_->Truncate(flushed_);
    throw;
  }
  flushed_ += static_cast<std::int64_t>(buffer_.size());
  buffer_.clear();
}

void ExportFile::Close() {
  Flush();
  stream_->Close();
}

void ExportFile::CloseAfterFailure() noexcept {
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
