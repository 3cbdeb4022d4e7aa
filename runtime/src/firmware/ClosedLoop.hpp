#pragma once

// One closed loop of a simulated motor controller (a plain request's loop, or
// the average or difference loop of a differential request): proportional,
// integral and derivative terms on the error between a reference and the
// measured mechanism, plus the feed-forwards of the gain slot and the
// request. The derivative is taken as the reference's slope minus the
// measured rate, so a step in the reference gives no kick. The integral only
// grows while the output is not held at its limit in the error's direction.
// Outputs are in the request's output unit. Not thread-safe; one per axis.

#include <cmath>
#include <numbers>

#include "firmware/MotorSettings.hpp"

namespace kvor::zephrin::runtime::firmware {

/// What the loop compares: a position reference with its velocity slope
/// (position loops), or a velocity reference with its acceleration slope.
struct LoopReference {
  bool isPosition = true;
  double reference = 0.0;      ///< rotations, or rotations per second
  double slope = 0.0;          ///< its derivative
  double acceleration = 0.0;   ///< the reference's acceleration (for kA)
  double feedForward = 0.0;    ///< the request's own feed-forward
};

/// What the loop measures of the mechanism.
struct LoopMeasurement {
  double position = 0.0;      ///< rotations
  double velocity = 0.0;      ///< rotations per second
  double acceleration = 0.0;  ///< rotations per second squared
};

/// The terms of one step, for the device's closed-loop signals.
struct LoopTerms {
  double proportional = 0.0, integrated = 0.0, derivative = 0.0, feedForward = 0.0, output = 0.0;
  double reference = 0.0, slope = 0.0, error = 0.0;
};

/// `x` less the whole number nearest to it (the even one of two), in
/// (-0.5, 0.5]: the same bits as std::remainder(x, 1.0), zero's sign
/// included, without the library call a continuous loop would pay at every
/// step. Below 2^52 in magnitude, adding and taking away 2^52 rounds to that
/// whole number, and the difference is exact (a multiple of x's last place,
/// at most half a turn); a zero difference takes x's sign. Larger numbers
/// are whole already, and infinities and NaN go to the library.
inline double WrapToHalfTurn(double x) {
  constexpr double kTwoTo52 = 4503599627370496.0;
  if (!(std::abs(x) < kTwoTo52)) return std::remainder(x, 1.0);
  const double whole = x >= 0.0 ? (x + kTwoTo52) - kTwoTo52 : (x - kTwoTo52) + kTwoTo52;
  const double wrapped = x - whole;
  return wrapped == 0.0 ? std::copysign(0.0, x) : wrapped;
}

class ClosedLoop {
 public:
  /// Forgets the integral (a new control mode or gain slot).
  void Reset() { integral_ = 0.0; }

  /// One step of `dt` seconds, every term written to `t`. `wrap` takes the
  /// shortest way around one rotation; `limit` is the largest output
  /// magnitude the device can apply. `knownFeedForward`, when given, is
  /// FeedForward's answer for this step, worked out beforehand. Writing into
  /// the caller's terms spares the motor a copy of them every step, and
  /// defining it here lets the motor's step inline it.
  [[gnu::always_inline]] void Step(const SlotGains& gains, const LoopReference& ref, const LoopMeasurement& meas,
                                   bool wrap, double limit, double dt, LoopTerms& t,
                                   const double* knownFeedForward = nullptr);

  /// The feed-forward of a step with the loop's `error` at the mechanism's
  /// `position`: the gains' velocity, acceleration, static and gravity terms
  /// and the request's own.
  static double FeedForward(const SlotGains& gains, const LoopReference& ref, double error, double position);
  /// Whether FeedForward with `gains` depends on the reference alone, so
  /// that a reference that stays the same keeps the same feed-forward.
  static bool FeedForwardFixed(const SlotGains& gains) { return !gains.closedLoopSignForKs && !gains.armCosine; }

 private:
  static double Sign(double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0); }

  double integral_ = 0.0;  ///< error integrated over time
};

inline double ClosedLoop::FeedForward(const SlotGains& gains, const LoopReference& ref, double error,
                                      double position) {
  const double velocityTarget = ref.isPosition ? ref.slope : ref.reference;
  const double staticSign = gains.closedLoopSignForKs ? Sign(error) : Sign(velocityTarget);
  const double gravity = gains.armCosine ? gains.kG * std::cos(2.0 * std::numbers::pi * position) : gains.kG;
  return gains.kV * velocityTarget + gains.kA * ref.acceleration + gains.kS * staticSign + gravity + ref.feedForward;
}

inline void ClosedLoop::Step(const SlotGains& gains, const LoopReference& ref, const LoopMeasurement& meas, bool wrap,
                             double limit, double dt, LoopTerms& t, const double* knownFeedForward) {
  t.reference = ref.reference;
  t.slope = ref.slope;
  double rateError = 0.0;
  if (ref.isPosition) {
    t.error = ref.reference - meas.position;
    if (wrap) t.error = WrapToHalfTurn(t.error);
    rateError = ref.slope - meas.velocity;
  } else {
    t.error = ref.reference - meas.velocity;
    rateError = ref.slope - meas.acceleration;
  }
  t.feedForward = knownFeedForward != nullptr ? *knownFeedForward : FeedForward(gains, ref, t.error, meas.position);
  t.proportional = gains.kP * t.error;
  t.derivative = gains.kD * rateError;

  const double grown = integral_ + t.error * dt;
  const double withGrown = t.proportional + gains.kI * grown + t.derivative + t.feedForward;
  // Integrate only while that does not push an output already at its limit
  // further the same way.
  if (!(std::abs(withGrown) > limit && Sign(withGrown) == Sign(t.error))) integral_ = grown;
  t.integrated = gains.kI * integral_;
  t.output = t.proportional + t.integrated + t.derivative + t.feedForward;
}

}  // namespace kvor::zephrin::runtime::firmware
