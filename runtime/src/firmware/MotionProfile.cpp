#include "firmware/MotionProfile.hpp"

#include <algorithm>
#include <cmath>

namespace kvor::zephrin::runtime::firmware {
namespace {

double Sign(double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0); }

// The highest speed from which the profile can still stop within `distance`:
// v^2 / 2a without a jerk limit; with one, the inverse of the stopping
// distance of an S-shaped brake that starts at zero acceleration.
double StoppableSpeed(double distance, double a, double j) {
  if (j <= 0.0) return std::sqrt(2.0 * a * distance);
  const double rampDistance = a * a * a / (j * j);  // braking that never reaches the full deceleration
  if (distance < rampDistance) return std::cbrt(distance * distance * j);
  const double b = a * a / j;
  return (-b + std::sqrt(b * b + 8.0 * a * distance)) / 2.0;
}

// Stopping distance of the exponential brake a = -(V + kV v) / kA from v > 0.
double ExpoStoppingDistance(double v, double kV, double kA, double volts) {
  if (kV <= 0.0) return kA * v * v / (2.0 * volts);
  const double c = volts / kV;
  return kA / kV * (v - c * std::log1p(v / c));
}

// Below these the profile counts as arrived: a thousandth of a step's travel.
constexpr double kArrivedRotations = 1e-9;

}  // namespace

void MotionProfile::Start(double position, double velocity) {
  started_ = true;
  running_ = true;
  position_ = position;
  velocity_ = velocity;
  acceleration_ = 0.0;
}

void MotionProfile::Track(double target, double acceleration, double jerk, double dt) {
  double a = (target - velocity_) / dt;
  if (jerk > 0.0) {
    // Ease the acceleration in and out so the velocity lands on the target.
    const double gap = target - velocity_;
    const double easing = Sign(gap) * std::min(acceleration, std::sqrt(2.0 * jerk * std::abs(gap)));
    a = std::clamp(std::clamp(a, -std::abs(easing), std::abs(easing)), acceleration_ - jerk * dt,
                   acceleration_ + jerk * dt);
  }
  a = std::clamp(a, -acceleration, acceleration);
  const double before = velocity_;
  velocity_ += a * dt;
  acceleration_ = a;
  position_ += 0.5 * (before + velocity_) * dt;
}

void MotionProfile::Land(double target, double errorBefore) {
  const double errorAfter = target - position_;
  if (Sign(errorAfter) != Sign(errorBefore) || std::abs(errorAfter) < kArrivedRotations) {
    position_ = target;
    velocity_ = 0.0;
    acceleration_ = 0.0;
    running_ = false;
  }
}

void MotionProfile::StepPosition(double target, const ProfileLimits& limits, double dt) {
  const double error = target - position_;
  if (!running_ && error == 0.0) return;
  running_ = true;
  if (limits.velocity <= 0.0 || limits.acceleration <= 0.0) {
    velocity_ = acceleration_ = 0.0;
    return;
  }
  const double speed = std::min(limits.velocity, StoppableSpeed(std::abs(error), limits.acceleration, limits.jerk));
  Track(Sign(error) * speed, limits.acceleration, limits.jerk, dt);
  Land(target, error);
}

void MotionProfile::StepExpo(double target, double kV, double kA, double volts, double cruise, double dt) {
  const double error = target - position_;
  if (!running_ && error == 0.0) return;
  running_ = true;
  if (kA <= 0.0 || volts <= 0.0) {
    velocity_ = acceleration_ = 0.0;
    return;
  }
  const double direction = Sign(error);
  const double speed = direction * velocity_;  // along the way to the target
  double a = 0.0;
  if (speed > 0.0 && ExpoStoppingDistance(speed, kV, kA, volts) >= std::abs(error)) {
    a = -direction * (volts + kV * speed) / kA;
  } else {
    a = direction * (volts - kV * std::max(speed, 0.0)) / kA;
    if (speed < 0.0) a = direction * (volts - kV * speed) / kA;  // still moving away: brake at full
  }
  const double before = velocity_;
  velocity_ += a * dt;
  if (cruise > 0.0) velocity_ = std::clamp(velocity_, -cruise, cruise);
  acceleration_ = (velocity_ - before) / dt;
  position_ += 0.5 * (before + velocity_) * dt;
  Land(target, error);
}

void MotionProfile::StepVelocity(double target, double acceleration, double jerk, double dt) {
  if (acceleration <= 0.0) {
    acceleration_ = 0.0;
    position_ += velocity_ * dt;
    running_ = velocity_ != target;
    return;
  }
  Track(target, acceleration, jerk, dt);
  running_ = velocity_ != target;
}

}  // namespace kvor::zephrin::runtime::firmware
