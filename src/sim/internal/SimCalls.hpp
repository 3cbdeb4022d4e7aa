#pragma once

// The three simulator calls every simulation state is made of, with the sign
// rule they share. Kept inline: each state operation is one of these.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin6/sim/ChassisReference.hpp>

#include <string_view>

namespace kvor::zephrin6::sim::internal {

using kvor::zephrin::platform::DeviceType;

/// `value` in the device's convention: negated only when `orientation` holds -1.
inline double Oriented(ChassisReference orientation, double value) {
  return static_cast<int>(orientation) == -1 ? -value : value;
}

/// Hands one physics input to the simulator and returns its status unchanged.
inline kvor::zephrin::StatusCode SetInput(DeviceType type, int deviceId, std::string_view name, double value) {
  return kvor::zephrin::StatusCode{kvor::zephrin::platform::SimSetPhysicsInput(type, deviceId, name, value)};
}

/// Reads one physics output; 0 when the simulator leaves it untouched (its
/// status is deliberately dropped: GetLastStatusCode tells callers about it).
inline double GetOutput(DeviceType type, int deviceId, std::string_view name) {
  double value = 0.0;
  kvor::zephrin::platform::SimGetPhysicsValue(type, deviceId, name, value);
  return value;
}

/// The simulator's status of its most recent call for the device.
inline kvor::zephrin::StatusCode LastError(DeviceType type, int deviceId) {
  return kvor::zephrin::StatusCode{kvor::zephrin::platform::SimGetLastError(type, deviceId)};
}

}  // namespace kvor::zephrin6::sim::internal
