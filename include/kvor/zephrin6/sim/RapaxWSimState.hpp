#pragma once

// RapaxWSimState is the bridge between a physics model of the program's own
// and one simulated rapax w: the model feeds it what the motor's sensors see
// (supply voltage, rotor position and motion, limit switches, the external
// quadrature and pulse-width sensors wired to it) and reads back what the
// controller drives (motor voltage, currents). Each call is one call into the
// runtime's simulator; the runtime turns the inputs into the device's
// signals. Quadrature inputs cross as the edges the encoder counts.
//
// A small copyable record: it holds the device ID, the orientations and the
// encoder resolution, never a reference to the device object, so copies
// address the same simulated device and stay valid after the device object
// is gone (as long as the runtime knows the device). The device's
// GetSimState() hands out the one it owns. No lock of its own; calls may come
// from any thread, but changing a field while another thread uses the record
// is a data race.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/sim/ChassisReference.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::hardware::core {
class CoreRapaxW;
}  // namespace kvor::zephrin6::hardware::core

namespace kvor::zephrin6::sim {

class ZEPHRIN6_API RapaxWSimState {
  // The simulated device's ID, copied from the device at construction.
  int deviceId_;

 public:
  /// A record for `device`'s simulated motor and external sensor, mounted as
  /// `motorOrientation` and `sensorOrientation` say, with 4096 quadrature
  /// edges per rotation.
  explicit RapaxWSimState(const hardware::core::CoreRapaxW& device,
                          ChassisReference motorOrientation = ChassisReference::CounterClockwise_Positive,
                          ChassisReference sensorOrientation = ChassisReference::CounterClockwise_Positive);

  /// How the motor is mounted; read at every call, so a change applies to the next one.
  ChassisReference MotorOrientation;
  /// How the external sensor is mounted; read at every call.
  ChassisReference SensorOrientation;
  /// Edges the external quadrature encoder counts per rotation (4096 from the
  /// constructor); read at every call.
  int QuadratureEdgesPerRotation;

  /// The simulator's status of its most recent call for this device (for
  /// example 1200 SimDeviceNotFound when the runtime does not know it).
  kvor::zephrin::StatusCode GetLastStatusCode() const;

  /// Voltage the simulated controller applies to the motor, volts, negated
  /// for a Clockwise_Positive MotorOrientation. 0 when the simulator has none.
  units::voltage::volt_t GetMotorVoltage() const;
  /// Torque-producing current of the motor, amperes, negated for a
  /// Clockwise_Positive MotorOrientation. 0 when the simulator has none.
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
  /// Clockwise_Positive MotorOrientation). @return the simulator's status.
  kvor::zephrin::StatusCode SetRawRotorPosition(units::angle::turn_t position);
  /// Moves the rotor by `deltaPosition` turns (negated for a
  /// Clockwise_Positive MotorOrientation). @return the simulator's status:
  /// InvalidParamValue, moving nothing, when the rotor would pass the
  /// largest double.
  kvor::zephrin::StatusCode AddRotorPosition(units::angle::turn_t deltaPosition);
  /// Sets the rotor's velocity, turns per second (negated for a
  /// Clockwise_Positive MotorOrientation). @return the simulator's status.
  kvor::zephrin::StatusCode SetRotorVelocity(units::angular_velocity::turns_per_second_t velocity);
  /// Sets the rotor's acceleration, turns per second squared (negated for a
  /// Clockwise_Positive MotorOrientation). @return the simulator's status.
  kvor::zephrin::StatusCode SetRotorAcceleration(units::angular_acceleration::turns_per_second_squared_t acceleration);

  /// Sets the external quadrature encoder's absolute position, turns; passed
  /// as edges (turns x QuadratureEdgesPerRotation), negated for a
  /// Clockwise_Positive sensor. @return the simulator's status.
  kvor::zephrin::StatusCode SetRawQuadraturePosition(units::angle::turn_t position);
  /// Moves the quadrature encoder by `deltaPosition` turns, passed as edges
  /// and negated as above. @return the simulator's status:
  /// InvalidParamValue, moving nothing, when the edge count would pass the
  /// largest double.
  kvor::zephrin::StatusCode AddQuadraturePosition(units::angle::turn_t deltaPosition);
  /// Sets the quadrature encoder's velocity, turns per second, passed as edges
  /// per second and negated as above. @return the simulator's status.
  kvor::zephrin::StatusCode SetQuadratureVelocity(units::angular_velocity::turns_per_second_t velocity);
  /// Sets the quadrature encoder's acceleration, turns per second squared,
  /// passed as edges per second squared and negated as above.
  /// @return the simulator's status.
  kvor::zephrin::StatusCode SetQuadratureAcceleration(
      units::angular_acceleration::turns_per_second_squared_t acceleration);
  /// Sets the pulse-width sensor's position, turns (no edge scaling; negated
  /// for a Clockwise_Positive sensor). @return the simulator's status.
  kvor::zephrin::StatusCode SetPulseWidthPosition(units::angle::turn_t position);
  /// Sets the pulse-width sensor's velocity, turns per second (no edge
  /// scaling; negated as above). @return the simulator's status.
  kvor::zephrin::StatusCode SetPulseWidthVelocity(units::angular_velocity::turns_per_second_t velocity);
};

}  // namespace kvor::zephrin6::sim
