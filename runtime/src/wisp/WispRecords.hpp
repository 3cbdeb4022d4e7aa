#pragma once

// The records a .wisp log holds, as plain values: what the writer encodes and
// what the reader hands back. They own their texts and are cheap to move;
// none of them locks or refers to anything outside itself.

#include <array>
#include <cstdint>
#include <string>

#include "wisp/WispFormat.hpp"

namespace kvor::zephrin::runtime::wisp {

/// The value, reported ID, timestamps and status of one frame, exactly as the
/// runtime served them. Times are seconds on the runtime's time base.
struct FrameValue {
  double value = 0.0;
  double systemTime = 0.0;   ///< when the runtime received the frame; replay orders frames by it
  double bustrelTime = 0.0;
  double deviceTime = 0.0;   ///< 0 when the device sent no timestamp
  int32_t status = 0;
  uint16_t reportedId = 0;
};

/// One frame of a device signal on the bus.
struct Frame {
  uint32_t deviceHash = 0;
  uint16_t signalId = 0;
  FrameValue value;

  /// The runtime's 64-bit signal key: device hash low, signal ID high.
  uint64_t Key() const { return (static_cast<uint64_t>(signalId) << 32) | deviceHash; }
};

/// The device behind a device hash.
struct DeviceInfo {
  uint32_t deviceHash = 0;
  int32_t deviceId = 0;
  std::string model;
  std::string bus;
};

/// Name and units text of a device signal ID.
struct SignalDefinition {
  uint16_t signalId = 0;
  std::string name;
  std::string units;
};

/// Name, units and data type of a user signal. Samples refer to it by index;
/// a signal whose units or type change gets a new definition.
struct UserSignalDefinition {
  uint16_t index = 0;
  uint8_t type = 0;  ///< platform::UserDataType value
  std::string name;
  std::string units;
};

/// One sample of a user signal.
struct UserSample {
  uint16_t definition = 0;  ///< UserSignalDefinition::index
  uint8_t size = 0;         ///< payload bytes in use
  double time = 0.0;        ///< sample time, seconds: write time minus the latency given
  std::array<uint8_t, kMaxUserPayload> payload{};
};

/// User samples the writer dropped because its buffer was full, noted at
/// `time` (seconds).
struct DroppedSamples {
  double time = 0.0;
  uint64_t count = 0;
};

}  // namespace kvor::zephrin::runtime::wisp
