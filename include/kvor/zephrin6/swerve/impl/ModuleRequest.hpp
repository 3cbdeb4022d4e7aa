#pragma once

// ModuleRequest is what a swerve request hands each module once per control
// cycle: the wheel state to reach, an optional force to push with, how to
// drive and steer, and the control period. SwerveModuleImpl::Apply turns it
// into one control request per motor. A plain value with fluent With...
// setters; the defaults stop the wheel and hold azimuth 0 with open-loop
// voltage drive and position steering.

#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleTypes.hpp>

#include <units.h>

namespace kvor::zephrin6::swerve::impl {

struct ModuleRequest {
  /// Wheel speed (metres per second) and azimuth to reach.
  SwerveModuleState State;
  /// Force the wheel should push with along the robot's x axis, newtons.
  units::force::newton_t WheelForceFeedforwardX{0.0};
  /// Force the wheel should push with along the robot's y axis, newtons.
  units::force::newton_t WheelForceFeedforwardY{0.0};
  /// How the wheel is driven.
  swerve::DriveRequestType DriveRequest = swerve::DriveRequestType::OpenLoopVoltage;
  /// How the azimuth is turned.
  swerve::SteerRequestType SteerRequest = swerve::SteerRequestType::Position;
  /// Control period, seconds; 0 turns off the steer velocity feed-forward.
  units::time::second_t UpdatePeriod{0.0};
  /// Whether the motors commutate field-oriented where they can.
  bool EnableFOC = true;

  /// Sets State.
  ModuleRequest& WithState(const SwerveModuleState& state) {
    State = state;
    return *this;
  }
  /// Sets WheelForceFeedforwardX, newtons.
  ModuleRequest& WithWheelForceFeedforwardX(units::force::newton_t force) {
    WheelForceFeedforwardX = force;
    return *this;
  }
  /// Sets WheelForceFeedforwardY, newtons.
  ModuleRequest& WithWheelForceFeedforwardY(units::force::newton_t force) {
    WheelForceFeedforwardY = force;
    return *this;
  }
  /// Sets DriveRequest.
  ModuleRequest& WithDriveRequest(swerve::DriveRequestType type) {
    DriveRequest = type;
    return *this;
  }
  /// Sets SteerRequest.
  ModuleRequest& WithSteerRequest(swerve::SteerRequestType type) {
    SteerRequest = type;
    return *this;
  }
  /// Sets UpdatePeriod, seconds.
  ModuleRequest& WithUpdatePeriod(units::time::second_t period) {
    UpdatePeriod = period;
    return *this;
  }
  /// Sets EnableFOC.
  ModuleRequest& WithEnableFOC(bool enable) {
    EnableFOC = enable;
    return *this;
  }
};

}  // namespace kvor::zephrin6::swerve::impl
