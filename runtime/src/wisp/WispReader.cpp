#include "wisp/WispReader.hpp"

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "wisp/Status.hpp"
#include "wisp/internal/ByteReader.hpp"

namespace kvor::zephrin::runtime::wisp {
namespace {

using internal::ByteReader;

uint32_t Crc(std::span<const uint8_t> bytes, uint32_t seed = 0) {
  return static_cast<uint32_t>(crc32(seed, bytes.data(), static_cast<uInt>(bytes.size())));
}

// Reads and checks the header; returns its status and leaves `reader` after it.
int32_t ReadHeader(std::span<const uint8_t> bytes, ByteReader& reader, WispHeader& header) {
  std::array<uint8_t, kFileMagic.size()> magic{};
  if (!reader.GetBytes(magic.data(), magic.size()) || magic != kFileMagic) return kInvalidFile;
  // The version is checked before anything that follows it: a newer format
  // may have laid out the rest differently.
  if (!reader.Get(header.formatVersion)) return kInvalidFile;
  if (header.formatVersion > kFormatVersion) return kWispLogTooNew;
  if (header.formatVersion < kOldestReadableVersion) return kWispLogTooOld;

  uint16_t compression = 0;
  uint32_t bodyLength = 0;
  if (!reader.Get(compression) || !reader.Get(bodyLength)) return kInvalidFile;
  if (compression > static_cast<uint16_t>(Compression::Zstd)) return kInvalidFile;
  header.compression = static_cast<Compression>(compression);
  if (bodyLength > kMaxHeaderBody || reader.Remaining() < bodyLength + sizeof(uint32_t)) return kInvalidFile;

  ByteReader body(reader.Peek(bodyLength));
  reader.Skip(bodyLength);
  const std::size_t crcAt = reader.Offset();
  uint32_t storedCrc = 0;
  reader.Get(storedCrc);
  if (Crc(bytes.first(crcAt)) != storedCrc) return kInvalidFile;
  if (!body.GetText(header.runtimeVersion) || !body.Get(header.startTime) || !body.Get(header.wallClockStart)) {
    return kInvalidFile;
  }
  return kOK;
}

// Parses the records of one decompressed chunk into `log`. On a malformed
// record it returns false and the caller rolls the chunk back.
// Timed records widen the log's time range.
bool ParseRecords(std::span<const uint8_t> payload, uint32_t expectedRecords, WispLog& log, bool& sawEnd) {
  ByteReader reader(payload);
  uint32_t records = 0;
  auto note = [&log](double time) {
    log.firstTime = std::min(log.firstTime, time);
    log.lastTime = std::max(log.lastTime, time);
  };
  while (reader.Remaining() > 0) {
    uint8_t tag = 0;
    uint16_t length = 0;
    if (!reader.Get(tag) || !reader.Get(length) || reader.Remaining() < length) return false;
    ByteReader body(reader.Peek(length));
    reader.Skip(length);
    ++records;
    switch (static_cast<RecordTag>(tag)) {
      case RecordTag::SignalDefinition: {
        SignalDefinition d;
        if (!body.Get(d.signalId) || !body.GetText(d.name) || !body.GetText(d.units)) return false;
        log.signals.push_back(std::move(d));
        break;
      }
      case RecordTag::Device: {
        DeviceInfo d;
        if (!body.Get(d.deviceHash) || !body.Get(d.deviceId) || !body.GetText(d.model) || !body.GetText(d.bus)) {
          return false;
        }
        log.devices.push_back(std::move(d));
        break;
      }
      case RecordTag::Frame: {
        Frame f;
        FrameValue& v = f.value;
        if (!body.Get(f.deviceHash) || !body.Get(f.signalId) || !body.Get(v.value) || !body.Get(v.reportedId) ||
            !body.Get(v.status) || !body.Get(v.systemTime) || !body.Get(v.bustrelTime) || !body.Get(v.deviceTime)) {
          return false;
        }
        log.frames.push_back(f);
        note(v.systemTime);
        break;
      }
      case RecordTag::UserSignalDefinition: {
        UserSignalDefinition d;
        if (!body.Get(d.index) || !body.Get(d.type) || !body.GetText(d.name) || !body.GetText(d.units)) return false;
        log.userSignals.push_back(std::move(d));
        break;
      }
      case RecordTag::UserSample: {
        UserSample s;
        if (!body.Get(s.definition) || !body.Get(s.time) || !body.Get(s.size) || s.size > kMaxUserPayload ||
            !body.GetBytes(s.payload.data(), s.size)) {
          return false;
        }
        log.userSamples.push_back(s);
        note(s.time);
        break;
      }
      case RecordTag::Dropped: {
        double time = 0.0;
        uint64_t count = 0;
        if (!body.Get(time) || !body.Get(count)) return false;
        log.droppedSamples += count;
        note(time);
        break;
      }
      case RecordTag::End: {
        double time = 0.0;
        if (!body.Get(time)) return false;
        note(time);
        sawEnd = true;
        break;
      }
      default:
        // A record kind added later within this format version: skip it.
        break;
    }
  }
  return records == expectedRecords;
}

struct Sizes {
  std::size_t signals, devices, frames, userSignals, userSamples;
  uint64_t dropped;
  double firstTime, lastTime;
};

Sizes Mark(const WispLog& log) {
  return {log.signals.size(), log.devices.size(), log.frames.size(), log.userSignals.size(),
          log.userSamples.size(), log.droppedSamples, log.firstTime, log.lastTime};
}

void RollBack(WispLog& log, const Sizes& s) {
  log.signals.resize(s.signals);
  log.devices.resize(s.devices);
  log.frames.resize(s.frames);
  log.userSignals.resize(s.userSignals);
  log.userSamples.resize(s.userSamples);
  log.droppedSamples = s.dropped;
  log.firstTime = s.firstTime;
  log.lastTime = s.lastTime;
}

std::string At(const char* what, std::size_t offset) {
  return std::string(what) + " at byte " + std::to_string(offset);
}

}  // namespace

WispLog WispReader::Read(std::span<const uint8_t> bytes) {
  WispLog log;
  log.report.fileBytes = bytes.size();
  ByteReader reader(bytes);

  log.report.status = ReadHeader(bytes, reader, log.header);
  if (log.report.status != kOK) return log;
  const std::size_t headerEnd = reader.Offset();
  log.report.intactBytes = headerEnd;
  log.firstTime = log.lastTime = log.header.startTime;

  std::vector<uint8_t> raw;
  while (reader.Remaining() > 0) {
    const std::size_t chunkStart = reader.Offset();
    if (reader.Remaining() < kChunkHeaderSize) {
      log.report.damage = At("truncated chunk header", chunkStart);
      break;
    }
    const auto chunkHeader = reader.Peek(kChunkHeaderSize);
    std::array<uint8_t, kChunkMagic.size()> magic{};
    uint32_t storedSize = 0, rawSize = 0, records = 0, storedCrc = 0;
    double firstTime = 0.0, lastTime = 0.0;  // informational: the records carry their own times
    reader.GetBytes(magic.data(), magic.size());
    reader.Get(storedSize);
    reader.Get(rawSize);
    reader.Get(records);
    reader.Get(firstTime);
    reader.Get(lastTime);
    reader.Get(storedCrc);
    if (magic != kChunkMagic) {
      log.report.damage = At("unrecognised chunk", chunkStart);
      break;
    }
    if (reader.Remaining() < storedSize) {
      log.report.damage = At("truncated chunk", chunkStart);
      break;
    }
    const auto stored = reader.Peek(storedSize);
    reader.Skip(storedSize);
    if (Crc(stored, Crc(chunkHeader.first(kChunkHeaderSize - sizeof(uint32_t)))) != storedCrc) {
      log.report.damage = At("CRC mismatch in chunk", chunkStart);
      break;
    }

    std::span<const uint8_t> payload = stored;
    bool decoded = rawSize <= kMaxChunkPayload;
    if (decoded && log.header.compression == Compression::Zstd) {
      const auto contentSize = ZSTD_getFrameContentSize(stored.data(), stored.size());
      decoded = contentSize == rawSize;
      if (decoded) {
        raw.resize(rawSize);
        const std::size_t got = ZSTD_decompress(raw.data(), raw.size(), stored.data(), stored.size());
        decoded = !ZSTD_isError(got) && got == rawSize;
        payload = raw;
      }
    } else if (decoded) {
      decoded = rawSize == storedSize;
    }
    const Sizes mark = Mark(log);
    bool sawEnd = false;
    if (!decoded || !ParseRecords(payload, records, log, sawEnd)) {
      RollBack(log, mark);
      log.report.damage = At("undecodable chunk", chunkStart);
      break;
    }
    log.report.cleanEnd = log.report.cleanEnd || sawEnd;
    ++log.report.chunks;
    log.report.intactBytes = reader.Offset();
  }
  return log;
}

WispLog WispReader::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    WispLog log;
    log.report.status = kInvalidFile;
    return log;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    WispLog log;
    log.report.status = kInvalidFile;
    return log;
  }
  return Read(bytes);
}

}  // namespace kvor::zephrin::runtime::wisp
