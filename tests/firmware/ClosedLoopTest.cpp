// Closed loops of the simulated motor controller against hand calculations:
// a position loop on a known plant, a velocity loop with only its velocity
// feed-forward, and profiled motion within its limits.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "firmware/ClosedLoop.hpp"
#include "firmware/FirmwareFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using namespace kvor::zephrin6::configs;
using namespace kvor::zephrin6::controls;
using kvor::zephrin6::hardware::core::CoreRapaxQ;
using namespace units::literals;
using kvor::zephrin6::signals::GravityTypeValue;
using kvor::zephrin6::signals::StaticFeedforwardSignValue;
using units::angular_velocity::turns_per_second_t;

class ClosedLoopTest : public zephrin_test::FirmwareTest {};

// A position step on a plant whose acceleration is proportional to the motor
// voltage (a = g V, the test's own physics) closes the loop
//   x'' + g kD x' + g kP x = g kP target,
// a second-order system with wn^2 = g kP and 2 zeta wn = g kD, whose step
// overshoots by exp(-pi zeta / sqrt(1 - zeta^2)). The firmware's 1 ms steps
// and the one-step delay of the physics add less than half a point.
TEST_F(ClosedLoopTest, PositionStepOvershootsAsTheSecondOrderModelPredicts) {
  constexpr double g = 10.0;  // turns per second squared per volt
  constexpr double kP = 4.0;  // volts per turn
  const double wn = std::sqrt(g * kP);
  for (double zeta : {0.3, 0.5, 0.7}) {
    SCOPED_TRACE(zeta);
    kvor::zephrin::runtime::harness::Reset();
    kvor::zephrin::runtime::harness::UseManualClock(1.0);
    CoreRapaxQ motor(1, "can");
    auto& sim = motor.GetSimState();
    auto& position = motor.GetPosition();
    ASSERT_EQ(position.SetUpdateFrequency(1000_Hz), StatusCode::OK);  // a frame every step
    Configure(motor, Slot0Configs{}.WithkP(kP).WithkD(2.0 * zeta * wn / g));
    ASSERT_EQ(motor.SetControl(PositionVoltage{1_tr}), StatusCode::OK);

    double x = 0.0, v = 0.0, peak = 0.0;
    // The plant moves through each step with the voltage the firmware applied.
    auto plant = [&] {
      const double a = g * sim.GetMotorVoltage().value();
      x += v * kStep + 0.5 * a * kStep * kStep;
      v += a * kStep;
      sim.SetRawRotorPosition(units::angle::turn_t{x});
      sim.SetRotorVelocity(turns_per_second_t{v});
    };
    Run(3.0, [&] {
      plant();
      peak = std::max(peak, position.Refresh().GetValue().value());
    });
    const double predicted = std::exp(-std::numbers::pi * zeta / std::sqrt(1.0 - zeta * zeta));
    EXPECT_NEAR(peak - 1.0, predicted, 0.005);
    // Settled on the target, with the loop reporting what it compares.
    Run(5.0, plant);
    EXPECT_NEAR(motor.GetPosition().GetValue().value(), 1.0, 1e-4);
    EXPECT_EQ(motor.GetClosedLoopReference().GetValue(), 1.0);
    EXPECT_NEAR(motor.GetClosedLoopError().GetValue(), 0.0, 1e-4);
    EXPECT_EQ(motor.GetControlMode().GetValue().value, 12);  // PositionVoltage
  }
}

// With only kV the loop applies kV x target, and a motor turning freely
// settles where its back-EMF equals that voltage: at target x kV x Kv / 60
// rotor turns per second. Choosing kV = 60 / Kv (per mechanism turn, times
// the gear ratio) therefore reaches the target exactly, in volts or in duty
// cycle, through the sensor-to-mechanism ratio.
TEST_F(ClosedLoopTest, VelocityLoopWithOnlyKvReachesTheSpeedTheMotorConstantPredicts) {
  struct Case {
    const char* name;
    bool dutyCycle;
    double ratio;
    double target;  // mechanism turns per second
  };
  const Case cases[] = {{"voltage, direct", false, 1.0, 40.0},
                        {"voltage, geared", false, 4.0, -15.0},
                        {"duty cycle, geared", true, 3.0, 12.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    kvor::zephrin::runtime::harness::Reset();
    kvor::zephrin::runtime::harness::UseManualClock(1.0);
    CoreRapaxQ motor(2, "can");
    const double kv = motor.GetMotorKV().GetValue().value();  // RPM per volt
    ASSERT_GT(kv, 0.0);
    double kV = 60.0 / kv * c.ratio;  // volts per mechanism turn per second
    if (c.dutyCycle) kV /= 12.0;      // of a 12 V supply
    Configure(motor, FeedbackConfigs{}.WithSensorToMechanismRatio(c.ratio));
    Configure(motor, Slot0Configs{}.WithkV(kV));
    if (c.dutyCycle) {
      ASSERT_EQ(motor.SetControl(VelocityDutyCycle{turns_per_second_t{c.target}}), StatusCode::OK);
    } else {
      ASSERT_EQ(motor.SetControl(VelocityVoltage{turns_per_second_t{c.target}}), StatusCode::OK);
    }
    kvor::zephrin::runtime::harness::AdvanceTime(2.0);
    EXPECT_NEAR(motor.GetVelocity().GetValue().value(), c.target, 1e-6);
    EXPECT_NEAR(motor.GetRotorVelocity().GetValue().value(), c.target * c.ratio, 1e-5);
    EXPECT_NEAR(motor.GetClosedLoopFeedForward().GetValue(), kV * c.target, 1e-12);
  }
}

// The loop's reference and feed-forward follow every change of what they are
// made of, between any two steps: the request's target, acceleration and own
// feed-forward, the gain slot it picks, the slot's gains, and gains whose
// terms depend on the position (an arm's gravity) or the error (the static
// term's sign), and back. Each frame's feed-forward is kV x velocity target
// + kA x acceleration + kS x sign + gravity + the request's, in that order.
TEST_F(ClosedLoopTest, ReferenceAndFeedForwardFollowEachChangeOfRequestSlotAndGains) {
  CoreRapaxQ motor(4, "can");
  auto& feedForward = motor.GetClosedLoopFeedForward();
  auto& reference = motor.GetClosedLoopReference();
  auto& position = motor.GetPosition();
  auto& error = motor.GetClosedLoopError();
  // A frame every step.
  ASSERT_EQ(feedForward.SetUpdateFrequency(1000_Hz), StatusCode::OK);
  ASSERT_EQ(reference.SetUpdateFrequency(1000_Hz), StatusCode::OK);
  ASSERT_EQ(position.SetUpdateFrequency(1000_Hz), StatusCode::OK);
  ASSERT_EQ(error.SetUpdateFrequency(1000_Hz), StatusCode::OK);
  Configure(motor, Slot0Configs{}.WithkV(0.1).WithkA(0.02).WithkS(0.2).WithkG(0.3));
  Configure(motor, Slot1Configs{}.WithkV(0.5).WithkS(0.1).WithkG(-0.2));
  auto sum = [](double kV, double target, double kA, double acceleration, double kS, double sign, double gravity,
                double own) { return kV * target + kA * acceleration + kS * sign + gravity + own; };
  auto expectAfterSteps = [&](double target, double expected) {
    Run(0.005);
    EXPECT_EQ(reference.Refresh().GetValue(), target);
    EXPECT_DOUBLE_EQ(feedForward.Refresh().GetValue(), expected);
  };
  VelocityVoltage velocity{turns_per_second_t{10.0}};
  velocity.WithAcceleration(units::angular_acceleration::turns_per_second_squared_t{4.0}).WithFeedForward(0.7_V);
  ASSERT_EQ(motor.SetControl(velocity), StatusCode::OK);
  expectAfterSteps(10.0, sum(0.1, 10.0, 0.02, 4.0, 0.2, 1.0, 0.3, 0.7));
  ASSERT_EQ(motor.SetControl(velocity.WithVelocity(turns_per_second_t{-5.0})), StatusCode::OK);
  expectAfterSteps(-5.0, sum(0.1, -5.0, 0.02, 4.0, 0.2, -1.0, 0.3, 0.7));
  ASSERT_EQ(motor.SetControl(velocity.WithSlot(1)), StatusCode::OK);
  expectAfterSteps(-5.0, sum(0.5, -5.0, 0.0, 4.0, 0.1, -1.0, -0.2, 0.7));
  Configure(motor, Slot1Configs{}.WithkV(0.25).WithkS(0.1).WithkG(-0.2));
  expectAfterSteps(-5.0, sum(0.25, -5.0, 0.0, 4.0, 0.1, -1.0, -0.2, 0.7));

  const auto toward = PositionVoltage{2_tr}.WithVelocity(turns_per_second_t{3.0}).WithFeedForward(-0.4_V).WithSlot(1);
  ASSERT_EQ(motor.SetControl(toward), StatusCode::OK);
  expectAfterSteps(2.0, sum(0.25, 3.0, 0.0, 0.0, 0.1, 1.0, -0.2, -0.4));
  // An arm's gravity and the error's sign change from step to step.
  Configure(motor, Slot1Configs{}
                       .WithkV(0.25)
                       .WithkS(0.1)
                       .WithkG(-0.2)
                       .WithGravityType(GravityTypeValue::Arm_Cosine)
                       .WithStaticFeedforwardSign(StaticFeedforwardSignValue::UseClosedLoopSign));
  for (int step = 0; step < 50; ++step) {
    Run(kStep);
    const double x = position.Refresh().GetValue().value();
    const double e = error.Refresh().GetValue();
    const double sign = e > 0.0 ? 1.0 : (e < 0.0 ? -1.0 : 0.0);
    const double gravity = -0.2 * std::cos(2.0 * std::numbers::pi * x);
    ASSERT_DOUBLE_EQ(feedForward.Refresh().GetValue(), sum(0.25, 3.0, 0.0, 0.0, 0.1, sign, gravity, -0.4)) << step;
  }
  EXPECT_GT(std::abs(position.GetValue().value()), 1e-3);  // the arm moved: its gravity term changed
  Configure(motor, Slot1Configs{}.WithkV(0.25).WithkS(0.1).WithkG(-0.2));
  expectAfterSteps(2.0, sum(0.25, 3.0, 0.0, 0.0, 0.1, 1.0, -0.2, -0.4));
}

// A lone motor (no physics model) commanded to a position turns its bare
// rotor there and stays.
TEST_F(ClosedLoopTest, LoneMotorTurnsToACommandedPosition) {
  CoreRapaxQ motor(3, "can");
  Configure(motor, Slot0Configs{}.WithkP(24).WithkD(0.5));
  ASSERT_EQ(motor.SetControl(PositionVoltage{0.5_tr}), StatusCode::OK);
  kvor::zephrin::runtime::harness::AdvanceTime(1.0);
  EXPECT_NEAR(motor.GetPosition().GetValue().value(), 0.5, 1e-3);
  EXPECT_NEAR(motor.GetVelocity().GetValue().value(), 0.0, 1e-2);
}

// A profiled move never exceeds its cruise velocity or acceleration, is
// reported as running while it moves, and lands on its target; the dynamic
// request carries its own limits.
TEST_F(ClosedLoopTest, ProfiledMotionStaysWithinItsLimitsAndLands) {
  struct Case {
    const char* name;
    bool dynamic;
    double jerk;
  };
  for (const Case& c : {Case{"trapezoid", false, 0.0}, Case{"S-curve", false, 40.0}, Case{"dynamic", true, 0.0}}) {
    SCOPED_TRACE(c.name);
    kvor::zephrin::runtime::harness::Reset();
    kvor::zephrin::runtime::harness::UseManualClock(1.0);
    CoreRapaxQ motor(4, "can");
    Configure(motor, Slot0Configs{}.WithkP(30).WithkD(0.4).WithkV(60.0 / 500.0));
    KinetraConfigs limits;
    limits.KinetraCruiseVelocity = turns_per_second_t{4.0};
    limits.KinetraAcceleration = units::angular_acceleration::turns_per_second_squared_t{8.0};
    limits.KinetraJerk = units::angular_jerk::turns_per_second_cubed_t{c.jerk};
    Configure(motor, limits);
    if (c.dynamic) {
      DynamicKinetraVoltage request;
      request.Position = 5_tr;
      request.Velocity = turns_per_second_t{4.0};
      request.Acceleration = units::angular_acceleration::turns_per_second_squared_t{8.0};
      ASSERT_EQ(motor.SetControl(request), StatusCode::OK);
    } else {
      ASSERT_EQ(motor.SetControl(KinetraVoltage{5_tr}), StatusCode::OK);
    }
    auto& slope = motor.GetClosedLoopReferenceSlope();
    auto& running = motor.GetKinetraIsRunning();
    ASSERT_EQ(slope.SetUpdateFrequency(1000_Hz), StatusCode::OK);  // a frame every step
    ASSERT_EQ(running.SetUpdateFrequency(1000_Hz), StatusCode::OK);
    double fastest = 0.0, hardest = 0.0, previous = 0.0;
    bool ranWhileMoving = true;
    Run(2.0, [&] {
      const double v = slope.Refresh().GetValue();
      fastest = std::max(fastest, std::abs(v));
      hardest = std::max(hardest, std::abs(v - previous) / kStep);
      previous = v;
      if (v != 0.0 && running.Refresh().GetValue().value != 1) ranWhileMoving = false;
    });
    EXPECT_LE(fastest, 4.0 + 1e-9);
    EXPECT_GT(fastest, 3.9);
    EXPECT_LE(hardest, 8.0 + 1e-6);
    EXPECT_TRUE(ranWhileMoving);
    kvor::zephrin::runtime::harness::AdvanceTime(2.0);
    EXPECT_EQ(motor.GetClosedLoopReference().GetValue(), 5.0);
    EXPECT_EQ(motor.GetKinetraIsRunning().GetValue().value, 0);
    EXPECT_NEAR(motor.GetPosition().GetValue().value(), 5.0, 1e-3);
  }
}

// The exponential profile follows the motor curve a = (V - kV v) / kA
// towards its target and brakes along it: its velocity stays below the free
// speed V / kV and it lands on the target without passing it. The velocity
// profile ramps the velocity reference at the request's acceleration.
TEST_F(ClosedLoopTest, ExponentialAndVelocityProfilesFollowTheirCurves) {
  CoreRapaxQ expo(5, "can"), ramp(6, "can");
  Configure(expo, Slot0Configs{}.WithkP(30).WithkD(0.4));
  KinetraConfigs curve;
  curve.KinetraExpo_kV = 0.24;  // volts per turn per second: 50 turns per second at 12 V
  curve.KinetraExpo_kA = 0.3;
  Configure(expo, curve);
  Configure(ramp, Slot0Configs{}.WithkV(0.12));
  ASSERT_EQ(expo.SetControl(KinetraExpoVoltage{}.WithPosition(20_tr)), StatusCode::OK);
  KinetraVelocityVoltage toSpeed{};
  toSpeed.Velocity = turns_per_second_t{30.0};
  toSpeed.Acceleration = units::angular_acceleration::turns_per_second_squared_t{20.0};
  ASSERT_EQ(ramp.SetControl(toSpeed), StatusCode::OK);

  auto& reference = expo.GetClosedLoopReference();
  auto& slope = expo.GetClosedLoopReferenceSlope();
  ASSERT_EQ(reference.SetUpdateFrequency(1000_Hz), StatusCode::OK);
  ASSERT_EQ(slope.SetUpdateFrequency(1000_Hz), StatusCode::OK);
  double furthest = 0.0, fastest = 0.0;
  Run(0.5, [&] {
    furthest = std::max(furthest, reference.Refresh().GetValue());
    fastest = std::max(fastest, slope.Refresh().GetValue());
  });
  EXPECT_NEAR(ramp.GetClosedLoopReference().GetValue(), 10.0, 1e-9);  // 20 turns/s^2 for 0.5 s
  Run(2.5, [&] {
    furthest = std::max(furthest, reference.Refresh().GetValue());
    fastest = std::max(fastest, slope.Refresh().GetValue());
  });
  EXPECT_EQ(reference.GetValue(), 20.0);
  EXPECT_LE(furthest, 20.0);
  EXPECT_LT(fastest, 50.0);
  EXPECT_GT(fastest, 20.0);
  EXPECT_EQ(ramp.GetClosedLoopReference().GetValue(), 30.0);
  EXPECT_NEAR(ramp.GetVelocity().GetValue().value(), 30.0, 0.01);
}

// A continuous loop wraps its error to the nearest half turn at every step,
// and every bit of the error reaches the loop's signals. The wrap must agree
// with std::remainder(x, 1) to the bit wherever the rounding could differ:
// halves (which go to the even whole number), both sides of them, zeros of
// either sign and whole numbers, the neighbours of 0.5, 1 and 2^52, tiny and
// huge magnitudes, infinities and NaN.
TEST(WrapToHalfTurnTest, AgreesWithTheLibraryRemainderToTheBit) {
  using kvor::zephrin::runtime::firmware::WrapToHalfTurn;
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> xs{0.0, 0.5, 1.5, 2.5, 1.0, 3.0, 0.25, 0.75, 1e-300, 5e-324, 0.1, 0.3, 0.7, 1.0 / 3.0,
                         4503599627370496.0, 4503599627370495.5, 9007199254740993.0, 1e300, inf};
  for (double base : {0.5, 1.0, 2.5, 4503599627370496.0, 1234567.5}) {
    xs.push_back(std::nextafter(base, 0.0));
    xs.push_back(std::nextafter(base, inf));
  }
  for (int k = 0; k < 2000; ++k) xs.push_back(static_cast<double>(k) * 0.37 - 123.0 + k * 1e-9);
  const size_t positives = xs.size();
  for (size_t i = 0; i < positives; ++i) xs.push_back(-xs[i]);
  for (double x : xs) {
    EXPECT_EQ(std::bit_cast<uint64_t>(WrapToHalfTurn(x)), std::bit_cast<uint64_t>(std::remainder(x, 1.0))) << x;
  }
  EXPECT_TRUE(std::isnan(WrapToHalfTurn(std::numeric_limits<double>::quiet_NaN())));
}

}  // namespace
