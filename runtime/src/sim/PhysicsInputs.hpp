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

/// Every input by what it is, whatever device type has it: the simulated
/// firmware takes its inputs by this rather than by name.
enum class PhysicsInput : uint8_t {
  SupplyVoltage,
  ForwardLimit,
  ReverseLimit,
  RawRotorPosition,
  AddRotorPosition,
  RotorVelocity,
  RotorAcceleration,
  DeviceEnable,
  RawQuadraturePosition,
  AddQuadraturePosition,
  QuadratureVelocity,
  QuadratureAcceleration,
  PulseWidthPosition,
  PulseWidthVelocity,
  RawPosition,
  AddPosition,
  Velocity,
  MagnetHealth,
  RawYaw,
  AddYaw,
  Pitch,
  Roll,
  AngularVelocityX,
  AngularVelocityY,
  AngularVelocityZ,
  Distance,
};

/// The absolute input a move ("Add...") moves ("Raw..."), or `input` itself.
/// Inline: the simulator and the firmware ask it for every input of every step.
constexpr PhysicsInput AbsoluteOf(PhysicsInput input) {
  switch (input) {
    case PhysicsInput::AddRotorPosition: return PhysicsInput::RawRotorPosition;
    case PhysicsInput::AddQuadraturePosition: return PhysicsInput::RawQuadraturePosition;
    case PhysicsInput::AddPosition: return PhysicsInput::RawPosition;
    case PhysicsInput::AddYaw: return PhysicsInput::RawYaw;
    default: return input;
  }
}

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
  PhysicsInput input;
  /// For positions, the absolute position of the device that moves is
  /// AbsoluteOf(input): the matching Raw and Add inputs share it.
  InputKind kind;
  std::span<const SignalEffect> effects;
};

/// The rule of input `name` of a device type, or null when that type has no
/// such input.
const InputRule* FindInput(int32_t deviceType, std::string_view name);

/// The rows are indexed from 0 in a fixed order, so that a caller who sets
/// the same input every step looks its name up once (the index is the same
/// in every runtime). The index of `rule`, and the rule at `index` for a
/// device type (null when the index is out of range or names an input of
/// another type).
int32_t IndexOf(const InputRule& rule);
const InputRule* InputAt(int32_t deviceType, int32_t index);
/// How many rows the table has: indexes run from 0 below it.
int32_t InputCount();

/// The model text the runtime's device registry knows a simulator device
/// type by ("rapax q" for 5 ...), or "" for a type outside the table.
std::string_view ModelOfType(int32_t deviceType);

}  // namespace kvor::zephrin::runtime::sim
