#pragma once

// What each physics input of a simulated device does to the device's
// signals, per device type: a fixed table, immutable and thread-safe.
//
// An input either sets signals to its value (supply voltage, velocities,
// limit switches, distance), or moves a position. Positions are kept by the
// simulator as one absolute value per device ("Raw..." sets it, "Add..."
// moves it): signals that report the raw position take it as is, while a
// signal the program may re-zero (a motor's Position after a set-position
// action) moves by the same difference, so the program's offset survives.
// The inputs of the devices whose firmware the runtime simulates (motor
// controllers, the IMU) are kept for that firmware, which moves their signals.

#include <cstdint>
#include <span>
#include <string_view>

namespace kvor::zephrin::runtime::sim {

/// How one signal follows an input.
enum class Follow : uint8_t {
  Value,       ///< takes the input's value (or the absolute position)
  Difference,  ///< moves by the position's change, keeping its own offset
  HalfTurn,    ///< the absolute position wrapped into [-0.5, 0.5) turns
};

/// One signal an input drives.
struct SignalEffect {
  uint16_t signalId;
  Follow follow;
};

/// How an input treats its value.
enum class InputKind : uint8_t {
  Set,          ///< signals take the value
  SetPosition,  ///< the value is the new absolute position
  AddPosition,  ///< the value moves the absolute position
  Keep,         ///< no signal: handed to the simulated firmware
};

/// One row of the table.
struct InputRule {
  uint32_t deviceTypes;  ///< bit per simulator device type the row applies to
  std::string_view name;
  InputKind kind;
  /// For positions: which absolute position of the device moves (the
  /// matching Raw and Add inputs share it), also its name in the state.
  std::string_view position;
  std::span<const SignalEffect> effects;
};

/// The rule of input `name` of a device type, or null when that type has no
/// such input.
const InputRule* FindInput(int32_t deviceType, std::string_view name);

/// The model text the runtime's device registry knows a simulator device
/// type by ("rapax q" for 5 ...), or "" for a type outside the table.
std::string_view ModelOfType(int32_t deviceType);

}  // namespace kvor::zephrin::runtime::sim
