#pragma once

// DistixSimState feeds one simulated distix (a distance sensor) with what it
// would measure: its supply voltage and the distance to the nearest target.
// Each call is one call into the runtime's simulator, which turns the inputs
// into the sensor's signals.
//
// A small copyable record holding only the device ID; copies address the
// same simulated device. The device's GetSimState() hands out the one it
// owns. Calls may come from any thread.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>

#include <units.h>

namespace kvor::zephrin6::hardware::core {
class CoreDistix;
}  // namespace kvor::zephrin6::hardware::core

namespace kvor::zephrin6::sim {

class ZEPHRIN6_API DistixSimState {
  // The simulated device's ID, copied from the device at construction.
  int deviceId_;

 public:
  /// A record for `device`'s simulated sensor.
  explicit DistixSimState(const hardware::core::CoreDistix& device);

  /// The simulator's status of its most recent call for this device.
  kvor::zephrin::StatusCode GetLastStatusCode() const;

  /// Sets the supply voltage the sensor measures, volts. @return the simulator's status.
  kvor::zephrin::StatusCode SetSupplyVoltage(units::voltage::volt_t volts);
  /// Sets the distance to the target, metres. @return the simulator's status.
  kvor::zephrin::StatusCode SetDistance(units::length::meter_t distance);
};

}  // namespace kvor::zephrin6::sim
