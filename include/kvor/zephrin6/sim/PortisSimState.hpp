#pragma once

// PortisSimState feeds one simulated portis (a digital-input and encoder
// interface) with its sensor supply voltage: one call into the runtime's
// simulator.
//
// A small copyable record holding only the device ID; copies address the
// same simulated device. The device's GetSimState() hands out the one it
// owns. Calls may come from any thread.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>

#include <units.h>

namespace kvor::zephrin6::hardware::core {
class CorePortis;
}  // namespace kvor::zephrin6::hardware::core

namespace kvor::zephrin6::sim {

class ZEPHRIN6_API PortisSimState {
  // The simulated device's ID, copied from the device at construction.
  int deviceId_;

 public:
  /// A record for `device`'s simulated interface.
  explicit PortisSimState(const hardware::core::CorePortis& device);

  /// The simulator's status of its most recent call for this device.
  kvor::zephrin::StatusCode GetLastStatusCode() const;

  /// Sets the supply voltage the interface measures, volts. @return the simulator's status.
  kvor::zephrin::StatusCode SetSupplyVoltage(units::voltage::volt_t volts);
};

}  // namespace kvor::zephrin6::sim
