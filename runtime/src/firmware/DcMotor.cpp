#include "firmware/DcMotor.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvor::zephrin::runtime::firmware {
double MotorConstants::TorquePerAmp() const { return VoltsPerTurnPerSecond() / (2.0 * std::numbers::pi); }

BareRotorStep PrepareBareRotorStep(const MotorConstants& motor, double seconds) {
  BareRotorStep step;
  step.seconds = seconds;
  step.voltsPerTurnPerSecond = motor.VoltsPerTurnPerSecond();
  const double keRadians = step.voltsPerTurnPerSecond / (2.0 * std::numbers::pi);
  step.tau = motor.rotorInertia * motor.Resistance() / (motor.TorquePerAmp() * keRadians);
  step.decay = std::exp(-seconds / step.tau);
  return step;
}

}  // namespace kvor::zephrin::runtime::firmware
