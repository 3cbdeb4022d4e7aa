#pragma once

// The three simulator calls every simulation state is made of, with the sign
// rule they share. Kept inline: each state operation is one of these.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin6/sim/ChassisReference.hpp>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kvor::zephrin6::sim::internal {

using kvor::zephrin::platform::DeviceType;

/// `value` in the device's convention: negated only when `orientation` holds -1.
inline double Oriented(ChassisReference orientation, double value) {
  return static_cast<int>(orientation) == -1 ? -value : value;
}

/// A physics input's name as a template argument.
template <std::size_t N>
struct InputName {
  constexpr InputName(const char (&name)[N]) { std::copy_n(name, N, text); }  // NOLINT: implicit by design
  constexpr std::string_view View() const { return {text, N - 1}; }
  char text[N];
};

/// Hands physics input `Name` of a device of type `Type` to the simulator
/// and returns its status unchanged. A physics model sets the same inputs
/// every step: the input's index is looked up by name once per (type, name),
/// the first time, so that no step pays for a search by name.
template <DeviceType Type, InputName Name>
kvor::zephrin::StatusCode SetInput(int deviceId, double value) {
  static const int32_t index = kvor::zephrin::platform::SimPhysicsInputIndex(Type, Name.View());
  return kvor::zephrin::StatusCode{kvor::zephrin::platform::SimSetPhysicsInputAt(Type, deviceId, index, value)};
}

/// Hands inputs `Names` of one device of type `Type` to the simulator in one
/// call, `values` in the same order (each in the device's convention), with
/// the simulator's status: a physics model that feeds a device several
/// inputs every step crosses into the runtime once for all of them.
template <DeviceType Type, InputName... Names>
kvor::zephrin::StatusCode SetInputs(int deviceId, const std::array<double, sizeof...(Names)>& values) {
  using kvor::zephrin::platform::SimInputValue;
  static const std::array<int32_t, sizeof...(Names)> indexes{
      kvor::zephrin::platform::SimPhysicsInputIndex(Type, Names.View())...};
  std::array<SimInputValue, sizeof...(Names)> inputs{};
  for (std::size_t i = 0; i < inputs.size(); ++i) inputs[i] = {indexes[i], values[i]};
  return kvor::zephrin::StatusCode{kvor::zephrin::platform::SimSetPhysicsInputsAt(Type, deviceId, inputs)};
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
