#pragma once

// RapaxQSimState is the bridge between a physics model of the program's own
// and one simulated rapax q: the model feeds it what the motor's sensors see
// (supply voltage, rotor position and motion, limit switches) and reads back
// what the controller drives (motor voltage, currents). Each call is one call
// into the runtime's simulator; the runtime turns the inputs into the
// device's signals.
//
// A small copyable record: it holds the device ID and the orientation, never
// a reference to the device object, so copies address the same simulated
// device and stay valid after the device object is gone (as long as the
// runtime knows the device). The device's GetSimState() hands out the one it
// owns. No lock of its own; calls may come from any thread, but changing
// Orientation while another thread uses the record is a data race.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/sim/ChassisReference.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::hardware::core {
class CoreRapaxQ;
}  // namespace kvor::zephrin6::hardware::core

namespace kvor::zephrin6::sim {

class ZEPHRIN6_API RapaxQSimState {
  // The simulated device's ID, copied from the device at construction.
  int deviceId_;

 public:
  /// A record for `device`'s simulated motor, mounted as `orientation` says.
  explicit RapaxQSimState(const hardware::core::CoreRapaxQ& device,
                          ChassisReference orientation = ChassisReference::CounterClockwise_Positive);

  /// How the motor is mounted; read at every call, so a change applies to the next one.
  ChassisReference Orientation;

  /// The simulator's status of its most recent call for this device (for
  /// example 1200 SimDeviceNotFound when the runtime does not know it).
  kvor::zephrin::StatusCode GetLastStatusCode() const;

  /// Voltage the simulated controller applies to the motor, volts, negated
  /// for a Clockwise_Positive motor. 0 when the simulator has none.
  units::voltage::volt_t GetMotorVoltage() const;
  /// Torque-producing current of the motor, amperes, negated for a
  /// Clockwise_Positive motor. 0 when the simulator has none.
  units::current::ampere_t GetTorqueCurrent() const;
  /// Current drawn from the supply, amperes; never negated. 0 when the simulator has none.
  units::current::ampere_t GetSupplyCurrent() const;

  /// Sets the supply voltage the controller measures, volts.
  /// @return the simulator's status (-1002 InvalidParamValue for a value that is not finite).
  kvor::zephrin::StatusCode SetSupplyVoltage(units::voltage::volt_t volts);
  /// Closes (true) or opens (false) the forward limit switch. @return the simulator's status.
  kvor::zephrin::StatusCode SetForwardLimit(bool closed);
  /// Closes (true) or opens (false) the reverse limit switch. @return the simulator's status.
  kvor::zephrin::StatusCode SetReverseLimit(bool closed);
  /// Sets the rotor's absolute position, turns (negated for a
  /// Clockwise_Positive motor). @return the simulator's status.
  kvor::zephrin::StatusCode SetRawRotorPosition(units::angle::turn_t position);
  /// Moves the rotor by `deltaPosition` turns (negated for a
  /// Clockwise_Positive motor). @return the simulator's status:
  /// InvalidParamValue, moving nothing, when the rotor would pass the
  /// largest double.
  kvor::zephrin::StatusCode AddRotorPosition(units::angle::turn_t deltaPosition);
  /// Sets the rotor's velocity, turns per second (negated for a
  /// Clockwise_Positive motor). @return the simulator's status.
  kvor::zephrin::StatusCode SetRotorVelocity(units::angular_velocity::turns_per_second_t velocity);
  /// Sets the rotor's acceleration, turns per second squared (negated for a
  /// Clockwise_Positive motor). @return the simulator's status.
  kvor::zephrin::StatusCode SetRotorAcceleration(units::angular_acceleration::turns_per_second_squared_t acceleration);
};

}  // namespace kvor::zephrin6::sim
