#pragma once

// An output file written through a large buffer, for the exporters: records
// are appended in place (Reserve, then Commit) and reach the file in
// megabyte pieces. The first write error is kept and every later write is
// skipped, so a full disk is reported once, at Close. Owns its file; not
// copyable; not thread-safe.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace wisp_tool {

class BufferedFile {
 public:
  /// Takes ownership of `file` (may be null: then every write fails).
  explicit BufferedFile(std::FILE* file);
  ~BufferedFile();
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  /// Room for `size` more bytes at the end of the buffer; write them, then
  /// Commit how many were used.
  uint8_t* Reserve(std::size_t size) {
    if (buffer_.size() - used_ < size) Drain(size);
    return buffer_.data() + used_;
  }
  void Commit(std::size_t size) { used_ += size; }

  void Write(const void* data, std::size_t size);
  void Write(std::string_view text) { Write(text.data(), text.size()); }

  /// Bytes handed to the file so far, buffered ones included.
  uint64_t BytesWritten() const { return flushed_ + used_; }

  /// Writes what is buffered and closes the file. Returns false with the
  /// reason in `error` when any write or the close failed.
  bool Close(std::string& error);

 private:
  void Drain(std::size_t room);

  std::FILE* file_;
  std::vector<uint8_t> buffer_;
  std::size_t used_ = 0;
  uint64_t flushed_ = 0;
  int error_ = 0;
};

}  // namespace wisp_tool
