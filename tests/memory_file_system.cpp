#include "memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace corvanel::testing {

namespace {

class MemoryLogReader final : public LogReader {
 public:
  MemoryLogReader(MemoryFileSystem& files, std::string& content)
      : files_(files), content_(content) {}

  std::int64_t Size() override {
    if (files_.size_error) throw FileError(*files_.size_error);
    return files_.reported_size.value_or(static_cast<std::int64_t>(content_.size()));
  }

  std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t capacity) override {
    ++files_.reads;
    if (files_.before_read) files_.before_read(content_, offset);
    if (files_.read_piece > 0) capacity = std::min(capacity, files_.read_piece);
    const std::int64_t error_at = files_.read_error_at;
    if (error_at >= 0 && offset <= error_at &&
        error_at < offset + static_cast<std::int64_t>(capacity)) {
      throw FileError(files_.read_error_text);
    }
    const auto size = static_cast<std::int64_t>(content_.size());
    if (offset >= size) return 0;
    const auto count = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(capacity), size - offset));
    std::memcpy(buffer, content_.data() + offset, count);
    return count;
  }

 private:
  MemoryFileSystem& files_;
  std::string& content_;
};

class MemoryOutput final : public OutputStream {
 public:
  MemoryOutput(MemoryFileSystem& files, std::string& content, std::int64_t& written)
      : files_(files), content_(content), written_(written) {}

  void Write(const std::uint8_t* data, std::size_t count) override {
    std::size_t taken = count;
    if (files_.write_limit >= 0) {
      taken = static_cast<std::size_t>(std::clamp<std::int64_t>(files_.write_limit - written_, 0,
                                                                static_cast<std::int64_t>(count)));
    }
    content_.append(reinterpret_cast<const char*>(data), taken);
    written_ += static_cast<std::int64_t>(taken);
    if (taken < count) throw FileError(files_.write_error_text);
  }

  void Truncate(std::int64_t size) override {
    ++files_.truncations;
    if (size < static_cast<std::int64_t>(content_.size())) {
      content_.resize(static_cast<std::size_t>(size));
    }
  }

  void Close() override {
    if (files_.close_error) throw FileError(*files_.close_error);
  }

 private:
  MemoryFileSystem& files_;
  std::string& content_;
  std::int64_t& written_;
};

}  // namespace

std::string MemoryFileSystem::Resolve(const std::string& path) const {
  const auto alias = aliases.find(path);
  return alias == aliases.end() ? path : alias->second;
}

std::optional<std::time_t> MemoryFileSystem::RegularFileTime(const std::string& path) {
  if (!files.count(Resolve(path))) return std::nullopt;
  return file_time;
}

bool MemoryFileSystem::SameFile(const std::string& a, const std::string& b) {
  const std::string first = Resolve(a);
  return files.count(first) && first == Resolve(b);
}

std::unique_ptr<LogReader> MemoryFileSystem::OpenLog(const std::string& path) {
  if (open_error) throw FileError(*open_error);
  const auto file = files.find(Resolve(path));
  if (file == files.end()) throw FileError("No such file or directory");
  return std::make_unique<MemoryLogReader>(*this, file->second);
}

std::unique_ptr<OutputStream> MemoryFileSystem::CreateOutput(const std::string& path) {
  if (create_error) throw FileError(*create_error);
  std::string& content = files[Resolve(path)];
  content.clear();
  return std::make_unique<MemoryOutput>(*this, content, written_);
}

}  // namespace corvanel::testing
