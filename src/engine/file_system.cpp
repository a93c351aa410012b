#include "engine/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace corvanel {

namespace {

[[noreturn]] void ThrowErrno() {
  throw FileError(std::strerror(errno));
}

class PosixLogReader final : public LogReader {
 public:
  explicit PosixLogReader(int fd) : fd_(fd) {}
  ~PosixLogReader() override { ::close(fd_); }

  std::int64_t Size() override {
    struct stat facts {};
    if (::fstat(fd_, &facts) != 0) ThrowErrno();
    return facts.st_size;
  }

  std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t capacity) override {
    for (;;) {
      const ssize_t n = ::pread(fd_, buffer, capacity, offset);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) ThrowErrno();
    }
  }

 private:
  int fd_;
};

class PosixOutputStream final : public OutputStream {
 public:
  explicit PosixOutputStream(int fd) : fd_(fd) {}
  ~PosixOutputStream() override {
    if (fd_ >= 0) ::close(fd_);
  }

  void Write(const std::uint8_t* data, std::size_t count) override {
    while (count > 0) {
      const ssize_t n = ::write(fd_, data, count);
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowErrno();
      }
      data += n;
      count -= static_cast<std::size_t>(n);
    }
  }

  void Truncate(std::int64_t size) override {
    if (::ftruncate(fd_, size) == 0) ::lseek(fd_, size, SEEK_SET);
  }

  void Close() override {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowErrno();
  }

 private:
  int fd_;
};

class Posix final : public FileSystem {
 public:
  std::optional<std::time_t> RegularFileTime(const std::string& path) override {
    struct stat facts {};
    if (::stat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode)) return std::nullopt;
    return facts.st_mtime;
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
  }

  std::unique_ptr<LogReader> OpenLog(const std::string& path) override {
    // Non-blocking, so that a FIFO slipped in after the regular-file check cannot hang.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) ThrowErrno();
    return std::make_unique<PosixLogReader>(fd);
  }

  std::unique_ptr<OutputStream> CreateOutput(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) ThrowErrno();
    return std::make_unique<PosixOutputStream>(fd);
  }
};

}  // namespace

FileSystem& PosixFileSystem() {
  static Posix files;
  return files;
}

}  // namespace corvanel
