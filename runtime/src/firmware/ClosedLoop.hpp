#pragma once

// One closed loop of a simulated motor controller (a plain request's loop, or
// the average or difference loop of a differential request): proportional,
// integral and derivative terms on the error between a reference and the
// measured mechanism, plus the feed-forwards of the gain slot and the
// request. The derivative is taken as the reference's slope minus the
// measured rate, so a step in the reference gives no kick. The integral only
// grows while the output is not held at its limit in the error's direction.
// Outputs are in the request's output unit. Not thread-safe; one per axis.

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

class ClosedLoop {
 public:
  /// Forgets the integral (a new control mode or gain slot).
  void Reset() { integral_ = 0.0; }

  /// One step of `dt` seconds, every term written to `t`. `wrap` takes the
  /// shortest way around one rotation; `limit` is the largest output
  /// magnitude the device can apply. Writing into the caller's terms spares
  /// the motor a copy of them every step.
  void Step(const SlotGains& gains, const LoopReference& ref, const LoopMeasurement& meas, bool wrap, double limit,
            double dt, LoopTerms& t);

 private:
  double integral_ = 0.0;  ///< error integrated over time
};

}  // namespace kvor::zephrin::runtime::firmware
