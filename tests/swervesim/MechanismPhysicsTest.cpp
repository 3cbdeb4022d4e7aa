// The motion of one simulated mechanism (a wheel or an azimuth) under a
// constant motor voltage: exact integration, friction and coasting.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "swerve/sim/internal/MechanismPhysics.hpp"

namespace {

using namespace kvor::zephrin6::swerve::sim::internal;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// A drive motor (500 RPM/V, 360 A at 12 V) turning a wheel through 6.75:1.
Mechanism Wheel(double inertia, double frictionVolts = 0.0) {
  return {MotorElectrics::FromKv(500.0, 360.0), 6.75, inertia, frictionVolts};
}

// Integrates with many tiny explicit steps, as a reference for the exact step.
Motion Reference(const Mechanism& m, const Drive& drive, double velocity, double seconds) {
  constexpr int kSteps = 200000;
  const double h = seconds / kSteps;
  Motion motion{0.0, velocity};
  for (int i = 0; i < kSteps; ++i) {
    const double moving = std::abs(motion.velocity) > 1e-12 ? std::copysign(1.0, motion.velocity) : 0.0;
    const double volts = drive.coasting ? 0.0 : drive.volts;
    if (moving == 0.0 && std::abs(volts) <= m.frictionVolts) {
      motion.velocity = 0.0;
      continue;
    }
    const double direction = moving != 0.0 ? moving : std::copysign(1.0, volts);
    const double emf = drive.coasting ? 0.0 : m.motor.torquePerAmp * m.gearRatio * motion.velocity;
    const double torque = m.gearRatio * m.motor.torquePerAmp * (volts - direction * m.frictionVolts - emf) /
                          m.motor.resistance;
    const double next = motion.velocity + torque / m.inertia * h;
    // Friction never pushes a mechanism backwards through zero.
    const bool stops = moving != 0.0 && next * moving < 0.0 && std::abs(volts) <= m.frictionVolts;
    motion.angle += (motion.velocity + (stops ? 0.0 : next)) / 2.0 * h;
    motion.velocity = stops ? 0.0 : next;
  }
  return motion;
}

// A step of any length matches a fine integration of the same motion: from
// rest, braking, reversing through zero against friction, coasting to a stop.
TEST(MechanismPhysics, StepMatchesAFineIntegration) {
  struct Case {
    const char* name;
    double inertia;
    double friction;
    Drive drive;
    double velocity;  // rad/s at the start
    double seconds;
  };
  const Case cases[] = {
      {"accelerating from rest", 0.025, 0.0, {6.0, false}, 0.0, 0.05},
      {"accelerating against friction", 0.025, 0.3, {6.0, false}, 0.0, 0.05},
      {"braking with 0 V", 0.025, 0.0, {0.0, false}, 40.0, 0.03},
      {"reversing through zero", 0.025, 0.3, {-6.0, false}, 10.0, 0.05},
      {"coasting to a stop", 0.025, 0.5, {0.0, true}, 3.0, 0.2},
      {"stopping where friction holds", 0.025, 0.5, {0.2, false}, 5.0, 0.2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Mechanism m = Wheel(c.inertia, c.friction);
    const Motion exact = Step(m, c.drive, c.velocity, c.seconds);
    const Motion reference = Reference(m, c.drive, c.velocity, c.seconds);
    EXPECT_NEAR(exact.angle, reference.angle, 1e-4 * (1.0 + std::abs(reference.angle)));
    EXPECT_NEAR(exact.velocity, reference.velocity, 1e-3 * (1.0 + std::abs(reference.velocity)));
  }
}

// The free speed follows from the speed constant alone, reached however long
// the step and however light the mechanism (no overshoot, no blow-up), and
// splitting a step changes nothing.
TEST(MechanismPhysics, ReachesTheFreeSpeedStablyAndSplitsExactly) {
  for (const double inertia : {1e-6, 0.004, 0.025}) {
    SCOPED_TRACE(inertia);
    const Mechanism m = Wheel(inertia);
    const double freeSpeed = 500.0 / 60.0 * 12.0 * kTwoPi / 6.75;  // rad/s of the wheel at 12 V
    const Motion long_ = Step(m, {12.0, false}, 0.0, 5.0);
    EXPECT_NEAR(long_.velocity, freeSpeed, 1e-9 * freeSpeed);
    EXPECT_TRUE(std::isfinite(long_.angle));

    Motion split{0.0, 0.0};
    for (int i = 0; i < 10; ++i) {
      const Motion piece = Step(m, {12.0, false}, split.velocity, 0.003);
      split = {split.angle + piece.angle, piece.velocity};
    }
    const Motion whole = Step(m, {12.0, false}, 0.0, 0.03);
    EXPECT_NEAR(split.angle, whole.angle, 1e-12 * (1.0 + whole.angle));
    EXPECT_NEAR(split.velocity, whole.velocity, 1e-9 * (1.0 + whole.velocity));
  }
}

// Friction holds a mechanism at rest until the voltage exceeds it, whichever
// the sign, and a coasting mechanism at rest stays there.
TEST(MechanismPhysics, StaticFrictionHoldsUntilExceeded) {
  const Mechanism m = Wheel(0.01, 0.25);
  for (const double volts : {0.25, -0.25, 0.1}) {
    SCOPED_TRACE(volts);
    const Motion held = Step(m, {volts, false}, 0.0, 0.1);
    EXPECT_EQ(held.angle, 0.0);
    EXPECT_EQ(held.velocity, 0.0);
  }
  EXPECT_EQ(Step(m, {0.0, true}, 0.0, 0.1).velocity, 0.0);
  EXPECT_GT(Step(m, {0.3, false}, 0.0, 0.1).velocity, 0.0);
  EXPECT_LT(Step(m, {-0.3, false}, 0.0, 0.1).velocity, 0.0);
}

// Exponentials kept from one step serve the next only for the same
// mechanism and step length: a kept decay handed steps of other lengths, of
// another mechanism, or ones that reverse through zero gives the results of
// a fresh step to the bit, and so does the full step that the usual one
// leaves the rarer cases to.
TEST(MechanismPhysics, KeptDecayGivesTheFreshResults) {
  const Mechanism light = Wheel(0.01, 0.2);
  const Mechanism heavy = Wheel(0.05, 0.2);
  struct Call {
    const Mechanism* mechanism;
    Drive drive;
    double velocity;
    double seconds;
  };
  const Call calls[] = {
      {&light, {6.0, false}, 0.0, 0.001},   {&light, {6.0, false}, 10.0, 0.001}, {&light, {6.0, false}, 20.0, 0.002},
      {&heavy, {6.0, false}, 20.0, 0.002},  {&heavy, {-3.0, false}, 5.0, 0.002}, {&heavy, {-3.0, true}, 5.0, 0.002},
      {&heavy, {-12.0, false}, 1.0, 0.002}, {&light, {6.0, false}, 30.0, 0.001},
  };
  StepDecay kept;
  for (const Call& c : calls) {
    SCOPED_TRACE(c.seconds);
    const Motion fresh = Step(*c.mechanism, c.drive, c.velocity, c.seconds);
    const Motion reused = Step(*c.mechanism, c.drive, c.velocity, c.seconds, kept);
    EXPECT_EQ(reused.angle, fresh.angle);
    EXPECT_EQ(reused.velocity, fresh.velocity);
    // The inline step and the full one agree to the bit, whichever case it is.
    StepDecay fullDecay;
    const Motion full = step::Rare(*c.mechanism, c.drive, c.velocity, c.seconds, fullDecay);
    EXPECT_EQ(full.angle, fresh.angle);
    EXPECT_EQ(full.velocity, fresh.velocity);
  }
}

}  // namespace
