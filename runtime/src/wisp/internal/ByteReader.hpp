#pragma once

// Reads little-endian fields from a byte span with bounds checks. Every read
// of outside data in the .wisp reader goes through it: a read past the end
// fails (returns false) instead of touching memory it does not own. Internal;
// not thread-safe (one reader per thread).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace kvor::zephrin::runtime::wisp::internal {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  template <class T>
  bool Get(T& value) {
    if (Remaining() < sizeof(T)) return Fail();
    std::memcpy(&value, bytes_.data() + at_, sizeof(T));
    at_ += sizeof(T);
    return true;
  }
  bool GetBytes(void* out, std::size_t size) {
    if (Remaining() < size) return Fail();
    std::memcpy(out, bytes_.data() + at_, size);
    at_ += size;
    return true;
  }
  /// Text with a 16-bit length.
  bool GetText(std::string& text) {
    uint16_t size = 0;
    if (!Get(size) || Remaining() < size) return Fail();
    text.assign(reinterpret_cast<const char*>(bytes_.data() + at_), size);
    at_ += size;
    return true;
  }
  bool Skip(std::size_t size) {
    if (Remaining() < size) return Fail();
    at_ += size;
    return true;
  }
  std::size_t Remaining() const { return bytes_.size() - at_; }
  std::size_t Offset() const { return at_; }
  /// The next `size` bytes as a span (not consumed).
  std::span<const uint8_t> Peek(std::size_t size) const { return bytes_.subspan(at_, size); }

 private:
  bool Fail() {
    at_ = bytes_.size();
    return false;
  }
  std::span<const uint8_t> bytes_;
  std::size_t at_ = 0;
};

}  // namespace kvor::zephrin::runtime::wisp::internal
