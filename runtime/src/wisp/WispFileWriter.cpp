#include "wisp/WispFileWriter.hpp"

#include <unistd.h>
#include <zlib.h>
#include <zstd.h>

#include <utility>

#include "wisp/ChunkBuilder.hpp"
#include "wisp/internal/ByteWriter.hpp"

namespace kvor::zephrin::runtime::wisp {

using internal::ByteWriter;

WispFileWriter::WispFileWriter() = default;

WispFileWriter::~WispFileWriter() {
  Close();
  ZSTD_freeCCtx(zstd_);
}

WispFileWriter::WispFileWriter(WispFileWriter&& other) noexcept { *this = std::move(other); }

WispFileWriter& WispFileWriter::operator=(WispFileWriter&& other) noexcept {
  if (this != &other) {
    Close();
    ZSTD_freeCCtx(zstd_);
    file_ = std::exchange(other.file_, nullptr);
    zstd_ = std::exchange(other.zstd_, nullptr);
    compression_ = other.compression_;
    compressed_ = std::move(other.compressed_);
    header_ = std::move(other.header_);
    bytes_ = std::exchange(other.bytes_, 0);
  }
  return *this;
}

bool WispFileWriter::WriteAll(const void* data, std::size_t size) {
  if (file_ == nullptr) return false;
  if (std::fwrite(data, 1, size, file_) != size) return false;
  bytes_ += size;
  return true;
}

bool WispFileWriter::Open(const std::string& path, double startTime, int64_t wallClockStart,
                          Compression compression) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return false;
  bytes_ = 0;
  compression_ = compression;
  if (compression_ == Compression::Zstd && zstd_ == nullptr) zstd_ = ZSTD_createCCtx();

  header_.clear();
  ByteWriter out(header_);
  out.PutBytes(kFileMagic.data(), kFileMagic.size());
  out.Put(kFormatVersion);
  out.Put(static_cast<uint16_t>(compression_));
  const std::size_t bodyLengthAt = out.Size();
  out.Put(uint32_t{0});
  out.PutText(kRuntimeVersionText);
  out.Put(startTime);
  out.Put(wallClockStart);
  out.PatchAt(bodyLengthAt, static_cast<uint32_t>(out.Size() - kFileHeaderFixedSize));
  const auto crc = static_cast<uint32_t>(crc32(0L, header_.data(), static_cast<uInt>(header_.size())));
  out.Put(crc);
  const bool ok = WriteAll(header_.data(), header_.size()) && std::fflush(file_) == 0;
  if (!ok) Close();
  return ok;
}

bool WispFileWriter::WriteChunk(const ChunkBuilder& chunk) {
  if (file_ == nullptr) return false;
  if (chunk.Empty()) return true;
  const auto payload = chunk.Payload();
  // A chunk the reader would refuse would end every later read there.
  if (payload.size() > kMaxChunkPayload) return false;
  std::span<const uint8_t> stored = payload;
  if (compression_ == Compression::Zstd) {
    compressed_.resize(ZSTD_compressBound(payload.size()));
    const std::size_t size =
        ZSTD_compressCCtx(zstd_, compressed_.data(), compressed_.size(), payload.data(), payload.size(), kZstdLevel);
    if (ZSTD_isError(size)) return false;
    stored = std::span<const uint8_t>(compressed_.data(), size);
  }

  header_.clear();
  ByteWriter out(header_);
  out.PutBytes(kChunkMagic.data(), kChunkMagic.size());
  out.Put(static_cast<uint32_t>(stored.size()));
  out.Put(static_cast<uint32_t>(payload.size()));
  out.Put(chunk.RecordCount());
  out.Put(chunk.FirstTime());
  out.Put(chunk.LastTime());
  uLong crc = crc32(0L, header_.data(), static_cast<uInt>(header_.size()));
  crc = crc32(crc, stored.data(), static_cast<uInt>(stored.size()));
  out.Put(static_cast<uint32_t>(crc));

  // Header and payload go out together and are flushed at once: a kill after
  // this point leaves the chunk complete on disk.
  return WriteAll(header_.data(), header_.size()) && WriteAll(stored.data(), stored.size()) &&
         std::fflush(file_) == 0;
}

bool WispFileWriter::Sync() {
  if (file_ == nullptr) return false;
  return std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
}

void WispFileWriter::Close() {
  if (file_ == nullptr) return;
  // Closing answers no one (destructors, a writer that stops). Every chunk
  // was flushed to the operating system when written, so a failed last sync
  // leaves it to the system's own write-back rather than losing it.
  static_cast<void>(Sync());
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace kvor::zephrin::runtime::wisp
