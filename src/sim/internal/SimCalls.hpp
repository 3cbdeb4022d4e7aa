#pragma once

// The three simulator calls every simulation state is made of, with the sign
// rule they share. Kept inline: each state operation is one of these.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin6/sim/ChassisReference.hpp>

#include <algorithm>
#include <initializer_list>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

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

/// The simulator's index of physics input `Name` of device type `Type`. A
/// physics model sets the same inputs every step: the index is looked up by
/// name once per (type, name), the first time, so that no step pays for a
/// search by name.
template <DeviceType Type, InputName Name>
int32_t InputIndex() {
  static const int32_t index = kvor::zephrin::platform::SimPhysicsInputIndex(Type, Name.View());
  return index;
}

/// Hands physics input `Name` of a device of type `Type` to the simulator
/// and returns its status unchanged.
template <DeviceType Type, InputName Name>
kvor::zephrin::StatusCode SetInput(int deviceId, double value) {
  return kvor::zephrin::StatusCode{
      kvor::zephrin::platform::SimSetPhysicsInputAt(Type, deviceId, InputIndex<Type, Name>(), value)};
}

/// The physics inputs of several devices, handed to the simulator in one
/// call: a physics model that feeds a whole mechanism every step crosses
/// into the runtime once for all its devices (each one's inputs in its
/// device's convention).
///
/// Such a model feeds the same devices with the same inputs in the same
/// order every step, so the batch is laid out once (Place) and a step only
/// writes the values (Set) before it Sends them all.
class InputBatch {
 public:
  /// Adds inputs `Names` of device (`Type`, `deviceId`) to every Send, each
  /// 0 until Set, and returns the place of its first value; the others
  /// follow it in the order of `Names`.
  template <DeviceType Type, InputName... Names>
  std::size_t Place(int deviceId) {
    const std::size_t first = values_.size();
    for (const int32_t index : {InputIndex<Type, Names>()...}) values_.push_back({index, 0.0});
    devices_.push_back({Type, deviceId, {}});
    counts_.push_back(sizeof...(Names));
    // values_ may have moved: every device points at its values anew.
    for (std::size_t i = 0, at = 0; i < devices_.size(); at += counts_[i++]) {
      devices_[i].inputs = std::span<const kvor::zephrin::platform::SimInputValue>(values_).subspan(at, counts_[i]);
    }
    return first;
  }
  /// Sets the value at `place` (Place's result, plus the input's position among its device's).
  void Set(std::size_t place, double value) { values_[place].value = value; }
  /// Hands every placed input, with its value, to the simulator. A device's
  /// refused input is its last error, which its simulation state reports
  /// (GetLastStatusCode), so the statuses are not kept here.
  void Send() { kvor::zephrin::platform::SimSetDevicesPhysicsInputs(devices_); }

 private:
  std::vector<kvor::zephrin::platform::SimInputValue> values_;
  std::vector<kvor::zephrin::platform::SimDeviceInputs> devices_;
  std::vector<std::size_t> counts_;  // how many of values_ each device has
};

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
