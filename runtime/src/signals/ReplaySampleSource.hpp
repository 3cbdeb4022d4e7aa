#pragma once

// Where the signal store takes device samples from while a log is replayed.
// The replay engine implements this interface over its loaded log and
// installs it on the store (SignalStore::SetReplaySource); while installed it
// replaces simulation entirely: reads answer the latest logged sample at or
// before the replay time, and waits end when the replay time reaches the next
// logged sample. The store shares ownership of the source and calls it with
// its own lock held, from any thread: implementations must be thread-safe,
// must not allocate on these calls (they sit on the program's read path) and
// must not call back into the store.

#include <cstdint>

#include <kvor/zephrin/platform/Signals.hpp>

namespace kvor::zephrin::runtime::signals {

class ReplaySampleSource {
 public:
  virtual ~ReplaySampleSource() = default;

  /// Copies the latest sample of `key` logged at or before `timeSeconds`
  /// into `out` and its log time into `sampleTime`; false when the log holds
  /// no such sample.
  virtual bool Latest(uint64_t key, double timeSeconds, kvor::zephrin::platform::SignalMeasurement& out,
                      double& sampleTime) const = 0;

  /// Log time of the first sample of `key` after `timeSeconds`, or +infinity.
  virtual double NextSampleTime(uint64_t key, double timeSeconds) const = 0;
};

}  // namespace kvor::zephrin::runtime::signals
