#pragma once

// Constants of the .wisp log format shared by the writer, the reader, the
// replay engine and the tools: magics, versions, compression kinds, record
// tags and size limits. FORMAT.md next to this file describes the byte layout
// these constants belong to. Plain constants only; nothing here allocates or
// locks.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace kvor::zephrin::runtime::wisp {

static_assert(std::endian::native == std::endian::little,
              "the .wisp encoder writes host-order bytes and assumes a little-endian host");

/// First eight bytes of every log.
inline constexpr std::array<uint8_t, 8> kFileMagic = {'Z', 'W', 'I', 'S', 'P', 'L', 'O', 'G'};
/// First four bytes of every chunk.
inline constexpr std::array<uint8_t, 4> kChunkMagic = {'W', 'C', 'H', 'K'};

/// Format version this runtime writes.
inline constexpr uint16_t kFormatVersion = 1;
/// Oldest format version this runtime still reads; older logs are refused.
inline constexpr uint16_t kOldestReadableVersion = 1;

/// Text identifying the writing runtime, stored in every header.
inline constexpr const char* kRuntimeVersionText = "zephrin runtime 0.1.0";

/// How chunk payloads are stored.
enum class Compression : uint16_t {
  None = 0,
  Zstd = 1,
};

/// zstd level used by the writer: fast, yet long runs of repeated frames
/// still shrink to a few bytes each.
inline constexpr int kZstdLevel = 1;

/// Tag byte of each record inside a chunk payload.
enum class RecordTag : uint8_t {
  SignalDefinition = 1,  ///< units and name of one signal ID
  Device = 2,            ///< bus, model and device ID behind one device hash
  Frame = 3,             ///< one frame of one device signal
  UserSignalDefinition = 4,  ///< name, units and type of one user signal
  UserSample = 5,        ///< one sample of a user signal
  Dropped = 6,           ///< user samples dropped because the buffer was full
  End = 7,               ///< the logger stopped cleanly
};

/// Size of the fixed part of the file header before its variable body.
inline constexpr std::size_t kFileHeaderFixedSize = 16;
/// Size of a chunk header, CRC included.
inline constexpr std::size_t kChunkHeaderSize = 36;

/// Bytes a frame record takes in a chunk payload: its tag, its length and a
/// body of device hash, signal ID, value, reported ID, status and three times.
inline constexpr std::size_t kFrameRecordBytes = 1 + 2 + 4 + 2 + 8 + 2 + 4 + 3 * 8;

/// Largest payload a user sample may carry.
inline constexpr std::size_t kMaxUserPayload = 64;
/// Largest uncompressed chunk payload the reader accepts, and the writer
/// emits. The writer's chunks hold about 100 ms of frames, a few hundred KiB
/// even for a large robot; a length field claiming more is damage, and
/// refusing it before allocating keeps one bad field from asking for
/// gigabytes.
inline constexpr uint32_t kMaxChunkPayload = 16u << 20;
/// Largest stored (compressed) chunk the reader accepts: what zstd may need,
/// at worst, for the largest payload.
inline constexpr uint32_t kMaxStoredChunk = kMaxChunkPayload + (kMaxChunkPayload >> 8) + (64u << 10);
/// Most memory the records of one chunk may take once read (counted as the
/// size of the record values plus their texts). A frame takes about as much
/// memory as it takes payload bytes, so any payload of frames the writer may
/// emit fits; short records that expand more (user samples) are capped here.
inline constexpr uint64_t kMaxChunkRecordBytes = 32u << 20;
/// A reader that keeps a whole log in memory holds at most this many bytes of
/// records plus kLogRecordBytesPerFileByte for every byte of the file. Logs
/// the writer produces hold 4 to 15 times their size in records (15 when
/// every value stands still and only the times move), so only a crafted
/// file reaches the bound: a few KiB of zstd could otherwise unfold into
/// gigabytes of records.
inline constexpr uint64_t kLogRecordBytesBase = 64u << 20;
inline constexpr uint64_t kLogRecordBytesPerFileByte = 256;
/// Largest header body the reader accepts.
inline constexpr uint32_t kMaxHeaderBody = 4096;

}  // namespace kvor::zephrin::runtime::wisp
