#include <kvor/zephrin6/swerve/ZephrinPIDController.hpp>

#include <kvor/zephrin/runtime/harness/Reports.hpp>

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "support/RuntimeFixture.hpp"

namespace harness = kvor::zephrin::runtime::harness;
using kvor::zephrin6::swerve::ZephrinPIDController;
using units::time::second_t;

namespace {
class ZephrinPIDControllerTest : public zephrin_test::RuntimeTest {};
constexpr double kPi = std::numbers::pi;
}  // namespace

// Each negative gain is reported as an error, then one warning says all gains
// fell back to zero; valid gains report nothing.
TEST_F(ZephrinPIDControllerTest, NegativeGainsAreReportedAndZeroed) {
  struct Case {
    double kp, ki, kd;
    std::vector<std::string> errors;
  };
  const Case cases[] = {
      {-1, 2, 3, {"Kp must be a non-negative number, got -1.000000!"}},
      {1,
       -0.5,
       -2,
       {"Ki must be a non-negative number, got -0.500000!", "Kd must be a non-negative number, got -2.000000!"}},
      {1, 2, 3, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kp << ", " << c.ki << ", " << c.kd);
    harness::ClearReports();
    const ZephrinPIDController pid(c.kp, c.ki, c.kd);
    const auto reports = harness::Reports();
    if (c.errors.empty()) {
      EXPECT_TRUE(reports.empty());
      EXPECT_EQ(pid.GetD(), 3.0);
      continue;
    }
    ASSERT_EQ(reports.size(), c.errors.size() + 1);
    for (std::size_t i = 0; i < c.errors.size(); ++i) {
      EXPECT_TRUE(reports[i].isError);
      EXPECT_EQ(reports[i].code, 0);
      EXPECT_EQ(reports[i].details, c.errors[i]);
      EXPECT_EQ(reports[i].location, "ZephrinPIDController");
      EXPECT_FALSE(reports[i].callStack.empty());
    }
    EXPECT_FALSE(reports.back().isError);
    EXPECT_EQ(reports.back().details, "PID gains defaulted to 0.");
    EXPECT_EQ(pid.GetP() + pid.GetI() + pid.GetD(), 0.0);
  }
}

// A negative IZone is reported and kept, so the integral never builds up.
TEST_F(ZephrinPIDControllerTest, NegativeIZoneIsReportedAndKept) {
  ZephrinPIDController pid(0, 1, 0);
  pid.SetIZone(-0.25);
  const auto reports = harness::Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].isError);
  EXPECT_EQ(reports[0].details, "IZone must be a non-negative number, got -0.250000!");
  EXPECT_EQ(pid.GetIZone(), -0.25);
  EXPECT_EQ(pid.Calculate(0, 0.1, second_t{1}), 0.0);
}

// A wrapping input takes the short way round, from either side.
TEST(ZephrinPIDController, ContinuousInputTakesTheShortWay) {
  struct Case {
    double min, max, setpoint, measurement, error;
  };
  const Case cases[] = {
      {-kPi, kPi, kPi - 0.1, -kPi + 0.1, -0.2},
      {-kPi, kPi, -kPi + 0.1, kPi - 0.1, 0.2},
      {0, 360, 350, 10, -20},
      {0, 360, 10, 350, 20},
      {0, 360, 725, 0, 5},
      {0, 360, 90, 0, 90},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.setpoint << " from " << c.measurement);
    ZephrinPIDController pid(1, 0, 0);
    pid.EnableContinuousInput(c.min, c.max);
    EXPECT_NEAR(pid.Calculate(c.measurement, c.setpoint, second_t{1}), c.error, 1e-9);
    EXPECT_NEAR(pid.GetPositionError(), c.error, 1e-9);
  }
}

// The integral is clamped to the integrator range divided by Ki and cleared
// when the error leaves the IZone; the derivative uses the real time step.
TEST(ZephrinPIDController, IntegralAndDerivativeFollowTimestamps) {
  ZephrinPIDController integral(0, 0.5, 0);
  integral.Calculate(0, 1, second_t{1});
  EXPECT_DOUBLE_EQ(integral.Calculate(0, 1, second_t{10}), 1.0);    // total error held at 2
  EXPECT_DOUBLE_EQ(integral.Calculate(0, -1, second_t{11}), 0.5);   // 2 - 1
  EXPECT_DOUBLE_EQ(integral.Calculate(0, -1, second_t{30}), -1.0);  // held at -2
  integral.SetIZone(0.5);
  EXPECT_EQ(integral.Calculate(0, -1, second_t{31}), 0.0);
  EXPECT_DOUBLE_EQ(integral.Calculate(0, -0.5, second_t{32}), -0.25);  // |error| = IZone still integrates

  ZephrinPIDController derivative(0, 0, 1);
  derivative.Calculate(0, 1, second_t{1});
  EXPECT_DOUBLE_EQ(derivative.Calculate(0, 2, second_t{1.5}), 2.0);
  EXPECT_DOUBLE_EQ(derivative.GetVelocityError(), 2.0);
}

// AtSetpoint needs a measurement and both errors strictly inside their
// tolerances; Reset clears the measurement but keeps the setpoint.
TEST(ZephrinPIDController, AtSetpointIsStrict) {
  ZephrinPIDController pid(1, 0, 0);
  EXPECT_FALSE(pid.AtSetpoint());
  pid.SetTolerance(0.25, 1.0);
  pid.Calculate(0.0, 0.25, second_t{1});  // position error 0.25, velocity error 0.25
  EXPECT_FALSE(pid.AtSetpoint());
  pid.SetTolerance(0.2500001, 0.25);
  EXPECT_FALSE(pid.AtSetpoint());
  pid.SetTolerance(0.2500001, 0.2500001);
  EXPECT_TRUE(pid.AtSetpoint());
  pid.Reset();
  EXPECT_FALSE(pid.AtSetpoint());
  EXPECT_EQ(pid.GetSetpoint(), 0.25);
  EXPECT_EQ(pid.GetPositionError(), 0.0);
}
