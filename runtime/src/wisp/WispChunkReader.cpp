#include "wisp/WispChunkReader.hpp"

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "wisp/Status.hpp"
#include "wisp/internal/ByteReader.hpp"
#include "wisp/internal/ByteSource.hpp"

namespace kvor::zephrin::runtime::wisp {
namespace {

using internal::ByteReader;

static_assert(ZSTD_COMPRESSBOUND(kMaxChunkPayload) <= kMaxStoredChunk,
              "a chunk of the largest payload must fit the stored-size bound");

uint32_t Crc(std::span<const uint8_t> bytes, uint32_t seed = 0) {
  return static_cast<uint32_t>(crc32(seed, bytes.data(), static_cast<uInt>(bytes.size())));
}

std::string At(const std::string& what, uint64_t offset) { return what + " at byte " + std::to_string(offset); }

std::string Mebibytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1u << 20));
  return text;
}

// Memory a record takes once read, as counted against the reader's bounds.
uint64_t Held(const std::string& a, const std::string& b, std::size_t record) { return record + a.size() + b.size(); }

void NoteTime(WispChunk& chunk, double time) {
  if (!chunk.hasTime) {
    chunk.firstTime = chunk.lastTime = time;
    chunk.hasTime = true;
    return;
  }
  chunk.firstTime = std::min(chunk.firstTime, time);
  chunk.lastTime = std::max(chunk.lastTime, time);
}

// Parses one record of kind `tag` from `body` into `chunk`. @return false
// when the body is too short for its kind.
bool ParseRecord(uint8_t tag, ByteReader& body, WispChunk& chunk) {
  switch (static_cast<RecordTag>(tag)) {
    case RecordTag::SignalDefinition: {
      SignalDefinition d;
      if (!body.Get(d.signalId) || !body.GetText(d.name) || !body.GetText(d.units)) return false;
      chunk.recordBytes += Held(d.name, d.units, sizeof d);
      chunk.signals.push_back(std::move(d));
      return true;
    }
    case RecordTag::Device: {
      DeviceInfo d;
      if (!body.Get(d.deviceHash) || !body.Get(d.deviceId) || !body.GetText(d.model) || !body.GetText(d.bus)) {
        return false;
      }
      chunk.recordBytes += Held(d.model, d.bus, sizeof d);
      chunk.devices.push_back(std::move(d));
      return true;
    }
    case RecordTag::Frame: {
      Frame f;
      FrameValue& v = f.value;
      if (!body.Get(f.deviceHash) || !body.Get(f.signalId) || !body.Get(v.value) || !body.Get(v.reportedId) ||
          !body.Get(v.status) || !body.Get(v.systemTime) || !body.Get(v.bustrelTime) || !body.Get(v.deviceTime)) {
        return false;
      }
      chunk.recordBytes += sizeof f;
      chunk.frames.push_back(f);
      NoteTime(chunk, v.systemTime);
      return true;
    }
    case RecordTag::UserSignalDefinition: {
      UserSignalDefinition d;
      if (!body.Get(d.index) || !body.Get(d.type) || !body.GetText(d.name) || !body.GetText(d.units)) return false;
      chunk.recordBytes += Held(d.name, d.units, sizeof d);
      chunk.userSignals.push_back(std::move(d));
      return true;
    }
    case RecordTag::UserSample: {
      UserSample s;
      if (!body.Get(s.definition) || !body.Get(s.time) || !body.Get(s.size) || s.size > kMaxUserPayload ||
          !body.GetBytes(s.payload.data(), s.size)) {
        return false;
      }
      chunk.recordBytes += sizeof s;
      chunk.userSamples.push_back(s);
      NoteTime(chunk, s.time);
      return true;
    }
    case RecordTag::Dropped: {
      DroppedSamples d;
      if (!body.Get(d.time) || !body.Get(d.count)) return false;
      chunk.recordBytes += sizeof d;
      chunk.dropped.push_back(d);
      NoteTime(chunk, d.time);
      return true;
    }
    case RecordTag::End:
      if (!body.Get(chunk.endTime)) return false;
      chunk.end = true;
      NoteTime(chunk, chunk.endTime);
      return true;
    default:
      // A record kind added later within this format version: skip it.
      return true;
  }
}

enum class Parse { Ok, Malformed, TooLarge };

// Parses the records of one decompressed chunk into `chunk`.
Parse ParseRecords(std::span<const uint8_t> payload, uint32_t expectedRecords, WispChunk& chunk) {
  ByteReader reader(payload);
  uint32_t records = 0;
  while (reader.Remaining() > 0) {
    uint8_t tag = 0;
    uint16_t length = 0;
    if (!reader.Get(tag) || !reader.Get(length) || reader.Remaining() < length) return Parse::Malformed;
    ByteReader body(reader.Peek(length));
    reader.Skip(length);
    ++records;
    if (!ParseRecord(tag, body, chunk)) return Parse::Malformed;
    if (chunk.recordBytes > kMaxChunkRecordBytes) return Parse::TooLarge;
  }
  return records == expectedRecords ? Parse::Ok : Parse::Malformed;
}

}  // namespace

WispChunkReader::WispChunkReader() = default;

WispChunkReader::~WispChunkReader() { ZSTD_freeDCtx(zstd_); }

int32_t WispChunkReader::Open(const std::string& path) {
  std::string error;
  auto source = internal::FileSource(path, error);
  if (source == nullptr) {
    source_.reset();
    header_ = {};
    report_ = {};
    report_.status = kInvalidFile;
    report_.refusal = error;
    done_ = true;
    return report_.status;
  }
  return Open(std::move(source));
}

int32_t WispChunkReader::Open(std::span<const uint8_t> bytes) { return Open(internal::MemorySource(bytes)); }

int32_t WispChunkReader::Open(std::unique_ptr<internal::ByteSource> source) {
  source_ = std::move(source);
  header_ = {};
  report_ = {};
  used_ = 0;
  report_.fileBytes = source_->Size();
  report_.status = ReadHeader();
  done_ = report_.status != kOK;
  if (!done_) report_.intactBytes = source_->Position();
  return report_.status;
}

int32_t WispChunkReader::ReadHeader() {
  auto refuse = [this](int32_t status, std::string why) {
    report_.refusal = std::move(why);
    return status;
  };
  std::string error;
  std::span<const uint8_t> fixed;
  if (!source_->Read(kFileHeaderFixedSize, fixed, error)) return refuse(kInvalidFile, "read error: " + error);
  // Copied out: the next read may reuse the source's buffer.
  std::vector<uint8_t> bytes(fixed.begin(), fixed.end());
  ByteReader reader(bytes);
  std::array<uint8_t, kFileMagic.size()> magic{};
  if (bytes.empty()) return refuse(kInvalidFile, "empty file");
  if (!reader.GetBytes(magic.data(), magic.size()) || magic != kFileMagic) {
    return refuse(kInvalidFile, "not a .wisp log");
  }
  // The version is checked before anything that follows it: a newer format
  // may have laid out the rest differently.
  if (!reader.Get(header_.formatVersion)) return refuse(kInvalidFile, "header cut short");
  if (header_.formatVersion > kFormatVersion) return refuse(kWispLogTooNew, "written in a newer log format");
  if (header_.formatVersion < kOldestReadableVersion) return refuse(kWispLogTooOld, "written in an older log format");

  uint16_t compression = 0;
  uint32_t bodyLength = 0;
  if (!reader.Get(compression) || !reader.Get(bodyLength)) return refuse(kInvalidFile, "header cut short");
  if (compression > static_cast<uint16_t>(Compression::Zstd)) return refuse(kInvalidFile, "unknown compression");
  header_.compression = static_cast<Compression>(compression);
  if (bodyLength > kMaxHeaderBody) return refuse(kInvalidFile, "header too long");

  std::span<const uint8_t> rest;
  if (!source_->Read(bodyLength + sizeof(uint32_t), rest, error)) return refuse(kInvalidFile, "read error: " + error);
  if (rest.size() < bodyLength + sizeof(uint32_t)) return refuse(kInvalidFile, "header cut short");
  uint32_t storedCrc = 0;
  std::memcpy(&storedCrc, rest.data() + bodyLength, sizeof storedCrc);
  if (Crc(rest.first(bodyLength), Crc(bytes)) != storedCrc) return refuse(kInvalidFile, "header CRC mismatch");
  ByteReader body(rest.first(bodyLength));
  if (!body.GetText(header_.runtimeVersion) || !body.Get(header_.startTime) || !body.Get(header_.wallClockStart)) {
    return refuse(kInvalidFile, "header body cut short");
  }
  return kOK;
}

bool WispChunkReader::Damage(std::string what) {
  report_.damage = std::move(what);
  done_ = true;
  return false;
}

/// A chunk header as read: the fields that say how to read the chunk, and
/// its bytes, which its CRC covers.
struct WispChunkReader::ChunkHeader {
  std::array<uint8_t, kChunkHeaderSize> bytes{};
  uint32_t storedSize = 0;
  uint32_t rawSize = 0;
  uint32_t records = 0;
  uint32_t storedCrc = 0;
};

WispChunkReader::HeaderCheck WispChunkReader::ReadChunkHeader(ChunkHeader& header, std::string& error) {
  std::span<const uint8_t> read;
  if (!source_->Read(kChunkHeaderSize, read, error)) return HeaderCheck::Unreadable;
  if (read.size() < kChunkHeaderSize) return HeaderCheck::Truncated;
  std::copy(read.begin(), read.end(), header.bytes.begin());
  ByteReader reader(header.bytes);
  std::array<uint8_t, kChunkMagic.size()> magic{};
  double firstTime = 0.0, lastTime = 0.0;  // informational: the records carry their own times
  reader.GetBytes(magic.data(), magic.size());
  reader.Get(header.storedSize);
  reader.Get(header.rawSize);
  reader.Get(header.records);
  reader.Get(firstTime);
  reader.Get(lastTime);
  reader.Get(header.storedCrc);
  if (magic != kChunkMagic) return HeaderCheck::NotAChunk;
  // Sizes are checked before anything is read or allocated for them.
  if (header.rawSize > kMaxChunkPayload || header.storedSize > kMaxStoredChunk) return HeaderCheck::TooLarge;
  if (header.storedSize > source_->Size() - source_->Position()) return HeaderCheck::PastTheEnd;
  return HeaderCheck::Ok;
}

bool WispChunkReader::ReadChunkHeader(uint64_t start, ChunkHeader& header) {
  std::string error;
  switch (ReadChunkHeader(header, error)) {
    case HeaderCheck::Ok:
      return true;
    case HeaderCheck::Unreadable:
      return Damage(At("read error (" + error + ")", start));
    case HeaderCheck::Truncated:
      return Damage(At("truncated chunk header", start));
    case HeaderCheck::NotAChunk:
      return Damage(At("unrecognised chunk", start));
    case HeaderCheck::TooLarge:
      return Damage("chunk at byte " + std::to_string(start) + " claims " +
                    std::to_string(std::max(header.rawSize, header.storedSize)) + " bytes, more than the " +
                    Mebibytes(kMaxChunkPayload) + " a chunk may hold");
    case HeaderCheck::PastTheEnd:
      return Damage(At("truncated chunk", start));
  }
  return Damage(At("unrecognised chunk", start));
}

uint64_t WispChunkReader::FramesAhead() {
  if (done_) return 0;
  const uint64_t start = source_->Position();
  uint64_t frames = 0;
  std::string error;
  ChunkHeader header;
  while (ReadChunkHeader(header, error) == HeaderCheck::Ok) {
    // A frame record is its tag, its length and a fixed body: a payload
    // cannot hold more of them than its size allows, whatever the count says.
    frames += std::min<uint64_t>(header.records, header.rawSize / kFrameRecordBytes);
    if (!source_->Seek(source_->Position() + header.storedSize)) break;
  }
  // Next() reads from where this started; a medium that cannot go back
  // ends the read like any other read error.
  if (!source_->Seek(start)) {
    static_cast<void>(Damage(At("read error (cannot seek back)", start)));
    return 0;
  }
  return frames;
}

bool WispChunkReader::ReadStored(uint64_t start, const ChunkHeader& header, std::span<const uint8_t>& stored) {
  std::string error;
  if (!source_->Read(header.storedSize, stored, error)) return Damage(At("read error (" + error + ")", start));
  if (stored.size() < header.storedSize) return Damage(At("truncated chunk", start));
  if (Crc(stored, Crc(std::span(header.bytes).first(kChunkHeaderSize - sizeof(uint32_t)))) != header.storedCrc) {
    return Damage(At("CRC mismatch in chunk", start));
  }
  return true;
}

bool WispChunkReader::Decode(const ChunkHeader& header, std::span<const uint8_t> stored,
                             std::span<const uint8_t>& payload) {
  if (header_.compression != Compression::Zstd) {
    payload = stored;
    return header.rawSize == header.storedSize;
  }
  if (ZSTD_getFrameContentSize(stored.data(), stored.size()) != header.rawSize) return false;
  if (zstd_ == nullptr) zstd_ = ZSTD_createDCtx();
  if (raw_.size() < header.rawSize) raw_.resize(header.rawSize);
  const std::size_t got = ZSTD_decompressDCtx(zstd_, raw_.data(), header.rawSize, stored.data(), stored.size());
  payload = std::span<const uint8_t>(raw_.data(), header.rawSize);
  return !ZSTD_isError(got) && got == header.rawSize;
}

bool WispChunkReader::Next(WispChunk& chunk) {
  chunk.Clear();
  if (done_) return false;
  const uint64_t start = source_->Position();
  if (start >= source_->Size()) {
    done_ = true;
    return false;
  }
  chunk.offset = start;

  ChunkHeader header;
  std::span<const uint8_t> stored, payload;
  if (!ReadChunkHeader(start, header) || !ReadStored(start, header, stored)) return false;
  const Parse parsed =
      Decode(header, stored, payload) ? ParseRecords(payload, header.records, chunk) : Parse::Malformed;
  if (parsed == Parse::TooLarge) {
    chunk.Clear();
    return Damage("chunk at byte " + std::to_string(start) + " holds more than the " + Mebibytes(kMaxChunkRecordBytes) +
                  " of records a chunk may hold");
  }
  if (parsed != Parse::Ok) {
    chunk.Clear();
    return Damage(At("undecodable chunk", start));
  }
  if (chunk.recordBytes > budget_ - std::min(budget_, used_)) {
    chunk.Clear();
    return Damage("chunk at byte " + std::to_string(start) + " would take the records read past " + Mebibytes(budget_) +
                  ", the most this reader holds for a " + std::to_string(report_.fileBytes) + "-byte log");
  }
  used_ += chunk.recordBytes;
  chunk.offset = start;
  chunk.endOffset = source_->Position();
  report_.cleanEnd = report_.cleanEnd || chunk.end;
  ++report_.chunks;
  report_.intactBytes = chunk.endOffset;
  return true;
}

}  // namespace kvor::zephrin::runtime::wisp
