#include "firmware/ClosedLoop.hpp"

#include <cmath>
#include <numbers>

namespace kvor::zephrin::runtime::firmware {
namespace {

double Sign(double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0); }

}  // namespace

void ClosedLoop::Step(const SlotGains& gains, const LoopReference& ref, const LoopMeasurement& meas, bool wrap,
                      double limit, double dt, LoopTerms& t) {
  t.reference = ref.reference;
  t.slope = ref.slope;
  double rateError = 0.0;
  if (ref.isPosition) {
    t.error = ref.reference - meas.position;
    if (wrap) t.error = std::remainder(t.error, 1.0);
    rateError = ref.slope - meas.velocity;
  } else {
    t.error = ref.reference - meas.velocity;
    rateError = ref.slope - meas.acceleration;
  }
  const double velocityTarget = ref.isPosition ? ref.slope : ref.reference;
  const double staticSign = gains.closedLoopSignForKs ? Sign(t.error) : Sign(velocityTarget);
  const double gravity = gains.armCosine ? gains.kG * std::cos(2.0 * std::numbers::pi * meas.position) : gains.kG;
  t.feedForward = gains.kV * velocityTarget + gains.kA * ref.acceleration + gains.kS * staticSign + gravity +
                  ref.feedForward;
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
