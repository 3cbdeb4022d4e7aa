// libFuzzer target for the .wisp reader: any bytes must read without a
// crash, an out-of-bounds access or a runaway allocation, and whatever is
// accepted must be internally consistent. Each input is read twice: as
// given, and with its header and chunk CRCs recomputed, so that mutations
// also reach the decompression and record parsing behind the CRC checks.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "wisp/Status.hpp"
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
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Check(std::span<const uint8_t>(data, size));
  std::vector<uint8_t> fixed(data, data + size);
  FixCrcs(fixed);
  Check(fixed);
  return 0;
}
