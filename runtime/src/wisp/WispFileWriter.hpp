#pragma once

// Writes one .wisp file: the header when opened, then one compressed,
// CRC-protected chunk per WriteChunk call, each flushed to the operating
// system at once so that a process killed afterwards leaves every written
// chunk readable. The log writer thread owns the writer; it is movable, not
// copyable, and not thread-safe.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "wisp/WispFormat.hpp"

struct ZSTD_CCtx_s;

namespace kvor::zephrin::runtime::wisp {

class ChunkBuilder;

class WispFileWriter {
 public:
  WispFileWriter();
  ~WispFileWriter();
  WispFileWriter(WispFileWriter&&) noexcept;
  WispFileWriter& operator=(WispFileWriter&&) noexcept;
  WispFileWriter(const WispFileWriter&) = delete;
  WispFileWriter& operator=(const WispFileWriter&) = delete;

  /// Creates (truncates) `path` and writes the header. `startTime` is the log
  /// time at which recording starts, seconds on the runtime clock;
  /// `wallClockStart` the calendar time of the start, seconds since 1970.
  /// Returns false when the file cannot be created or written.
  [[nodiscard]] bool Open(const std::string& path, double startTime, int64_t wallClockStart,
                          Compression compression = Compression::Zstd);

  /// Compresses the builder's payload and appends it as one chunk. An empty
  /// builder writes nothing. Returns false on a write failure (the file then
  /// ends at its last complete chunk as far as the reader is concerned) and,
  /// writing nothing, for a payload above kMaxChunkPayload.
  [[nodiscard]] bool WriteChunk(const ChunkBuilder& chunk);

  /// Asks the operating system to put everything written so far on the
  /// storage (fsync), so that a power cut cannot take it. Costs a disk
  /// round trip; the log writer calls it at most once a second.
  [[nodiscard]] bool Sync();

  /// Flushes, syncs and closes the file. Safe to call twice.
  void Close();

  bool IsOpen() const { return file_ != nullptr; }
  /// Bytes written so far, header included.
  uint64_t BytesWritten() const { return bytes_; }

 private:
  [[nodiscard]] bool WriteAll(const void* data, std::size_t size);

  std::FILE* file_ = nullptr;
  Compression compression_ = Compression::Zstd;
  ZSTD_CCtx_s* zstd_ = nullptr;
  std::vector<uint8_t> compressed_;
  std::vector<uint8_t> header_;
  uint64_t bytes_ = 0;
};

}  // namespace kvor::zephrin::runtime::wisp
