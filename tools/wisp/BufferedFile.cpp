#include "BufferedFile.hpp"

#include <cerrno>
#include <cstring>

namespace wisp_tool {

namespace {
constexpr std::size_t kBufferSize = 1u << 20;
}

BufferedFile::BufferedFile(std::FILE* file) : file_(file), buffer_(kBufferSize) {
  if (file_ == nullptr) error_ = EBADF;
}

BufferedFile::~BufferedFile() {
  std::string ignored;
  Close(ignored);
}

void BufferedFile::Drain(std::size_t room) {
  errno = 0;
  if (used_ > 0 && error_ == 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_) {
    error_ = errno != 0 ? errno : EIO;
  }
  flushed_ += used_;
  used_ = 0;
  if (buffer_.size() < room) buffer_.resize(room);
}

void BufferedFile::Write(const void* data, std::size_t size) {
  std::memcpy(Reserve(size), data, size);
  Commit(size);
}

bool BufferedFile::Close(std::string& error) {
  if (file_ == nullptr) {
    if (error_ != 0) error = std::strerror(error_);
    return error_ == 0;
  }
  Drain(0);
  errno = 0;
  if (std::fflush(file_) != 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
  if (std::fclose(file_) != 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
  file_ = nullptr;
  if (error_ != 0) error = std::strerror(error_);
  return error_ == 0;
}

}  // namespace wisp_tool
