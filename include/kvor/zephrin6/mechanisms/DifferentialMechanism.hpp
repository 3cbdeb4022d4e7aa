#pragma once

// DifferentialMechanism drives a two-motor differential mechanism with two
// setpoints per command: a control request for the average of the two motors
// and one for their difference. Each SetControl overload passes the gate of
// DifferentialMechanismBase (configuration, faults), then sends the leader
// the compound request of that pair (Diff_<average>_<Position|Velocity>)
// and the follower its follow request.
//
// A steady control loop that keeps sending the same pair of request types
// allocates nothing: the mechanism keeps the compound of the last pair and
// assigns the new setpoints into it. Changing the pair builds one new
// compound.
//
// Ownership and threads as DifferentialMechanismBase: it references its
// devices (they must outlive it), is not copyable, and is driven from one
// thread (the robot loop).

#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/mechanisms/DifferentialMechanismBase.hpp>

#include <memory>

namespace kvor::zephrin6::controls {
class ControlRequest;
class DutyCycleOut;
class KinetraDutyCycle;
class KinetraTorqueCurrentFOC;
class KinetraVoltage;
class PositionDutyCycle;
class PositionTorqueCurrentFOC;
class PositionVoltage;
class TorqueCurrentFOC;
class VelocityDutyCycle;
class VelocityTorqueCurrentFOC;
class VelocityVoltage;
class VoltageOut;
}  // namespace kvor::zephrin6::controls

namespace kvor::zephrin6::mechanisms {

class ZEPHRIN6_API DifferentialMechanism : public DifferentialMechanismBase {
 public:
  using StatusCode = kvor::zephrin::StatusCode;

  /// The constructors of DifferentialMechanismBase: leader, follower, whether
  /// the follower opposes the leader, then optionally the IMU with its axis or
  /// the encoder measuring the difference, and reset checks.
  using DifferentialMechanismBase::DifferentialMechanismBase;
  DifferentialMechanism(DifferentialMechanism&&) noexcept;
  ~DifferentialMechanism();

  // Every SetControl below runs BeforeControl() first and returns its status
  // when it refuses (the devices are then in neutral). Otherwise it sends the
  // compound of its two requests to the leader, with the average request's
  // update frequency, then the follow request to the follower.
  // @return the leader's status when not OK, else the follower's; or the
  //         gate's -10027 MechanismFaulted or configuration failure.

  /// Sends Diff_DutyCycleOut_Position.
  StatusCode SetControl(controls::DutyCycleOut average, controls::PositionDutyCycle differential);
  /// Sends Diff_PositionDutyCycle_Position.
  StatusCode SetControl(controls::PositionDutyCycle average, controls::PositionDutyCycle differential);
  /// Sends Diff_VelocityDutyCycle_Position.
  StatusCode SetControl(controls::VelocityDutyCycle average, controls::PositionDutyCycle differential);
  /// Sends Diff_KinetraDutyCycle_Position.
  StatusCode SetControl(controls::KinetraDutyCycle average, controls::PositionDutyCycle differential);
  /// Sends Diff_DutyCycleOut_Velocity.
  StatusCode SetControl(controls::DutyCycleOut average, controls::VelocityDutyCycle differential);
  /// Sends Diff_PositionDutyCycle_Velocity.
  StatusCode SetControl(controls::PositionDutyCycle average, controls::VelocityDutyCycle differential);
  /// Sends Diff_VelocityDutyCycle_Velocity.
  StatusCode SetControl(controls::VelocityDutyCycle average, controls::VelocityDutyCycle differential);
  /// Sends Diff_KinetraDutyCycle_Velocity.
  StatusCode SetControl(controls::KinetraDutyCycle average, controls::VelocityDutyCycle differential);
  /// Sends Diff_VoltageOut_Position.
  StatusCode SetControl(controls::VoltageOut average, controls::PositionVoltage differential);
  /// Sends Diff_PositionVoltage_Position.
  StatusCode SetControl(controls::PositionVoltage average, controls::PositionVoltage differential);
  /// Sends Diff_VelocityVoltage_Position.
  StatusCode SetControl(controls::VelocityVoltage average, controls::PositionVoltage differential);
  /// Sends Diff_KinetraVoltage_Position.
  StatusCode SetControl(controls::KinetraVoltage average, controls::PositionVoltage differential);
  /// Sends Diff_VoltageOut_Velocity.
  StatusCode SetControl(controls::VoltageOut average, controls::VelocityVoltage differential);
  /// Sends Diff_PositionVoltage_Velocity.
  StatusCode SetControl(controls::PositionVoltage average, controls::VelocityVoltage differential);
  /// Sends Diff_VelocityVoltage_Velocity.
  StatusCode SetControl(controls::VelocityVoltage average, controls::VelocityVoltage differential);
  /// Sends Diff_KinetraVoltage_Velocity.
  StatusCode SetControl(controls::KinetraVoltage average, controls::VelocityVoltage differential);
  /// Sends Diff_TorqueCurrentFOC_Position.
  StatusCode SetControl(controls::TorqueCurrentFOC average, controls::PositionTorqueCurrentFOC differential);
  /// Sends Diff_PositionTorqueCurrentFOC_Position.
  StatusCode SetControl(controls::PositionTorqueCurrentFOC average, controls::PositionTorqueCurrentFOC differential);
  /// Sends Diff_VelocityTorqueCurrentFOC_Position.
  StatusCode SetControl(controls::VelocityTorqueCurrentFOC average, controls::PositionTorqueCurrentFOC differential);
  /// Sends Diff_KinetraTorqueCurrentFOC_Position.
  StatusCode SetControl(controls::KinetraTorqueCurrentFOC average, controls::PositionTorqueCurrentFOC differential);
  /// Sends Diff_TorqueCurrentFOC_Velocity.
  StatusCode SetControl(controls::TorqueCurrentFOC average, controls::VelocityTorqueCurrentFOC differential);
  /// Sends Diff_PositionTorqueCurrentFOC_Velocity.
  StatusCode SetControl(controls::PositionTorqueCurrentFOC average, controls::VelocityTorqueCurrentFOC differential);
  /// Sends Diff_VelocityTorqueCurrentFOC_Velocity.
  StatusCode SetControl(controls::VelocityTorqueCurrentFOC average, controls::VelocityTorqueCurrentFOC differential);
  /// Sends Diff_KinetraTorqueCurrentFOC_Velocity.
  StatusCode SetControl(controls::KinetraTorqueCurrentFOC average, controls::VelocityTorqueCurrentFOC differential);

 private:
  template <class Compound, class Average, class Differential>
  StatusCode SendCompound(Average&& average, Differential&& differential);

  // The compound built by the last SetControl; empty before the first.
  std::unique_ptr<controls::ControlRequest> lastCompound_;
};

}  // namespace kvor::zephrin6::mechanisms
