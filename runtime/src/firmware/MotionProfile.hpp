#pragma once

// The reference a profiled-motion request follows, generated step by step on
// the device: position, velocity and acceleration of the profile, moved each
// step towards the target within the limits. A position profile accelerates
// towards the cruise velocity and starts braking when the distance left
// equals its stopping distance (trapezoidal, or S-shaped with a jerk limit);
// an exponential profile accelerates along a motor's voltage-limited curve,
// a = (V - kV v) / kA, and brakes along the same curve; a velocity profile
// ramps the velocity. A profile whose velocity or acceleration limit is zero
// does not move. Not thread-safe; one per motor axis.

namespace kvor::zephrin::runtime::firmware {

/// Limits of a trapezoidal or S-shaped profile, rotations and seconds.
struct ProfileLimits {
  double velocity = 0.0;
  double acceleration = 0.0;
  double jerk = 0.0;  ///< 0: no jerk limit
};

class MotionProfile {
 public:
  /// Starts the profile from the mechanism's state.
  void Start(double position, double velocity);
  bool Started() const { return started_; }
  void Stop() { started_ = false; }

  /// One step of `dt` seconds towards `target` rotations.
  void StepPosition(double target, const ProfileLimits& limits, double dt);
  /// One step along the exponential profile: `volts` drive it, kV in volts
  /// per rotation per second, kA in volts per rotation per second squared,
  /// `cruise` caps the velocity when above 0.
  void StepExpo(double target, double kV, double kA, double volts, double cruise, double dt);
  /// One step of a velocity ramp towards `target` rotations per second.
  void StepVelocity(double target, double acceleration, double jerk, double dt);

  double Position() const { return position_; }
  double Velocity() const { return velocity_; }
  double Acceleration() const { return acceleration_; }
  /// False once a position profile sits on its target at rest, or a
  /// velocity ramp at its target.
  bool Running() const { return running_; }

 private:
  /// Moves the velocity towards `target` within the acceleration and jerk
  /// limits, then the position with the mean velocity of the step.
  void Track(double target, double acceleration, double jerk, double dt);
  /// Lands on `target` at rest when the last step crossed it.
  void Land(double target, double errorBefore);

  bool started_ = false;
  bool running_ = false;
  double position_ = 0.0, velocity_ = 0.0, acceleration_ = 0.0;
};

}  // namespace kvor::zephrin::runtime::firmware
