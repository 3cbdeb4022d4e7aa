// The motor model's electrical solution at the limits: whichever way the
// bridge drives, the stator current stops at its limit with the demand's
// sign, and the power drawn stops at the supply limit.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "firmware/DcMotor.hpp"

namespace {

using namespace kvor::zephrin::runtime::firmware;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
const MotorConstants kMotor{500.0, 250.0, 1e-4};  // R = 12 / 250 ohm, 0.12 V per turn per second

TEST(DcMotorTest, LimitsHoldInBothDirectionsAndAtRest) {
  for (const double sign : {1.0, -1.0}) {
    SCOPED_TRACE(sign);
    // Stator limit: full voltage at rest would drive 250 A.
    const MotorElectrical stator =
        SolveMotor(kMotor, {BridgeMode::Voltage, sign * 12.0, 12.0, 40.0, kInfinity}, 0.0, 12.0);
    EXPECT_TRUE(stator.statorLimited);
    EXPECT_FALSE(stator.supplyLimited);
    EXPECT_EQ(stator.amps, sign * 40.0);
    EXPECT_DOUBLE_EQ(stator.volts, sign * 40.0 * kMotor.Resistance());
    // Supply limit: the power drawn is the supply's limit, whatever the speed.
    for (const double turnsPerSecond : {0.0, sign * 20.0}) {
      const MotorElectrical supply =
          SolveMotor(kMotor, {BridgeMode::Voltage, sign * 12.0, 12.0, kInfinity, 10.0}, turnsPerSecond, 12.0);
      EXPECT_TRUE(supply.supplyLimited);
      EXPECT_NEAR(supply.volts * supply.amps, 10.0 * 12.0, 1e-9);
      EXPECT_NEAR(supply.supplyAmps, 10.0, 1e-12);
      EXPECT_GT(sign * supply.amps, 0.0);
    }
  }
  // A current demanded within the limits is met; braking at rest and
  // coasting draw nothing.
  const MotorElectrical current = SolveMotor(kMotor, {BridgeMode::Current, -5.0, 12.0, 40.0, kInfinity}, 3.0, 12.0);
  EXPECT_DOUBLE_EQ(current.amps, -5.0);
  EXPECT_FALSE(current.statorLimited);
  for (const BridgeMode mode : {BridgeMode::Brake, BridgeMode::Coast}) {
    const MotorElectrical idle = SolveMotor(kMotor, {mode, 0.0, 12.0, 40.0, kInfinity}, 0.0, 12.0);
    EXPECT_EQ(idle.volts, 0.0);
    EXPECT_EQ(idle.amps, 0.0);
    EXPECT_FALSE(idle.statorLimited);
  }
}

}  // namespace
