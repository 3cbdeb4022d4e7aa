#pragma once

// Where WispChunkReader takes its bytes from: a file read piece by piece, or
// a buffer already in memory. The reader asks for one header or one chunk at
// a time, so a file source never holds more than the largest chunk the
// reader accepts. A source ends where the file ended when it was opened, so
// a log still being written reads as a consistent prefix. Internal; one
// reader per source, not thread-safe.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace kvor::zephrin::runtime::wisp::internal {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  /// Bytes the source holds in all.
  virtual uint64_t Size() const = 0;
  /// Bytes consumed so far.
  virtual uint64_t Position() const = 0;
  /// Takes the next `size` bytes (fewer at the end of the source) into `out`,
  /// which stays valid until the next call. Returns false on a read error of
  /// the medium, with its description in `error`.
  virtual bool Read(std::size_t size, std::span<const uint8_t>& out, std::string& error) = 0;
  /// Moves to `position` (at most Size()), so that the next Read starts
  /// there. Returns false when the medium cannot move.
  virtual bool Seek(uint64_t position) = 0;
};

/// A source over `bytes`, which must outlive it.
std::unique_ptr<ByteSource> MemorySource(std::span<const uint8_t> bytes);

/// Opens `path` for reading. Returns null with the reason in `error` when the
/// file is missing, unreadable or not a regular file (a directory, a device
/// such as /dev/zero, a pipe).
std::unique_ptr<ByteSource> FileSource(const std::string& path, std::string& error);

}  // namespace kvor::zephrin::runtime::wisp::internal
