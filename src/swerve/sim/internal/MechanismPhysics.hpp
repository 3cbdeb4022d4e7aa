#pragma once

// The physics of one motor-driven mechanism of a simulated swerve module (a
// wheel or an azimuth): a brushless motor, seen as a DC motor, turns an
// inertia through a gear ratio against a friction that costs a fixed voltage.
// Functions over plain numbers (what a step keeps for the next one belongs
// to its caller), thread-safe.
//
// Between two firmware steps the controller holds its output voltage, so the
// motion obeys J dw/dt = G Kt (u - Ke G w) / R, a first-order lag towards
// the free speed. It is integrated exactly over a step, which stays right
// (and stable) for any step length, however small the inertia. Friction
// takes its voltage in the direction of motion, or holds the mechanism at
// rest while the drive does not exceed it.

#include <cmath>
#include <limits>

namespace kvor::zephrin6::swerve::sim::internal {

/// The electrical constants of a motor.
struct MotorElectrics {
  /// Winding resistance, ohms.
  double resistance = 0.0;
  /// Torque per ampere, newton-metres; equal to the back-EMF per radian per
  /// second in volts for an ideal motor.
  double torquePerAmp = 0.0;

  /// The constants of a motor with speed constant `kvRpmPerVolt` (RPM per
  /// volt) that draws `stallAmps` at stall with `nominalVolts` applied.
  static MotorElectrics FromKv(double kvRpmPerVolt, double stallAmps, double nominalVolts = 12.0);
};

/// One mechanism: its motor, gearing, inertia and friction, and what a
/// step needs of them, worked out once when it is made (so its constants
/// are set only by constructing it anew).
struct Mechanism {
  Mechanism() = default;
  Mechanism(MotorElectrics motor_, double gearRatio_, double inertia_, double frictionVolts_)
      : motor(motor_),
        gearRatio(gearRatio_),
        inertia(inertia_),
        frictionVolts(frictionVolts_),
        accelerationPerVolt(gearRatio * motor.torquePerAmp / (motor.resistance * inertia)),
        backEmfPerVelocity(motor.torquePerAmp * gearRatio),
        rate(accelerationPerVolt * backEmfPerVelocity) {}

  MotorElectrics motor;
  /// Motor rotations per mechanism rotation.
  double gearRatio = 1.0;
  /// Inertia of the mechanism as its output shaft sees it, kg m^2.
  double inertia = 0.0;
  /// Voltage the friction costs while moving, volts (0 or more).
  double frictionVolts = 0.0;

  /// Acceleration per volt at the windings, radians per second squared.
  double accelerationPerVolt = 0.0;
  /// Back-EMF per radian per second of the mechanism, volts.
  double backEmfPerVelocity = 0.0;
  /// How fast the back-EMF pulls the mechanism to its free speed, per second.
  double rate = 0.0;
};

/// How the controller drives the motor during a step.
struct Drive {
  /// Voltage across the windings, volts; for a wheel whose motor also turns
  /// with the azimuth (coupling), already less the back-EMF of that motion.
  double volts = 0.0;
  /// The windings are open (coast): no electrical torque, only friction.
  bool coasting = false;
};

/// The mechanism's motion over a step.
struct Motion {
  /// Angle turned during the step, radians of the mechanism.
  double angle = 0.0;
  /// Angular velocity at the end of the step, radians per second.
  double velocity = 0.0;
};

/// How much of its lag a driven mechanism makes up over one step length,
/// kept between steps: a simulation steps by the same length again and
/// again, and the two exponentials of that length are the dearest part of a
/// step. Holds the values for the last (rate, length) asked; starts empty.
struct StepDecay {
  double rate = std::numeric_limits<double>::quiet_NaN();
  double seconds = std::numeric_limits<double>::quiet_NaN();
  double remaining = 0.0;  ///< exp(-rate seconds)
  double madeUp = 0.0;     ///< -expm1(-rate seconds), 1 - remaining without its rounding
};

namespace step {
/// Slower than this, radians per second, a mechanism counts as at rest:
/// static friction decides whether it starts to move.
inline constexpr double kAtRest = 1e-9;
/// Step, for any case: Step leaves it those of a mechanism at rest, coasting
/// or heading through zero.
Motion Rare(const Mechanism& mechanism, const Drive& drive, double velocity, double seconds, StepDecay& decay);
/// The end of a driven step: the exponential approach from `velocity` to
/// `freeSpeed` (dw/dt = k (u - friction) - rate w) over `seconds`.
inline Motion Approach(const Mechanism& mechanism, double velocity, double freeSpeed, double seconds,
                       StepDecay& decay) {
  const double b = mechanism.rate;
  if (!(decay.rate == b && decay.seconds == seconds)) {
    decay = {b, seconds, std::exp(-b * seconds), -std::expm1(-b * seconds)};
  }
  return {freeSpeed * seconds + (velocity - freeSpeed) * decay.madeUp / b,
          freeSpeed + (velocity - freeSpeed) * decay.remaining};
}
}  // namespace step

/// Integrates the mechanism from `velocity` (radians per second) through
/// `seconds` of `drive`. The mechanism must have a positive inertia, gear
/// ratio and motor constants. `decay` keeps the exponentials of a step of
/// `seconds` for the next call with the same mechanism; the results are the
/// same to the bit with a fresh one.
///
/// Inline for the step a simulation takes nearly always, a driven
/// mechanism that moves on in its direction; the other cases are out of line.
inline Motion Step(const Mechanism& mechanism, const Drive& drive, double velocity, double seconds,
                   StepDecay& decay) {
  if (drive.coasting || !(std::abs(velocity) > step::kAtRest)) {
    return step::Rare(mechanism, drive, velocity, seconds, decay);
  }
  const double direction = velocity > 0.0 ? 1.0 : -1.0;
  const double freeSpeed = (drive.volts - direction * mechanism.frictionVolts) / mechanism.backEmfPerVelocity;
  if (freeSpeed * direction < 0.0) return step::Rare(mechanism, drive, velocity, seconds, decay);
  return step::Approach(mechanism, velocity, freeSpeed, seconds, decay);
}
/// Step without keeping anything.
inline Motion Step(const Mechanism& mechanism, const Drive& drive, double velocity, double seconds) {
  StepDecay decay;
  return Step(mechanism, drive, velocity, seconds, decay);
}

/// The stator current (amperes) the motor draws with `volts` across it while
/// the mechanism turns at `velocity` (radians per second), friction aside.
inline double Current(const Mechanism& mechanism, double volts, double velocity) {
  return (volts - mechanism.backEmfPerVelocity * velocity) / mechanism.motor.resistance;
}

/// The mechanism velocity (radians per second) at which the motor draws
/// exactly `amps` with `volts` across it.
inline double VelocityAtCurrent(const Mechanism& mechanism, double volts, double amps) {
  return (volts - amps * mechanism.motor.resistance) / mechanism.backEmfPerVelocity;
}

}  // namespace kvor::zephrin6::swerve::sim::internal
