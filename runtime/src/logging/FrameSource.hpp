#pragma once

// Where the log writer gets the frames the bus carried: an interface so that
// the writer does not depend on how the signal store simulates or replays
// devices (tests install a scripted source). Implementations are called from
// the writer thread only, never with a logger lock held, and must be
// thread-safe against the rest of the runtime.

#include <cstdint>
#include <functional>
#include <string_view>

#include "wisp/WispRecords.hpp"

namespace kvor::zephrin::runtime::logging {

/// One frame with the device it came from. The texts stay valid only during
/// the callback that receives the frame.
struct BusFrame {
  wisp::Frame frame;
  std::string_view bus;
  std::string_view model;
  int32_t deviceId = 0;
};

class FrameSource {
 public:
  virtual ~FrameSource() = default;

  /// Calls `sink` for every frame the bus carried at a time in (after, upTo],
  /// seconds on the runtime clock, in any order.
  virtual void CollectFrames(double after, double upTo, const std::function<void(const BusFrame&)>& sink) = 0;

  /// Name and units text of a device signal ID (empty texts when unknown).
  virtual wisp::SignalDefinition Describe(uint16_t signalId) = 0;
};

}  // namespace kvor::zephrin::runtime::logging
