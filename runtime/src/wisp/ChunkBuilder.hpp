#pragma once

// Collects the records of one chunk as uncompressed payload bytes, tracking
// the record count and the time range they cover. The log writer thread owns
// one builder and reuses it chunk after chunk, so its buffer stops growing
// after the first few chunks. Not thread-safe.

#include <cstdint>
#include <span>
#include <vector>

#include "wisp/WispRecords.hpp"

namespace kvor::zephrin::runtime::wisp {

class ChunkBuilder {
 public:
  /// Longest text (name, units, model, bus) a record may carry, bytes. The
  /// runtime refuses longer texts where they come in; the builder refuses a
  /// record holding one (returns false, adds nothing) so that no record ever
  /// outgrows its 16-bit length field.
  static constexpr std::size_t kMaxText = 255;

  [[nodiscard]] bool AddSignalDefinition(const SignalDefinition& definition);
  [[nodiscard]] bool AddDevice(const DeviceInfo& device);
  void AddFrame(const Frame& frame);
  [[nodiscard]] bool AddUserSignalDefinition(const UserSignalDefinition& definition);
  void AddUserSample(const UserSample& sample);
  /// Records that `count` user samples were dropped before `time` (seconds).
  void AddDropped(double time, uint64_t count);
  /// Marks a clean stop at `time` (seconds).
  void AddEnd(double time);

  bool Empty() const { return records_ == 0; }
  uint32_t RecordCount() const { return records_; }
  /// Earliest and latest time of the timed records, seconds (0 when none).
  double FirstTime() const { return hasTime_ ? first_ : 0.0; }
  double LastTime() const { return hasTime_ ? last_ : 0.0; }
  std::span<const uint8_t> Payload() const { return payload_; }
  std::size_t PayloadSize() const { return payload_.size(); }

  /// Forgets the records but keeps the buffer's capacity.
  void Clear();

 private:
  std::size_t BeginRecord(RecordTag tag);
  void EndRecord(std::size_t lengthOffset);
  void NoteTime(double time);

  std::vector<uint8_t> payload_;
  uint32_t records_ = 0;
  bool hasTime_ = false;
  double first_ = 0.0;
  double last_ = 0.0;
};

}  // namespace kvor::zephrin::runtime::wisp
