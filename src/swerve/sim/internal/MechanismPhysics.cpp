#include "swerve/sim/internal/MechanismPhysics.hpp"

#include <cmath>
#include <numbers>

namespace kvor::zephrin6::swerve::sim::internal {
namespace {

double Sign(double x) { return x > 0.0 ? 1.0 : -1.0; }

}  // namespace

MotorElectrics MotorElectrics::FromKv(double kvRpmPerVolt, double stallAmps, double nominalVolts) {
  const double voltsPerRadianPerSecond = 60.0 / (kvRpmPerVolt * 2.0 * std::numbers::pi);
  return {nominalVolts / stallAmps, voltsPerRadianPerSecond};
}

Motion step::Rare(const Mechanism& mechanism, const Drive& drive, double velocity, double seconds,
                 StepDecay& decay) {
  const double volts = drive.coasting ? 0.0 : drive.volts;
  double direction = 0.0;
  if (std::abs(velocity) > kAtRest) {
    direction = Sign(velocity);
  } else if (std::abs(volts) > mechanism.frictionVolts) {
    direction = Sign(volts);
    velocity = 0.0;
  } else {
    return {0.0, 0.0};  // static friction holds it
  }

  const double k = mechanism.accelerationPerVolt;
  const double friction = direction * mechanism.frictionVolts;
  if (drive.coasting) {
    // Only friction acts: a constant deceleration until the mechanism stops.
    const double acceleration = -k * friction;
    if (acceleration != 0.0 && -velocity / acceleration <= seconds) {
      return {velocity * (-velocity / acceleration) / 2.0, 0.0};
    }
    return {velocity * seconds + acceleration * seconds * seconds / 2.0, velocity + acceleration * seconds};
  }

  // dw/dt = k (u - friction) - b w: exponential approach to the free speed.
  const double b = mechanism.rate;
  const double freeSpeed = (volts - friction) / mechanism.backEmfPerVelocity;
  auto angleAfter = [&](double t) { return freeSpeed * t + (velocity - freeSpeed) * -std::expm1(-b * t) / b; };
  if (freeSpeed * direction < 0.0) {
    // Heading through zero: friction turns round there, so integrate up to
    // the stop and go on from rest.
    const double stopTime = -std::log(-freeSpeed / (velocity - freeSpeed)) / b;
    if (stopTime <= seconds) {
      const Motion rest = Step(mechanism, drive, 0.0, seconds - stopTime);
      return {angleAfter(stopTime) + rest.angle, rest.velocity};
    }
  }
  return Approach(mechanism, velocity, freeSpeed, seconds, decay);
}

}  // namespace kvor::zephrin6::swerve::sim::internal
