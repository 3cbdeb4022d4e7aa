#pragma once

// SignalTimestampSet holds the three timestamps of a signal's last sample
// (system, Bustrel, device) and picks the best of them. A plain copyable value
// owned by its signal and updated by each read; not synchronised.

#include <kvor/zephrin6/signals/SignalTimestamp.hpp>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6 {

class ZEPHRIN6_API SignalTimestampSet {
 public:
  /// The runtime's receive time.
  constexpr const SignalTimestamp& GetSystemTimestamp() const { return system_; }
  /// The bus adapter's time.
  constexpr const SignalTimestamp& GetBustrelTimestamp() const { return bustrel_; }
  /// The device's measurement time (invalid when the device sent none).
  constexpr const SignalTimestamp& GetDeviceTimestamp() const { return device_; }

  /// The most accurate valid timestamp: the device's if valid, else the bus
  /// adapter's if valid, else the system one (time 0 before the first read).
  constexpr const SignalTimestamp& GetBestTimestamp() const {
    if (device_.IsValid()) return device_;
    if (bustrel_.IsValid()) return bustrel_;
    return system_;
  }

  /// Takes the times of a new sample, seconds. System and Bustrel times are
  /// always valid; a device time of exactly 0 means the device sent none.
  constexpr void Update(double systemSeconds, double bustrelSeconds, double deviceSeconds) {
    system_ = SignalTimestamp{systemSeconds, SignalTimestampSource::System, true};
    bustrel_ = SignalTimestamp{bustrelSeconds, SignalTimestampSource::Bustrel, true};
    device_ = SignalTimestamp{deviceSeconds, SignalTimestampSource::Device, deviceSeconds != 0.0};
  }

 private:
  SignalTimestamp system_{0.0, SignalTimestampSource::System, false};
  SignalTimestamp bustrel_{0.0, SignalTimestampSource::Bustrel, false};
  SignalTimestamp device_{0.0, SignalTimestampSource::Device, false};
};

}  // namespace kvor::zephrin6
