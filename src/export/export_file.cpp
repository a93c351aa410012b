#include "export/export_file.h"

namespace corvanel {

ExportFile::ExportFile(std::unique_ptr<OutputStream> stream) : stream_(std::move(stream)) {
  buffer_.reserve(kBufferSize);
}

ExportFile::~ExportFile() = default;

void ExportFile::Write(const std::uint8_t* data, std::size_t count) {
  if (buffer_.size() + count > kBufferSize) Flush();
  buffer_.insert(buffer_.end(), data, data + count);
  if (buffer_.size() >= kBufferSize) Flush();
}

void ExportFile::Append(const ExportFile& records) {
  const ByteBuffer& data = records.Contents();
  if (!stream_ || data.size() < kBufferSize) {
    Write(data.data(), data.size());
  } else {
    Flush();
    WriteThrough(data.data(), data.size());
  }
}

void ExportFile::Flush() {
  if (buffer_.empty() || !stream_) return;  // an in-memory file keeps all in its buffer
  WriteThrough(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void ExportFile::WriteThrough(const std::uint8_t* data, std::size_t count) {
  if (broken_) return;
  try {
    stream_->Write(data, count);
  } catch (const FileError&) {
    broken_ = true;
    buffer_.clear();
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
