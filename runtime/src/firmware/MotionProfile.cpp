#include "firmware/MotionProfile.hpp"

#include <algorithm>
#include <cmath>

namespace kvor::zephrin::runtime::firmware {
namespace {

double Sign(double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0); }

// The speed to have after a step of `dt` from `speed` so that the distance
// left after the step (moving at the mean of the two speeds) can still be
// braked away at `a`: v solves v^2 = 2a (distance - (speed + v) dt / 2).
// The continuous v^2 = 2a distance brakes a step late and overshoots.
double SpeedForNextStep(double distance, double speed, double a, double dt) {
  const double c = 2.0 * a * distance - a * dt * speed;
  if (c <= 0.0) return 0.0;
  const double h = a * dt / 2.0;
  return -h + std::sqrt(h * h + c);
}

// Stopping distance of the exponential brake a = -(V + kV v) / kA from v > 0.
double ExpoStoppingDistance(double v, double kV, double kA, double volts) {
  if (kV <= 0.0) return kA * v * v / (2.0 * volts);
  const double c = volts / kV;
  return kA / kV * (v - c * std::log1p(v / c));
}

// A profile this close to its target counts as arrived, rotations.
constexpr double kArrivedRotations = 1e-9;
// The longest smoothing window, steps (a very small jerk limit).
constexpr size_t kMaxWindow = 2000;
// The running sum of the window is added up afresh this often, so that
// rounding never accumulates.
constexpr size_t kResumEvery = 4096;

}  // namespace

void MotionProfile::Start(double position, double velocity) {
  started_ = true;
  running_ = true;
  position_ = position;
  velocity_ = velocity;
  acceleration_ = 0.0;
  smoothing_ = false;
}

void MotionProfile::Track(double target, double acceleration, double jerk, double dt) {
  const double gap = target - velocity_;
  double a = std::clamp(gap / dt, -acceleration, acceleration);
  if (jerk > 0.0) {
    // Ease the acceleration out so that the velocity lands on the target:
    // from acceleration a, ramping it down at the jerk limit still gains
    // a^2 / 2j + a dt / 2, which must not exceed the gap.
    const double h = jerk * dt / 2.0;
    const double easing = -h + std::sqrt(h * h + 2.0 * jerk * std::abs(gap));
    a = std::clamp(a, -easing, easing);
    a = std::clamp(a, acceleration_ - jerk * dt, acceleration_ + jerk * dt);
    a = std::clamp(a, -acceleration, acceleration);
    if ((gap > 0.0 && a * dt > gap) || (gap < 0.0 && a * dt < gap)) a = gap / dt;
  }
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
  }
}

void MotionProfile::StartWindow(size_t window, double dt) {
  // The window starts from where the profile is, as if it had been moving
  // at its present velocity all along.
  const double p = Position(), v = Velocity();
  positions_.assign(window, 0.0);
  velocities_.assign(window, v);
  for (size_t k = 0; k < window; ++k) positions_[k] = p - v * static_cast<double>(window - 1 - k) * dt;
  position_ = p;
  velocity_ = v;
  acceleration_ = 0.0;
  head_ = 0;
  stepsSinceResum_ = kResumEvery;  // add the sum up at the first step
  smoothing_ = true;
}

void MotionProfile::Smooth(double dt) {
  const size_t window = positions_.size();
  const double oldPosition = positions_[head_], oldVelocity = velocities_[head_];
  positions_[head_] = position_;
  velocities_[head_] = velocity_;
  head_ = (head_ + 1) % window;
  // Once the trapezoid has rested on one spot for a whole window the mean
  // is that spot exactly; otherwise the running sum (added up afresh now
  // and then, so that rounding never accumulates).
  settledSteps_ = (velocity_ == 0.0 && position_ == oldPosition) ? settledSteps_ + 1 : 0;
  if (++stepsSinceResum_ >= kResumEvery) {
    stepsSinceResum_ = 0;
    positionSum_ = 0.0;
    for (double x : positions_) positionSum_ += x;
  } else {
    positionSum_ += position_ - oldPosition;
  }
  const double span = static_cast<double>(window) * dt;
  if (settledSteps_ >= window) {
    smoothPosition_ = position_;
    smoothVelocity_ = smoothAcceleration_ = 0.0;
    return;
  }
  smoothPosition_ = positionSum_ / static_cast<double>(window);
  smoothVelocity_ = (position_ - oldPosition) / span;
  smoothAcceleration_ = (velocity_ - oldVelocity) / span;
}

void MotionProfile::StepPosition(double target, const ProfileLimits& limits, double dt) {
  if (limits.velocity <= 0.0 || limits.acceleration <= 0.0) {
    velocity_ = acceleration_ = 0.0;
    smoothing_ = false;
    running_ = Position() != target;
    return;
  }
  if (limits.jerk > 0.0) {
    const double steps = std::clamp(std::round(2.0 * limits.acceleration / limits.jerk / dt), 1.0,
                                    static_cast<double>(kMaxWindow));
    const auto window = static_cast<size_t>(steps);
    if (!smoothing_ || positions_.size() != window) StartWindow(window, dt);
  } else if (smoothing_) {
    Start(Position(), Velocity());
  }
  const double error = target - position_;
  if (error != 0.0 || velocity_ != 0.0) {
    const double direction = Sign(error);
    const double speed = std::min(limits.velocity, SpeedForNextStep(std::abs(error), std::max(direction * velocity_, 0.0),
                                                                    limits.acceleration, dt));
    Track(direction * speed, limits.acceleration, 0.0, dt);
    Land(target, error);
  } else {
    acceleration_ = 0.0;
  }
  if (smoothing_) Smooth(dt);
  running_ = Position() != target || Velocity() != 0.0;
}

void MotionProfile::StepExpo(double target, double kV, double kA, double volts, double cruise, double dt) {
  smoothing_ = false;
  const double error = target - position_;
  if (kA <= 0.0 || volts <= 0.0 || (error == 0.0 && velocity_ == 0.0)) {
    velocity_ = acceleration_ = 0.0;
    running_ = error != 0.0;
    return;
  }
  const double direction = Sign(error);
  const double speed = direction * velocity_;  // along the way to the target
  double a = 0.0;
  if (speed < 0.0) {
    a = direction * (volts - kV * speed) / kA;  // still moving away: brake at full
  } else if (speed > 0.0 && ExpoStoppingDistance(speed, kV, kA, volts) >= std::abs(error)) {
    a = -direction * (volts + kV * speed) / kA;
  } else {
    a = direction * (volts - kV * speed) / kA;
  }
  const double before = velocity_;
  velocity_ += a * dt;
  if (cruise > 0.0) velocity_ = std::clamp(velocity_, -cruise, cruise);
  acceleration_ = (velocity_ - before) / dt;
  position_ += 0.5 * (before + velocity_) * dt;
  Land(target, error);
  running_ = position_ != target || velocity_ != 0.0;
}

void MotionProfile::StepVelocity(double target, double acceleration, double jerk, double dt) {
  smoothing_ = false;
  if (acceleration <= 0.0) {
    acceleration_ = 0.0;
    position_ += velocity_ * dt;
  } else {
    Track(target, acceleration, jerk, dt);
  }
  running_ = velocity_ != target;
}

}  // namespace kvor::zephrin::runtime::firmware
