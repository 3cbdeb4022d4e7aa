#pragma once

// The reference a profiled-motion request follows, generated step by step on
// the device: position, velocity and acceleration of the profile, moved each
// step towards the target within the limits.
//
// A position profile is trapezoidal: it accelerates towards the cruise
// velocity and brakes so as to stop on the target (the braking speed is
// worked out for the discrete step, so it neither brakes late nor creeps).
// With a jerk limit the trapezoid is smoothed by a moving average over
// 2 a / j seconds, which bounds the change of acceleration by the jerk limit,
// keeps velocity and acceleration within theirs and still ends on the target
// at rest. An exponential profile accelerates along a motor's voltage-limited
// curve, a = (V - kV v) / kA, and brakes along the same curve; a velocity
// profile ramps the velocity (easing the acceleration in and out under a
// jerk limit). A profile whose velocity or acceleration limit is zero does
// not move. Not thread-safe; one per motor axis.

#include <cstddef>
#include <vector>

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

  double Position() const { return smoothing_ ? smoothPosition_ : position_; }
  double Velocity() const { return smoothing_ ? smoothVelocity_ : velocity_; }
  double Acceleration() const { return smoothing_ ? smoothAcceleration_ : acceleration_; }
  /// False once a position profile sits on its target at rest, or a
  /// velocity ramp at its target.
  bool Running() const { return running_; }

 private:
  /// Moves the velocity towards `target` within the acceleration and jerk
  /// limits, then the position with the mean velocity of the step.
  void Track(double target, double acceleration, double jerk, double dt);
  /// Lands on `target` at rest when the last step crossed it.
  void Land(double target, double errorBefore);
  /// Starts averaging the trapezoid over `window` steps.
  void StartWindow(size_t window, double dt);
  /// Takes the trapezoid's new step into the average.
  void Smooth(double dt);

  bool started_ = false;
  bool running_ = false;
  // The trapezoid (or the other profiles) itself.
  double position_ = 0.0, velocity_ = 0.0, acceleration_ = 0.0;
  // The jerk-limited profile: the trapezoid's recent positions and
  // velocities (oldest at head_) and their mean.
  bool smoothing_ = false;
  std::vector<double> positions_, velocities_;
  size_t head_ = 0;
  double positionSum_ = 0.0;
  size_t stepsSinceResum_ = 0;
  size_t settledSteps_ = 0;
  double smoothPosition_ = 0.0, smoothVelocity_ = 0.0, smoothAcceleration_ = 0.0;
};

}  // namespace kvor::zephrin::runtime::firmware
