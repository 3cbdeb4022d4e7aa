#pragma once

// Auklet2SimState feeds one simulated auklet 2 (an inertial measurement unit)
// with what it would measure: its supply voltage, its yaw, pitch and roll,
// and its angular velocities. Angles and rates cross in the IMU's own frame
// unchanged: the IMU has no mounting orientation here, so nothing is
// negated. Each call is one call into the runtime's simulator, which turns
// the inputs into the IMU's signals.
//
// A small copyable record holding only the device ID; copies address the
// same simulated device. The device's GetSimState() hands out the one it
// owns. Calls may come from any thread.

#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/units/Units.hpp>

namespace kvor::zephrin6::hardware::core {
class CoreAuklet2;
}  // namespace kvor::zephrin6::hardware::core

namespace kvor::zephrin6::sim {

class ZEPHRIN6_API Auklet2SimState {
  // The simulated device's ID, copied from the device at construction.
  int deviceId_;

 public:
  /// A record for `device`'s simulated IMU.
  explicit Auklet2SimState(const hardware::core::CoreAuklet2& device);

  /// The simulator's status of its most recent call for this device.
  kvor::zephrin::StatusCode GetLastStatusCode() const;

  /// Sets the supply voltage the IMU measures, volts. @return the simulator's status.
  kvor::zephrin::StatusCode SetSupplyVoltage(units::voltage::volt_t volts);
  /// Sets the absolute yaw, degrees. @return the simulator's status.
  kvor::zephrin::StatusCode SetRawYaw(units::angle::degree_t yaw);
  /// Turns the yaw by `deltaYaw` degrees. @return the simulator's status:
  /// InvalidParamValue, turning nothing, when the yaw would pass the
  /// largest double.
  kvor::zephrin::StatusCode AddYaw(units::angle::degree_t deltaYaw);
  /// Sets the pitch, degrees. @return the simulator's status.
  kvor::zephrin::StatusCode SetPitch(units::angle::degree_t pitch);
  /// Sets the roll, degrees. @return the simulator's status.
  kvor::zephrin::StatusCode SetRoll(units::angle::degree_t roll);
  /// Sets the angular velocity about the X axis, degrees per second. @return the simulator's status.
  kvor::zephrin::StatusCode SetAngularVelocityX(units::angular_velocity::degrees_per_second_t rate);
  /// Sets the angular velocity about the Y axis, degrees per second. @return the simulator's status.
  kvor::zephrin::StatusCode SetAngularVelocityY(units::angular_velocity::degrees_per_second_t rate);
  /// Sets the angular velocity about the Z axis, degrees per second. @return the simulator's status.
  kvor::zephrin::StatusCode SetAngularVelocityZ(units::angular_velocity::degrees_per_second_t rate);
};

}  // namespace kvor::zephrin6::sim
