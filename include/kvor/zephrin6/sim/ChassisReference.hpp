#pragma once

// ChassisReference says how a device is mounted relative to the simulated
// mechanism, so that a simulation state can turn the mechanism's quantities
// into the device's own sign convention. A plain enumeration, safe to copy
// and to read from any thread.

namespace kvor::zephrin6::sim {

/// Mounting of a device relative to the simulated mechanism. Only the value
/// -1 (Clockwise_Positive) negates signed quantities; every other stored
/// value, named or not, passes them through unchanged.
enum class ChassisReference : int {
  /// The device counts positive where the mechanism does: quantities pass unchanged.
  CounterClockwise_Positive = 0,
  /// The device is mounted the other way round: signed quantities are negated.
  Clockwise_Positive = -1,
};

}  // namespace kvor::zephrin6::sim
