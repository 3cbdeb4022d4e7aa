// The simulated IMU's signals by axis: each rate, accumulated angle and
// angle reads the axis it names, in the device's and the world's frame.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/SignalIds.hpp>

#include "firmware/SimulatedImu.hpp"

namespace {

using kvor::zephrin::runtime::firmware::SimulatedImu;
using kvor::zephrin::runtime::sim::PhysicsInput;
namespace ids = kvor::zephrin::signal_ids::auklet2;

TEST(SimulatedImuTest, EachSignalReadsTheAxisItNames) {
  SimulatedImu imu(1u, 0, "can", 0.0);
  ASSERT_TRUE(imu.SetInput(PhysicsInput::AngularVelocityX, 10.0));
  ASSERT_TRUE(imu.SetInput(PhysicsInput::AngularVelocityY, 20.0));
  ASSERT_TRUE(imu.SetInput(PhysicsInput::AngularVelocityZ, 40.0));
  ASSERT_TRUE(imu.SetInput(PhysicsInput::SupplyVoltage, 11.5));
  imu.Step(0.5, 0.5);
  // Angles no input set follow their rates: roll about X, pitch about Y, yaw about Z.
  EXPECT_EQ(imu.Signal(ids::kRoll), 5.0);
  EXPECT_EQ(imu.Signal(ids::kPitch), 10.0);
  EXPECT_EQ(imu.Signal(ids::kYaw), 20.0);
  EXPECT_EQ(imu.Signal(ids::kAccumGyroX), 5.0);
  EXPECT_EQ(imu.Signal(ids::kAccumGyroY), 10.0);
  EXPECT_EQ(imu.Signal(ids::kAccumGyroZ), 20.0);
  EXPECT_EQ(imu.Signal(ids::kAngularVelocityXDevice), 10.0);
  EXPECT_EQ(imu.Signal(ids::kAngularVelocityXWorld), 10.0);
  EXPECT_EQ(imu.Signal(ids::kAngularVelocityYDevice), 20.0);
  EXPECT_EQ(imu.Signal(ids::kAngularVelocityYWorld), 20.0);
  EXPECT_EQ(imu.Signal(ids::kAngularVelocityZDevice), 40.0);
  EXPECT_EQ(imu.Signal(ids::kAngularVelocityZWorld), 40.0);
  EXPECT_EQ(imu.Signal(ids::kSupplyVoltage), 11.5);
  EXPECT_EQ(imu.Signal(ids::kUpTime), 0.5);
  // A set angle holds while the gyro keeps counting.
  ASSERT_TRUE(imu.SetInput(PhysicsInput::RawYaw, -30.0));
  imu.Step(1.0, 0.5);
  EXPECT_EQ(imu.Signal(ids::kYaw), -30.0);
  EXPECT_EQ(imu.Signal(ids::kAccumGyroZ), 40.0);
}

}  // namespace
