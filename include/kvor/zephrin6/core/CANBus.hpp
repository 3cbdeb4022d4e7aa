#pragma once

// CANBus names one CAN bus and asks the device runtime about it: whether it is
// a CAN FD bus (which lets several signals be sampled together) and how
// healthy it is right now. It is a small value holding a view of the bus
// name, not a copy: the text it was built from must outlive it (string
// literals always do). Pass it by value. Device classes accept a CANBus
// wherever they accept a bus name. The queries are thread-safe.

#include <kvor/zephrin6/core/CANBusStatus.hpp>

#include <string_view>
#include <kvor/zephrin6/Export.hpp>

namespace kvor::zephrin6 {

class ZEPHRIN6_API CANBus {
 public:
  /// The controller's own bus (the empty name), a classic CAN bus.
  constexpr CANBus() = default;
  /// Names the bus `name` ("" for the controller's own bus, any other name
  /// for a CAN FD bus). Does not copy the text.
  explicit constexpr CANBus(std::string_view name) : name_{name} {}
  /// Names the bus `name`, a NUL-terminated text that must outlive this
  /// object.
  explicit constexpr CANBus(const char* name) : name_{name} {}

  /// The bus name this object was built from.
  constexpr std::string_view GetName() const { return name_; }

  /// True when the runtime reports this bus as CAN FD; false for classic CAN,
  /// for any other network type and for a bus that is not attached.
  bool IsNetworkFD() const;

  /// The bus's current load and error counters. Never reports anything: an
  /// absent bus gives Status -10001 InvalidNetwork.
  CANBusStatus GetStatus() const;

 private:
  std::string_view name_;
};

}  // namespace kvor::zephrin6
