#include "firmware/DcMotor.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvor::zephrin::runtime::firmware {
namespace {

double Sign(double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0); }

}  // namespace

double MotorConstants::TorquePerAmp() const { return VoltsPerTurnPerSecond() / (2.0 * std::numbers::pi); }

MotorElectrical SolveMotor(const MotorConstants& motor, const BridgeDemand& demand, double turnsPerSecond,
                           double supplyVolts) {
  MotorElectrical out;
  if (demand.mode == BridgeMode::Coast) return out;
  const double r = motor.Resistance();
  const double emf = motor.VoltsPerTurnPerSecond() * turnsPerSecond;
  const double maxVolts = std::max(0.0, demand.maxVolts);
  double volts = 0.0;
  switch (demand.mode) {
    case BridgeMode::Brake:
      volts = 0.0;
      break;
    case BridgeMode::Voltage:
      volts = std::clamp(demand.value, -maxVolts, maxVolts);
      break;
    case BridgeMode::Current: {
      const double amps = std::clamp(demand.value, -demand.statorLimit, demand.statorLimit);
      volts = std::clamp(emf + amps * r, -maxVolts, maxVolts);
      break;
    }
    case BridgeMode::Coast:
      break;
  }
  double amps = (volts - emf) / r;
  // The stator limit: the voltage that drives exactly the limit.
  if (std::abs(amps) > demand.statorLimit) {
    amps = Sign(amps) * demand.statorLimit;
    volts = emf + amps * r;
    out.statorLimited = true;
  }
  // The supply limit bounds the power drawn, volts x amps = supply x limit,
  // so the voltage solves volts^2 - emf volts - limit supply r = 0.
  if (supplyVolts > 0.0 && volts * amps > demand.supplyLimit * supplyVolts) {
    const double root = std::sqrt(emf * emf + 4.0 * demand.supplyLimit * supplyVolts * r);
    volts = volts > 0.0 ? (emf + root) / 2.0 : (emf - root) / 2.0;
    amps = (volts - emf) / r;
    out.supplyLimited = true;
  }
  out.volts = volts;
  out.amps = amps;
  out.supplyAmps = supplyVolts > 0.0 ? volts * amps / supplyVolts : 0.0;
  return out;
}

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
