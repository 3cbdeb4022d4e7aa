// libFuzzer target for the .wisp readers: any bytes must read without a
// crash, an out-of-bounds access or a runaway allocation, whatever is
// accepted must be internally consistent, and what the readers hold must
// stay within their documented bounds (scripts/run-fuzz.sh also runs it
// under an RSS limit). Each input is read as given and with its header and
// chunk CRCs recomputed, so that mutations also reach the decompression and
// record parsing behind the CRC checks; and by both the whole-log reader and
// the chunk-by-chunk one, which must agree.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "wisp/Status.hpp"
#include "wisp/WispChunkReader.hpp"
#include "wisp/WispReader.hpp"

namespace {

using namespace kvor::zephrin::runtime::wisp;

uint32_t Crc(const uint8_t* data, std::size_t size, uint32_t seed = 0) {
  return static_cast<uint32_t>(crc32(seed, data, static_cast<uInt>(size)));
}

// Rewrites every CRC field the layout puts where it can find one.
void FixCrcs(std::vector<uint8_t>& bytes) {
  if (bytes.size() < kFileHeaderFixedSize) return;
  uint32_t body = 0;
  std::memcpy(&body, bytes.data() + 12, 4);
  std::size_t at = kFileHeaderFixedSize + body;
  if (body > kMaxHeaderBody || at + 4 > bytes.size()) return;
  const uint32_t headerCrc = Crc(bytes.data(), at);
  std::memcpy(bytes.data() + at, &headerCrc, 4);
  at += 4;
  while (at + kChunkHeaderSize <= bytes.size()) {
    uint32_t stored = 0;
    std::memcpy(&stored, bytes.data() + at + 4, 4);
    if (stored > bytes.size() - at - kChunkHeaderSize) return;
    uint32_t crc = Crc(bytes.data() + at, kChunkHeaderSize - 4);
    crc = Crc(bytes.data() + at + kChunkHeaderSize, stored, crc);
    std::memcpy(bytes.data() + at + kChunkHeaderSize - 4, &crc, 4);
    at += kChunkHeaderSize + stored;
  }
}

void Check(std::span<const uint8_t> bytes) {
  const WispLog log = WispReader::Read(bytes);
  const ReadReport& report = log.report;
  if (report.intactBytes > report.fileBytes) std::abort();
  if (report.status != kOK && (!log.frames.empty() || !log.userSamples.empty())) std::abort();
  for (const UserSample& sample : log.userSamples) {
    if (sample.size > kMaxUserPayload) std::abort();
  }
  const uint64_t held = log.frames.size() * sizeof(Frame) + log.userSamples.size() * sizeof(UserSample);
  if (held > kLogRecordBytesBase + kLogRecordBytesPerFileByte * bytes.size()) std::abort();

  // Chunk by chunk: contiguous chunks, each within its bound, and the same
  // frames as the whole read up to where that one stopped.
  WispChunkReader reader;
  if (reader.Open(bytes) != report.status) std::abort();
  WispChunk chunk;
  uint64_t at = reader.Report().intactBytes;
  std::size_t frames = 0;
  while (reader.Next(chunk)) {
    if (chunk.offset != at || chunk.endOffset <= at || chunk.recordBytes > kMaxChunkRecordBytes) std::abort();
    at = chunk.endOffset;
    frames += chunk.frames.size();
  }
  if (reader.Report().intactBytes < report.intactBytes || frames < log.frames.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Check(std::span<const uint8_t>(data, size));
  std::vector<uint8_t> fixed(data, data + size);
  FixCrcs(fixed);
  Check(fixed);
  return 0;
}
