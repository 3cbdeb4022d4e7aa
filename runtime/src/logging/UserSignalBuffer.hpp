#pragma once

// The in-memory buffer between the program's user-signal writes and the log
// writer thread. A write takes one short lock, finds the signal's definition
// (created on first use) and copies the sample into a fixed ring; when the
// ring is full the oldest sample is overwritten and counted as dropped, so a
// write never waits for the disk and, once each signal has been seen, never
// allocates. Every sample and definition keeps the runtime time at which the
// program wrote it, so that the writer puts it into the chunk of that time
// however late it comes to collect. The writer swaps the whole ring out in
// O(1). Owned by the LoggerService; thread-safe.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <kvor/zephrin/Mutex.hpp>

#include "wisp/WispRecords.hpp"

namespace kvor::zephrin::runtime::logging {

class UserSignalBuffer {
 public:
  /// A sample or definition with the runtime time of the write that made
  /// it, seconds.
  template <class Record>
  struct Written {
    Record record;
    double at = 0.0;
  };
  using WrittenSample = Written<wisp::UserSample>;
  using WrittenDefinition = Written<wisp::UserSignalDefinition>;

  /// What the writer takes out in one go: definitions new since the last
  /// batch and the pending samples, oldest first.
  struct Batch {
    std::vector<WrittenDefinition> definitions;
    std::vector<WrittenSample> ring;  ///< as large as the buffer; swapped in and out
    std::size_t head = 0;
    std::size_t count = 0;
    uint64_t dropped = 0;  ///< samples dropped since the last batch

    const WrittenSample& operator[](std::size_t i) const { return ring[(head + i) % ring.size()]; }
  };

  explicit UserSignalBuffer(std::size_t capacity = kDefaultCapacity);

  /// Samples the ring holds by default (about 1.4 MB).
  static constexpr std::size_t kDefaultCapacity = 16384;

  /// Adds one sample of `time`, written at runtime time `now` (seconds).
  /// `size` must be at most the largest payload (the caller checks).
  /// @return 0, or UserSignalLimitExceeded when this would be one signal too
  /// many for the log.
  [[nodiscard]] int32_t Append(std::string_view name, std::string_view units, uint8_t type, const uint8_t* data,
                               uint8_t size, double time, double now);

  /// Moves the pending samples and new definitions into `batch`, whose ring
  /// must be Capacity() long (it is swapped with the buffer's).
  void TakeBatch(Batch& batch);

  /// Forgets every definition and sample and resizes the ring (a new log).
  void Restart(std::size_t capacity);

  std::size_t Capacity() const;
  /// Samples dropped since the last Restart.
  uint64_t TotalDropped() const;

 private:
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };

  mutable Mutex mutex_;
  std::unordered_map<std::string, uint16_t, NameHash, std::equal_to<>> byName_ ZEPHRIN_GUARDED_BY(mutex_);
  std::vector<WrittenDefinition> definitions_ ZEPHRIN_GUARDED_BY(mutex_);
  std::size_t definitionsTaken_ ZEPHRIN_GUARDED_BY(mutex_) = 0;
  std::vector<WrittenSample> ring_ ZEPHRIN_GUARDED_BY(mutex_);
  std::size_t head_ ZEPHRIN_GUARDED_BY(mutex_) = 0;
  std::size_t count_ ZEPHRIN_GUARDED_BY(mutex_) = 0;
  uint64_t dropped_ ZEPHRIN_GUARDED_BY(mutex_) = 0;
  uint64_t totalDropped_ ZEPHRIN_GUARDED_BY(mutex_) = 0;
};

}  // namespace kvor::zephrin::runtime::logging
