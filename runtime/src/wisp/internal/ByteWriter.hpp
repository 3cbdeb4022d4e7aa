#pragma once

// Appends little-endian fields to a byte vector. Internal to the .wisp
// encoder; the vector is the caller's and is reused between chunks so that
// steady-state encoding does not allocate.

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace kvor::zephrin::runtime::wisp::internal {

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

  template <class T>
  void Put(T value) {
    const auto at = out_.size();
    out_.resize(at + sizeof(T));
    std::memcpy(out_.data() + at, &value, sizeof(T));
  }
  void PutBytes(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    out_.insert(out_.end(), bytes, bytes + size);
  }
  /// Text with a 16-bit length; longer texts are cut at 65535 bytes.
  void PutText(std::string_view text) {
    const auto size = static_cast<uint16_t>(text.size() > 0xFFFF ? 0xFFFF : text.size());
    Put(size);
    PutBytes(text.data(), size);
  }
  std::size_t Size() const { return out_.size(); }
  /// Overwrites a field written earlier at `offset`.
  template <class T>
  void PatchAt(std::size_t offset, T value) {
    std::memcpy(out_.data() + offset, &value, sizeof(T));
  }

 private:
  std::vector<uint8_t>& out_;
};

}  // namespace kvor::zephrin::runtime::wisp::internal
