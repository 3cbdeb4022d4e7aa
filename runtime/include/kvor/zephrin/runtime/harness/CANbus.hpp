#pragma once

// Harness control of the simulated CAN buses: override what kind of bus a
// name refers to, detach a bus, and set the load and error counters its
// status query reports. For tests, examples and tools; the product never
// includes this header. Reset() returns every bus to its default: present,
// classic CAN for "", CAN FD for every other name, idle with no errors.

#include <cstdint>
#include <string_view>
#include <kvor/zephrin/platform/Export.hpp>

namespace kvor::zephrin::runtime::harness {

/// What a bus status query reports (see platform/CANbus.hpp for the fields).
struct ZEPHRIN_RUNTIME_API BusStatus {
  float busUtilization = 0.0f;  ///< fraction of bus time in use, 0 to 1
  uint32_t busOffCount = 0;
  uint32_t txFullCount = 0;
  uint32_t receiveErrorCount = 0;
  uint32_t transmitErrorCount = 0;
};

/// Makes `bus` report `networkType` (1 classic CAN, 2 CAN FD, or any other
/// value a test wants to see) instead of the type its name implies.
ZEPHRIN_RUNTIME_API void SetBusNetworkType(std::string_view bus, int32_t networkType);
/// Attaches (true, the default) or detaches `bus`. A detached bus answers
/// both queries with InvalidNetwork.
ZEPHRIN_RUNTIME_API void SetBusPresent(std::string_view bus, bool present);
/// Sets the figures the status query of `bus` reports from now on.
ZEPHRIN_RUNTIME_API void SetBusStatus(std::string_view bus, const BusStatus& status);

}  // namespace kvor::zephrin::runtime::harness
