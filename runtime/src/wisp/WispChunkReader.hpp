#pragma once

// Reads a .wisp log one chunk at a time, so that a tool can walk a log of any
// length in the memory of its largest chunk. Reading never trusts the file:
// only regular files are opened, every length is checked before anything is
// allocated for it (a chunk may claim at most kMaxChunkPayload bytes and its
// records may take at most kMaxChunkRecordBytes), every chunk is checked
// against its CRC-32, and a read error of the medium is reported like any
// other damage. The first chunk that is truncated, corrupted, malformed or
// over a bound ends the read; everything before it has been handed out, and
// Report() says where and why it stopped.
//
// One reader walks one log once (Open starts over). It owns its file; it is
// neither copyable nor movable, and not thread-safe (one reader per thread).

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "wisp/WispChunk.hpp"
#include "wisp/WispLog.hpp"

struct ZSTD_DCtx_s;

namespace kvor::zephrin::runtime::wisp {

namespace internal {
class ByteSource;
}

class WispChunkReader {
 public:
  WispChunkReader();
  ~WispChunkReader();
  WispChunkReader(const WispChunkReader&) = delete;
  WispChunkReader& operator=(const WispChunkReader&) = delete;

  /// Opens the log at `path` and reads its header. Returns the status, also
  /// kept in Report().status: OK; InvalidFile when the file is missing,
  /// unreadable, not a regular file or not a .wisp log (Report().refusal
  /// says which); WispLogTooNew or WispLogTooOld for a format version this
  /// reader does not read.
  int32_t Open(const std::string& path);
  /// The same over a log in memory; `bytes` must outlive the reader.
  int32_t Open(std::span<const uint8_t> bytes);
  /// The same over any byte source (tests use one whose medium fails).
  int32_t Open(std::unique_ptr<internal::ByteSource> source);

  /// Bounds the memory that the records of all chunks read from now on may
  /// take together, bytes: a reader that keeps the whole log sets it so that
  /// a small crafted file cannot unfold into gigabytes. The chunk that would
  /// pass the bound is not handed out and ends the read as damage. Unbounded
  /// by default (a streaming reader holds one chunk at a time).
  void SetRecordBudget(uint64_t bytes) { budget_ = bytes; }

  /// Reads the next chunk into `chunk` (cleared first; its vectors keep their
  /// capacity). Returns false at the end of the log, at the first damaged
  /// chunk (Report().damage then says what and where) or when the header was
  /// refused.
  bool Next(WispChunk& chunk);

  /// The most frames the chunks from the current position on can hold,
  /// from their headers alone (each chunk's record count, capped by what its
  /// payload size leaves room for; nothing is decompressed). A reader that
  /// keeps the whole log sizes its frame array with it once instead of
  /// growing it chunk by chunk. The count stops at the first header that
  /// does not read or check; the position is left where it was.
  uint64_t FramesAhead();

  const WispHeader& Header() const { return header_; }
  /// Status, size, chunks and bytes accepted so far, and damage once found.
  const ReadReport& Report() const { return report_; }

 private:
  struct ChunkHeader;

  [[nodiscard]] int32_t ReadHeader();
  /// Ends the read: `what` says what was damaged and where. @return false.
  bool Damage(std::string what);
  enum class HeaderCheck { Ok, Unreadable, Truncated, NotAChunk, TooLarge, PastTheEnd };
  /// Reads the header of the chunk at the current position and checks its
  /// sizes against the bounds and the file; `error` gets a medium's error.
  HeaderCheck ReadChunkHeader(ChunkHeader& header, std::string& error);
  /// The same as damage: @return false, with the report saying what failed
  /// for the chunk at `start`.
  bool ReadChunkHeader(uint64_t start, ChunkHeader& header);
  /// Reads the chunk's stored bytes into `stored` and checks their CRC.
  /// @return false, as damage, when they are cut short or do not match.
  bool ReadStored(uint64_t start, const ChunkHeader& header, std::span<const uint8_t>& stored);
  /// Points `payload` at the chunk's records as written: the stored bytes
  /// themselves or, in a compressed log, decompressed into raw_. @return
  /// false when they do not come to the size the header gives.
  bool Decode(const ChunkHeader& header, std::span<const uint8_t> stored, std::span<const uint8_t>& payload);

  std::unique_ptr<internal::ByteSource> source_;
  ZSTD_DCtx_s* zstd_ = nullptr;
  std::vector<uint8_t> raw_;
  WispHeader header_;
  ReadReport report_;
  bool done_ = true;
  uint64_t budget_ = UINT64_MAX;
  uint64_t used_ = 0;
};

}  // namespace kvor::zephrin::runtime::wisp
