#include "test_support.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

#include "engine/crc.h"
#include "engine/frame.h"
#include "engine/frame_assembler.h"

namespace corvanel::testing {

std::string RecordingHost::Item(std::string_view prefix) const {
  for (const std::string& line : lines) {
    if (line.compare(0, prefix.size(), prefix) == 0) return line.substr(prefix.size());
  }
  return "<none>";
}

std::string RecordingHost::Text() const {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

namespace {

class FaultyLogReader final : public LogReader {
 public:
  FaultyLogReader(std::unique_ptr<LogReader> real, const FaultyFileSystem& faults)
      : real_(std::move(real)), faults_(faults) {}
  std::int64_t Size() override { return faults_.reported_size.value_or(real_->Size()); }
  std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t capacity) override {
    if (faults_.before_read) faults_.before_read(offset);
    if (faults_.read_piece > 0) capacity = std::min(capacity, faults_.read_piece);
    const std::int64_t at = faults_.fail_read_at;
    if (at >= offset && at < offset + static_cast<std::int64_t>(capacity)) {
      throw FileError(faults_.error);
    }
    return real_->ReadAt(offset, buffer, capacity);
  }

 private:
  std::unique_ptr<LogReader> real_;
  const FaultyFileSystem& faults_;
};

class FaultyOutputStream final : public OutputStream {
 public:
  FaultyOutputStream(std::unique_ptr<OutputStream> real, const FaultyFileSystem& faults)
      : real_(std::move(real)), faults_(faults) {}
  void Write(const std::uint8_t* data, std::size_t count) override {
    const std::int64_t limit = faults_.fail_write_after;
    if (limit >= 0 && written_ + static_cast<std::int64_t>(count) > limit) {
      const auto part = static_cast<std::size_t>(limit - written_);  // a short write first
      real_->Write(data, part);
      written_ += static_cast<std::int64_t>(part);
      throw FileError(faults_.error);
    }
    real_->Write(data, count);
    written_ += static_cast<std::int64_t>(count);
  }
  void Truncate(std::int64_t size) override { real_->Truncate(size); }
  void Close() override {
    if (faults_.fail_close) {
      real_->Close();
      throw FileError(faults_.error);
    }
    real_->Close();
  }

 private:
  std::unique_ptr<OutputStream> real_;
  const FaultyFileSystem& faults_;
  std::int64_t written_ = 0;
};

}  // namespace

std::optional<std::time_t> FaultyFileSystem::RegularFileTime(const std::string& path) {
  return PosixFileSystem().RegularFileTime(path);
}

bool FaultyFileSystem::SameFile(const std::string& a, const std::string& b) {
  return PosixFileSystem().SameFile(a, b);
}

std::unique_ptr<LogReader> FaultyFileSystem::OpenLog(const std::string& path) {
  if (fail_open) throw FileError(error);
  return std::make_unique<FaultyLogReader>(PosixFileSystem().OpenLog(path), *this);
}

std::unique_ptr<OutputStream> FaultyFileSystem::CreateOutput(const std::string& path) {
  if (fail_create) throw FileError(error);
  return std::make_unique<FaultyOutputStream>(PosixFileSystem().CreateOutput(path), *this);
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvanel-test-XXXXXX").string();
  path_ = ::mkdtemp(pattern.data());
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, std::string_view content) const {
  const std::string path = Path(name).string();
  std::ofstream(path, std::ios::binary).write(content.data(), std::streamsize(content.size()));
  return path;
}

std::string TempDir::Write(const std::string& name,
                           const std::vector<std::uint8_t>& content) const {
  return Write(name,
               std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
}

std::vector<std::uint8_t> Hex(std::string_view pairs) {
  std::vector<std::uint8_t> bytes;
  std::istringstream in{std::string(pairs)};
  std::string pair;
  while (in >> pair) bytes.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
  return bytes;
}

std::vector<std::uint8_t> EncodeFrame(std::uint16_t address,
                                      const std::vector<std::uint8_t>& message, int mfl) {
  std::vector<std::uint8_t> body{static_cast<std::uint8_t>(address >> 8),
                                 static_cast<std::uint8_t>(address & 0xFF), 0x00,
                                 static_cast<std::uint8_t>(mfl < 0 ? message.size() : mfl)};
  body.insert(body.end(), message.begin(), message.end());
  const std::uint16_t crc = ComputeCRC(body.data(), body.size());
  body.push_back(static_cast<std::uint8_t>(crc >> 8));
  body.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  std::vector<std::uint8_t> wire{0xFE};
  for (std::uint8_t b : body) {
    if (b >= 0xFD) {
      wire.push_back(0xFD);
      wire.push_back(static_cast<std::uint8_t>(b - 0xFD));
    } else {
      wire.push_back(b);
    }
  }
  wire.push_back(0xFF);
  return wire;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

RunStats Assemble(const std::vector<std::uint8_t>& bytes) {
  RunStats stats;
  auto frame = std::make_unique<Frame>();
  FrameAssembler assembler(*frame, stats, nullptr, nullptr);
  assembler.AssembleBlock(bytes.data(), bytes.size());
  if (assembler.InFrame()) ++stats.UnclosedFrames;
  return stats;
}

RecordingHost AnalyzeContent(std::string_view content, LogTypeSelection type) {
  TempDir dir;
  RunInputs inputs;
  inputs.LogPath = dir.Write("log", content);
  inputs.LogType = type;
  RecordingHost host;
  ProcessUECP(inputs, host, PosixFileSystem(), RegionalSettings::Classic());
  return host;
}

}  // namespace corvanel::testing
