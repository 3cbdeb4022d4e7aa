#pragma once

// SimpleDifferentialMechanism drives a two-motor differential mechanism with
// one request that carries both setpoints: one of the single differential
// requests (DifferentialDutyCycle, DifferentialPositionVoltage, ...). Each
// SetControl passes the gate of DifferentialMechanismBase (configuration,
// faults), then sends the request to the leader as it is and the follow
// request to the follower. Nothing is allocated per command.
//
// Ownership and threads as DifferentialMechanismBase: it references its
// devices (they must outlive it), is not copyable, and is driven from one
// thread (the robot loop).

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/mechanisms/DifferentialMechanismBase.hpp>

namespace kvor::zephrin6::controls {
class DifferentialDutyCycle;
class DifferentialKinetraDutyCycle;
class DifferentialKinetraVoltage;
class DifferentialPositionDutyCycle;
class DifferentialPositionVoltage;
class DifferentialVelocityDutyCycle;
class DifferentialVelocityVoltage;
class DifferentialVoltage;
}  // namespace kvor::zephrin6::controls

namespace kvor::zephrin6::mechanisms {

class ZEPHRIN6_API SimpleDifferentialMechanism : public DifferentialMechanismBase {
 public:
  using StatusCode = kvor::zephrin::StatusCode;

  /// The constructors of DifferentialMechanismBase: leader, follower, whether
  /// the follower opposes the leader, then optionally the IMU with its axis or
  /// the encoder measuring the difference, and reset checks.
  using DifferentialMechanismBase::DifferentialMechanismBase;
  SimpleDifferentialMechanism(SimpleDifferentialMechanism&&) noexcept;
  ~SimpleDifferentialMechanism();

  // Every SetControl below runs BeforeControl() first and returns its status
  // when it refuses (the devices are then in neutral). Otherwise it sends the
  // request to the leader, then the follow request to the follower.
  // @return the leader's status when not OK, else the follower's; or the
  //         gate's -10027 MechanismFaulted or configuration failure.

  /// Sends `request` to the leader unchanged.
  StatusCode SetControl(controls::DifferentialDutyCycle request);
  /// Sends `request` to the leader unchanged.
  StatusCode SetControl(controls::DifferentialVoltage request);
  /// Sends `request` to the leader unchanged.
  StatusCode SetControl(controls::DifferentialPositionDutyCycle request);
  /// Sends `request` to the leader unchanged.
  StatusCode SetControl(controls::DifferentialPositionVoltage request);
  /// Sends `request` to the leader unchanged.
  StatusCode SetControl(controls::DifferentialVelocityDutyCycle request);
  /// Sends `request` to the leader unchanged.
  StatusCode SetControl(controls::DifferentialVelocityVoltage request);
  /// Sends `request` to the leader unchanged.
  StatusCode SetControl(controls::DifferentialKinetraDutyCycle request);
  /// Sends `request` to the leader unchanged.
  StatusCode SetControl(controls::DifferentialKinetraVoltage request);

 private:
  template <class Request>
  StatusCode Send(const Request& request);
};

}  // namespace kvor::zephrin6::mechanisms
