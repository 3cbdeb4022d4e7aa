#pragma once

// AngulonSimState feeds one simulated angulon (a magnetic absolute encoder)
// with what it would measure: its supply voltage, the position and velocity
// of the shaft it watches, and how well it sees its magnet. Each call is one
// call into the runtime's simulator, which turns the inputs into the
// encoder's signals.
//
// A small copyable record holding the device ID and the orientation, never a
// reference to the device object; copies address the same simulated device.
// The device's GetSimState() hands out the one it owns. No lock of its own;
// changing Orientation while another thread uses the record is a data race.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/signals/MagnetHealthValue.hpp>
#include <kvor/zephrin6/sim/ChassisReference.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::hardware::core {
class CoreAngulon;
}  // namespace kvor::zephrin6::hardware::core

namespace kvor::zephrin6::sim {

class ZEPHRIN6_API AngulonSimState {
  // The simulated device's ID, copied from the device at construction.
  int deviceId_;

 public:
  /// A record for `device`'s simulated encoder, mounted as `orientation` says.
  explicit AngulonSimState(const hardware::core::CoreAngulon& device,
                           ChassisReference orientation = ChassisReference::CounterClockwise_Positive);

  /// How the encoder is mounted; read at every call, so a change applies to the next one.
  ChassisReference Orientation;

  /// The simulator's status of its most recent call for this device.
  kvor::zephrin::StatusCode GetLastStatusCode() const;

  /// Sets the supply voltage the encoder measures, volts. @return the simulator's status.
  kvor::zephrin::StatusCode SetSupplyVoltage(units::voltage::volt_t volts);
  /// Sets the shaft's absolute position, turns (negated for a
  /// Clockwise_Positive encoder). @return the simulator's status.
  kvor::zephrin::StatusCode SetRawPosition(units::angle::turn_t position);
  /// Moves the shaft by `deltaPosition` turns (negated for a
  /// Clockwise_Positive encoder). @return the simulator's status:
  /// InvalidParamValue, moving nothing, when the shaft (or its re-zeroed
  /// Position) would pass the largest double.
  kvor::zephrin::StatusCode AddPosition(units::angle::turn_t deltaPosition);
  /// Sets the shaft's velocity, turns per second (negated for a
  /// Clockwise_Positive encoder). @return the simulator's status.
  kvor::zephrin::StatusCode SetVelocity(units::angular_velocity::turns_per_second_t velocity);
  /// Sets how well the encoder sees its magnet; the enumeration's number
  /// crosses as a double. @return the simulator's status.
  kvor::zephrin::StatusCode SetMagnetHealth(signals::MagnetHealthValue health);
};

}  // namespace kvor::zephrin6::sim
