#include "wisp/internal/ByteSource.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace kvor::zephrin::runtime::wisp::internal {
namespace {

class Memory final : public ByteSource {
 public:
  explicit Memory(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  uint64_t Position() const override { return at_; }
  bool Read(std::size_t size, std::span<const uint8_t>& out, std::string&) override {
    out = bytes_.subspan(at_, std::min(size, bytes_.size() - at_));
    at_ += out.size();
    return true;
  }
  bool Seek(uint64_t position) override {
    at_ = static_cast<std::size_t>(std::min<uint64_t>(position, bytes_.size()));
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  std::size_t at_ = 0;
};

class File final : public ByteSource {
 public:
  File(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~File() override { ::close(fd_); }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  uint64_t Size() const override { return size_; }
  uint64_t Position() const override { return at_; }
  bool Read(std::size_t size, std::span<const uint8_t>& out, std::string& error) override {
    const auto wanted = static_cast<std::size_t>(std::min<uint64_t>(size, size_ - at_));
    if (buffer_.size() < wanted) buffer_.resize(wanted);
    std::size_t got = 0;
    while (got < wanted) {
      const ssize_t n = ::read(fd_, buffer_.data() + got, wanted - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        error = std::strerror(errno);
        return false;
      }
      if (n == 0) break;  // the file shrank since it was opened
      got += static_cast<std::size_t>(n);
    }
    at_ += got;
    out = std::span<const uint8_t>(buffer_.data(), got);
    return true;
  }
  bool Seek(uint64_t position) override {
    const uint64_t to = std::min(position, size_);
    if (::lseek(fd_, static_cast<off_t>(to), SEEK_SET) < 0) return false;
    at_ = to;
    return true;
  }

 private:
  int fd_;
  uint64_t size_;
  uint64_t at_ = 0;
  std::vector<uint8_t> buffer_;
};

}  // namespace

std::unique_ptr<ByteSource> MemorySource(std::span<const uint8_t> bytes) { return std::make_unique<Memory>(bytes); }

std::unique_ptr<ByteSource> FileSource(const std::string& path, std::string& error) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    error = std::strerror(errno);
    return nullptr;
  }
  // Only regular files have an end: a device such as /dev/zero reads
  // forever, a pipe cannot be read twice, and a directory cannot be read.
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    error = std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? "is a directory" : "not a regular file";
    ::close(fd);
    return nullptr;
  }
  // Opened without blocking so that a FIFO cannot hang the open; reads of a
  // regular file block as usual.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return std::make_unique<File>(fd, static_cast<uint64_t>(info.st_size));
}

}  // namespace kvor::zephrin::runtime::wisp::internal
