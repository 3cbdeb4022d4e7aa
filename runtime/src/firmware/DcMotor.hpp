#pragma once

// The brushless motor behind a simulated motor controller, as a DC motor:
// winding resistance R = nominal volts / stall current, back-EMF constant
// from the speed constant (volts per rotation per second = 60 / Kv), torque
// constant Kt. Everything is in the rotor's own sign convention. The bridge
// either leaves the windings open (coast), shorts them (brake), applies a
// voltage or regulates a current; the stator and supply current limits lower
// the applied voltage until the currents are within them. Without a physics
// model the rotor turns a bare rotor inertia with no outside torque, which
// the model integrates exactly over a step at constant applied voltage.
// Pure functions; thread-safe.

#include <algorithm>
#include <cmath>

namespace kvor::zephrin::runtime::firmware {

/// The constants of one motor.
struct MotorConstants {
  double kvRpmPerVolt;       ///< speed constant, RPM per volt
  double stallAmps;          ///< current at stall with nominal volts applied
  double rotorInertia;       ///< kg m^2, the load without a physics model
  double nominalVolts = 12.0;

  /// Newton-metres per ampere (consistent with the speed constant).
  double TorquePerAmp() const;
  double Resistance() const { return nominalVolts / stallAmps; }
  /// Back-EMF per rotation per second, volts.
  double VoltsPerTurnPerSecond() const { return 60.0 / kvRpmPerVolt; }
};

/// What the bridge does during a step.
enum class BridgeMode { Coast, Brake, Voltage, Current };

/// The bridge's demand in the rotor's sign convention.
struct BridgeDemand {
  BridgeMode mode = BridgeMode::Coast;
  double value = 0.0;       ///< volts (Voltage) or amperes (Current)
  double maxVolts = 0.0;    ///< largest voltage the bridge may apply (duty limit x supply)
  double statorLimit = 0.0;  ///< amperes, infinity when off
  double supplyLimit = 0.0;  ///< amperes, infinity when off
};

/// The electrical state that results.
struct MotorElectrical {
  double volts = 0.0;       ///< applied voltage (0 when coasting)
  double amps = 0.0;        ///< stator (torque) current
  double supplyAmps = 0.0;  ///< current drawn from the supply (negative when regenerating)
  bool statorLimited = false;
  bool supplyLimited = false;
};

/// The applied voltage and currents for `demand` at rotor speed
/// `turnsPerSecond` with `supplyVolts` at the controller. Inline: every
/// motor that drives solves it at every step, and a call would cost about
/// as much as the few lines of work.
[[gnu::always_inline]] inline MotorElectrical SolveMotor(const MotorConstants& motor, const BridgeDemand& demand,
                                                          double turnsPerSecond, double supplyVolts) {
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
    amps = (amps > 0.0 ? 1.0 : (amps < 0.0 ? -1.0 : 0.0)) * demand.statorLimit;
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

/// What moving the bare rotor of one motor through steps of one length
/// takes: the back-EMF constant, the rotor's time constant and its decay over
/// the step. They depend on nothing that changes, so a motor computes them
/// once rather than an exponential every step.
struct BareRotorStep {
  double seconds = 0.0;
  double voltsPerTurnPerSecond = 0.0;
  double tau = 0.0;    ///< seconds, J R / (Kt Ke)
  double decay = 0.0;  ///< exp(-seconds / tau)
};

/// The bare rotor of `motor` over steps of `seconds`.
BareRotorStep PrepareBareRotorStep(const MotorConstants& motor, double seconds);

/// Moves a bare rotor (position in rotations, velocity in rotations per
/// second) through one step with `volts` applied, or with the windings open
/// when `coasting`.
inline void IntegrateBareRotor(const BareRotorStep& step, double volts, bool coasting, double& position,
                               double& velocity) {
  if (coasting) {
    position += velocity * step.seconds;
    return;
  }
  // J dw/dt = Kt (V - Ke w) / R with w in radians per second: a first-order
  // lag towards the free speed V / Ke with time constant tau.
  const double freeSpeed = volts / step.voltsPerTurnPerSecond;  // rotations per second
  position += freeSpeed * step.seconds + (velocity - freeSpeed) * step.tau * (1.0 - step.decay);
  velocity = freeSpeed + (velocity - freeSpeed) * step.decay;
}

}  // namespace kvor::zephrin::runtime::firmware
