#pragma once

// Logs no writer of ours would produce, crafted byte by byte for the tests
// of the reader and the wisp tool: chunks whose payload unfolds from a few
// KiB of zstd into tens of MiB of records, written with a valid header and
// CRCs so that they reach the reader's bounds rather than its checksums.

#include <zlib.h>
#include <zstd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "wisp/ChunkBuilder.hpp"
#include "wisp/WispFileWriter.hpp"
#include "wisp/WispFormat.hpp"

namespace zephrin_test {

/// Writes a zstd log at `path` holding `chunks` copies of the chunk that
/// `fill` builds, whatever its size (the writer itself refuses payloads
/// above the reader's bound). Returns the file's size.
inline uint64_t WriteCraftedLog(const std::string& path, int chunks,
                                const std::function<void(kvor::zephrin::runtime::wisp::ChunkBuilder&)>& fill) {
  namespace wisp = kvor::zephrin::runtime::wisp;
  {
    wisp::WispFileWriter header;
    if (!header.Open(path, 0.0, 1765000000)) throw std::runtime_error("cannot create " + path);
  }
  wisp::ChunkBuilder chunk;
  fill(chunk);
  const auto payload = chunk.Payload();
  std::vector<uint8_t> stored(ZSTD_compressBound(payload.size()));
  stored.resize(ZSTD_compress(stored.data(), stored.size(), payload.data(), payload.size(), 1));

  std::vector<uint8_t> head(wisp::kChunkHeaderSize);
  auto put = [&head](std::size_t at, const auto& value) { std::memcpy(head.data() + at, &value, sizeof value); };
  std::memcpy(head.data(), wisp::kChunkMagic.data(), wisp::kChunkMagic.size());
  put(4, static_cast<uint32_t>(stored.size()));
  put(8, static_cast<uint32_t>(payload.size()));
  put(12, chunk.RecordCount());
  put(16, chunk.FirstTime());
  put(24, chunk.LastTime());
  uLong crc = crc32(0L, head.data(), static_cast<uInt>(wisp::kChunkHeaderSize - 4));
  crc = crc32(crc, stored.data(), static_cast<uInt>(stored.size()));
  put(32, static_cast<uint32_t>(crc));

  std::FILE* file = std::fopen(path.c_str(), "ab");
  for (int c = 0; c < chunks; ++c) {
    std::fwrite(head.data(), 1, head.size(), file);
    std::fwrite(stored.data(), 1, stored.size(), file);
  }
  const long size = std::ftell(file);
  std::fclose(file);
  return static_cast<uint64_t>(size);
}

/// Fills a chunk with `bytes` of payload of identical short user samples,
/// the records that take the most memory per payload byte once read.
inline void FillWithUserSamples(kvor::zephrin::runtime::wisp::ChunkBuilder& chunk, std::size_t bytes) {
  // A short name and no units always fit a record.
  static_cast<void>(chunk.AddUserSignalDefinition({0, 1, "flag", ""}));
  kvor::zephrin::runtime::wisp::UserSample sample{0, 1, 1.0, {}};
  while (chunk.PayloadSize() + 15 <= bytes) chunk.AddUserSample(sample);
}

/// Fills a chunk with `bytes` of payload of identical frames.
inline void FillWithFrames(kvor::zephrin::runtime::wisp::ChunkBuilder& chunk, std::size_t bytes) {
  const kvor::zephrin::runtime::wisp::Frame frame{0x42, 7, {1.0, 1.0, 1.0, 0.0, 0, 7}};
  while (chunk.PayloadSize() + 50 <= bytes) chunk.AddFrame(frame);
}

}  // namespace zephrin_test
