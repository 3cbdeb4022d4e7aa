#pragma once

// SignalTimestamp is one of the three times a signal sample carries: when the
// runtime received it (System), when the bus adapter saw it (Bustrel) or when
// the device measured it (Device), all on the runtime's time base in seconds.
// A plain copyable value owned by its signal; reading it from several threads
// is safe as long as nobody refreshes the signal meanwhile.

#include <units.h>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6 {

/// Where a timestamp comes from.
enum class SignalTimestampSource {
  System = 0,   ///< the runtime's receive time
  Bustrel = 1,  ///< the bus adapter's time
  Device = 2,   ///< the device's own measurement time
};

class ZEPHRIN6_API SignalTimestamp {
 public:
  /// Time 0 from the system source, not valid.
  constexpr SignalTimestamp() = default;
  /// A timestamp of `timeSeconds` (seconds on the runtime's time base).
  constexpr SignalTimestamp(double timeSeconds, SignalTimestampSource source, bool valid)
      : time_{timeSeconds}, source_{source}, valid_{valid} {}

  /// The time, seconds on the runtime's time base.
  units::time::second_t GetTime() const { return units::time::second_t{time_}; }
  /// The source this time comes from.
  constexpr SignalTimestampSource GetSource() const { return source_; }
  /// Whether the sample carried this time; an invalid timestamp's time means nothing.
  constexpr bool IsValid() const { return valid_; }
  /// Seconds from this timestamp to now on the runtime clock.
  units::time::second_t GetLatency() const;

 private:
  double time_ = 0.0;
  SignalTimestampSource source_ = SignalTimestampSource::System;
  bool valid_ = false;
};

}  // namespace kvor::zephrin6
