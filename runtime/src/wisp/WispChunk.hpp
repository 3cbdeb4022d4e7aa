#pragma once

// The records of one chunk of a .wisp log, in file order, as WispChunkReader
// hands them out one chunk at a time. A caller that streams a long log keeps
// one WispChunk and passes it to every Next() call: the vectors keep their
// capacity, so memory stays at what the largest chunk needed. Plain data, no
// locks.

#include <cstdint>
#include <vector>

#include "wisp/WispRecords.hpp"

namespace kvor::zephrin::runtime::wisp {

struct WispChunk {
  uint64_t offset = 0;     ///< file offset of the chunk header
  uint64_t endOffset = 0;  ///< file offset just after the chunk
  std::vector<SignalDefinition> signals;
  std::vector<DeviceInfo> devices;
  std::vector<Frame> frames;
  std::vector<UserSignalDefinition> userSignals;
  std::vector<UserSample> userSamples;
  std::vector<DroppedSamples> dropped;
  bool end = false;      ///< the chunk holds the writer's clean-stop record
  double endTime = 0.0;  ///< time of that record, seconds
  /// Earliest and latest time of the chunk's timed records (frames by their
  /// system time, user samples, dropped and end records), seconds; only
  /// meaningful when hasTime is set.
  bool hasTime = false;
  double firstTime = 0.0;
  double lastTime = 0.0;
  /// Memory the records take as the reader counts it against its bounds
  /// (record values plus their texts), bytes.
  uint64_t recordBytes = 0;

  /// Forgets the records, keeping the vectors' capacity.
  void Clear() {
    offset = endOffset = 0;
    signals.clear();
    devices.clear();
    frames.clear();
    userSignals.clear();
    userSamples.clear();
    dropped.clear();
    end = false;
    endTime = 0.0;
    hasTime = false;
    firstTime = lastTime = 0.0;
    recordBytes = 0;
  }
};

}  // namespace kvor::zephrin::runtime::wisp
