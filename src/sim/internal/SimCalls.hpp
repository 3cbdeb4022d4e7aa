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
/// Such a model adds the same devices with the same inputs in the same
/// order every step, so the batch keeps its layout from one Send to the
/// next and an Add that repeats the last batch's at its place only writes
/// the values; the first Add that differs lays the rest out anew.
class InputBatch {
 public:
  /// Adds inputs `Names` of device (`Type`, `deviceId`), `values` in the same order.
  template <DeviceType Type, InputName... Names>
  void Add(int deviceId, const std::array<double, sizeof...(Names)>& values) {
    const std::array<int32_t, sizeof...(Names)> indexes{InputIndex<Type, Names>()...};
    if (!Repeats(Type, deviceId, indexes)) {
      devices_.resize(added_);
      values_.resize(used_);
      for (const int32_t index : indexes) values_.push_back({index, 0.0});
      devices_.push_back({Type, deviceId, std::span<const kvor::zephrin::platform::SimInputValue>()});
      counts_.resize(added_);
      counts_.push_back(indexes.size());
      laidOut_ = false;
    }
    for (std::size_t i = 0; i < values.size(); ++i) values_[used_ + i].value = values[i];
    used_ += values.size();
    ++added_;
  }
  /// Hands every input added since the last Send to the simulator. A
  /// device's refused input is its last error, which its simulation state
  /// reports (GetLastStatusCode), so the statuses are not kept here.
  void Send() {
    if (added_ != devices_.size()) {
      devices_.resize(added_);
      values_.resize(used_);
      counts_.resize(added_);
      laidOut_ = false;
    }
    if (!laidOut_) {
      for (std::size_t i = 0, first = 0; i < devices_.size(); first += counts_[i++]) {
        devices_[i].inputs = std::span<const kvor::zephrin::platform::SimInputValue>(values_).subspan(first, counts_[i]);
      }
      laidOut_ = true;
    }
    kvor::zephrin::platform::SimSetDevicesPhysicsInputs(devices_);
    added_ = 0;
    used_ = 0;
  }

 private:
  /// Whether the device added next stands where the last batch had the same
  /// device with the same inputs.
  template <std::size_t N>
  bool Repeats(DeviceType type, int deviceId, const std::array<int32_t, N>& indexes) const {
    if (added_ >= devices_.size() || devices_[added_].deviceType != type || devices_[added_].deviceId != deviceId ||
        counts_[added_] != N) {
      return false;
    }
    for (std::size_t i = 0; i < N; ++i) {
      if (values_[used_ + i].inputIndex != indexes[i]) return false;
    }
    return true;
  }

  std::vector<kvor::zephrin::platform::SimInputValue> values_;
  std::vector<kvor::zephrin::platform::SimDeviceInputs> devices_;
  std::vector<std::size_t> counts_;  // how many of values_ each device has
  std::size_t added_ = 0;            // devices added since the last Send
  std::size_t used_ = 0;             // their values
  bool laidOut_ = false;             // whether devices_ point at their values
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
