// The runtime's simulator registry: announcing devices, physics inputs and
// outputs, and the last-error status per device.
#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin/runtime/harness/Sim.hpp>

#include <cmath>
#include <cstdint>
#include <limits>

#include "support/RuntimeFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin::platform::DeviceType;
namespace platform = kvor::zephrin::platform;
namespace harness = kvor::zephrin::runtime::harness;

class SimTest : public zephrin_test::RuntimeTest {};

// A device is created once per (type, ID); the same ID under another type is
// another device, and unknown types are refused.
TEST_F(SimTest, CreateRegistersEachDeviceOnce) {
  EXPECT_EQ(platform::SimCreate(DeviceType::RapaxQ, 3), StatusCode::OK);
  EXPECT_EQ(platform::SimCreate(DeviceType::RapaxQ, 3), StatusCode::SimDeviceAlreadyExists);
  EXPECT_EQ(platform::SimCreate(DeviceType::Auklet2, 3), StatusCode::OK);
  EXPECT_EQ(platform::SimCreate(static_cast<DeviceType>(4), 1), StatusCode::InvalidParamValue);
  EXPECT_EQ(platform::SimCreate(static_cast<DeviceType>(11), 1), StatusCode::InvalidParamValue);
  EXPECT_EQ(harness::SimDevices(), (std::vector<harness::SimDevice>{{5, 3}, {7, 3}}));

  harness::Reset();
  EXPECT_TRUE(harness::SimDevices().empty());
  EXPECT_EQ(platform::SimCreate(DeviceType::RapaxQ, 3), StatusCode::OK);
}

// Inputs are kept per device and name, outputs read what the simulation
// produced (0 before anything), and calls on unknown devices fail without
// touching the out-parameter.
TEST_F(SimTest, PhysicsInputsAndOutputsArePerDevice) {
  ASSERT_EQ(platform::SimCreate(DeviceType::RapaxW, 1), StatusCode::OK);
  ASSERT_EQ(platform::SimCreate(DeviceType::RapaxW, 2), StatusCode::OK);

  EXPECT_EQ(platform::SimSetPhysicsInput(DeviceType::RapaxW, 1, "SupplyVoltage", 12.5), StatusCode::OK);
  EXPECT_EQ(platform::SimSetPhysicsInput(DeviceType::RapaxW, 1, "SupplyVoltage", 11.0), StatusCode::OK);
  EXPECT_EQ(harness::SimPhysicsInput(8, 1, "SupplyVoltage"), 11.0);
  EXPECT_EQ(harness::SimPhysicsInput(8, 2, "SupplyVoltage"), std::nullopt);

  double value = -1.0;
  EXPECT_EQ(platform::SimGetPhysicsValue(DeviceType::RapaxW, 1, "MotorVoltage", value), StatusCode::OK);
  EXPECT_EQ(value, 0.0);
  harness::SetSimPhysicsValue(8, 1, "MotorVoltage", 6.0);
  EXPECT_EQ(platform::SimGetPhysicsValue(DeviceType::RapaxW, 1, "MotorVoltage", value), StatusCode::OK);
  EXPECT_EQ(value, 6.0);

  value = -1.0;
  EXPECT_EQ(platform::SimGetPhysicsValue(DeviceType::Distix, 1, "Distance", value), StatusCode::SimDeviceNotFound);
  EXPECT_EQ(value, -1.0);
  EXPECT_EQ(platform::SimSetPhysicsInput(DeviceType::Distix, 1, "Distance", 2.0), StatusCode::SimDeviceNotFound);
  EXPECT_EQ(platform::SimGetLastError(DeviceType::Distix, 1), StatusCode::SimDeviceNotFound);

  EXPECT_EQ(platform::SimCreate(DeviceType::RapaxW, 1), StatusCode::SimDeviceAlreadyExists);
  EXPECT_EQ(platform::SimGetLastError(DeviceType::RapaxW, 1), StatusCode::SimDeviceAlreadyExists);
  EXPECT_EQ(platform::SimSetPhysicsInput(DeviceType::RapaxW, 1, "ForwardLimit", 1.0), StatusCode::OK);
  EXPECT_EQ(platform::SimGetLastError(DeviceType::RapaxW, 1), StatusCode::OK);
}

// An input's index stands for its name for good: looked up once (before any
// runtime exists, or in another one), it sets what the name sets, and an
// index the device type does not have is refused as an unknown name is.
TEST_F(SimTest, InputsByIndexActAsByName) {
  const int32_t supply = platform::SimPhysicsInputIndex(DeviceType::Distix, "SupplyVoltage");
  const int32_t distance = platform::SimPhysicsInputIndex(DeviceType::Distix, "Distance");
  const int32_t rotor = platform::SimPhysicsInputIndex(DeviceType::RapaxQ, "RotorVelocity");
  ASSERT_GE(supply, 0);
  ASSERT_GE(distance, 0);
  ASSERT_GE(rotor, 0);
  EXPECT_NE(supply, distance);
  EXPECT_EQ(platform::SimPhysicsInputIndex(DeviceType::Distix, "RotorVelocity"), -1);
  EXPECT_EQ(platform::SimPhysicsInputIndex(DeviceType::Distix, "distance"), -1);

  harness::Reset();
  EXPECT_EQ(platform::SimPhysicsInputIndex(DeviceType::Distix, "Distance"), distance);
  EXPECT_EQ(platform::SimSetPhysicsInputAt(DeviceType::Distix, 1, distance, 2.0), StatusCode::SimDeviceNotFound);
  ASSERT_EQ(platform::SimCreate(DeviceType::Distix, 1), StatusCode::OK);
  EXPECT_EQ(platform::SimSetPhysicsInputAt(DeviceType::Distix, 1, distance, 2.5), StatusCode::OK);
  EXPECT_EQ(harness::SimPhysicsInput(9, 1, "Distance"), 2.5);
  EXPECT_EQ(harness::SimPhysicsInput(9, 1, "SupplyVoltage"), std::nullopt);

  for (int32_t refused : {rotor, int32_t{-1}, int32_t{1'000'000}}) {
    EXPECT_EQ(platform::SimSetPhysicsInputAt(DeviceType::Distix, 1, refused, 1.0),
              StatusCode::SimPhysicsTypeNotSupported)
        << refused;
    EXPECT_EQ(platform::SimGetLastError(DeviceType::Distix, 1), StatusCode::SimPhysicsTypeNotSupported);
  }
  EXPECT_EQ(platform::SimSetPhysicsInputAt(DeviceType::Distix, 1, distance, std::nan("")),
            StatusCode::InvalidParamValue);
  EXPECT_EQ(harness::SimPhysicsInput(9, 1, "Distance"), 2.5);
}

// Inputs handed over together are set in order, each as on its own: a
// refused one changes nothing, the ones after it still count, and the call
// answers with the first refusal.
TEST_F(SimTest, InputsHandedOverTogetherActOneByOne) {
  const int32_t supply = platform::SimPhysicsInputIndex(DeviceType::Distix, "SupplyVoltage");
  const int32_t distance = platform::SimPhysicsInputIndex(DeviceType::Distix, "Distance");
  const platform::SimInputValue inputs[] = {{distance, 1.0}, {distance, 2.0}, {supply, 11.5}};
  EXPECT_EQ(platform::SimSetPhysicsInputsAt(DeviceType::Distix, 4, inputs), StatusCode::SimDeviceNotFound);

  ASSERT_EQ(platform::SimCreate(DeviceType::Distix, 4), StatusCode::OK);
  EXPECT_EQ(platform::SimSetPhysicsInputsAt(DeviceType::Distix, 4, inputs), StatusCode::OK);
  EXPECT_EQ(harness::SimPhysicsInput(9, 4, "Distance"), 2.0);
  EXPECT_EQ(harness::SimPhysicsInput(9, 4, "SupplyVoltage"), 11.5);

  const platform::SimInputValue refused[] = {
      {distance, std::nan("")}, {-1, 3.0}, {distance, 3.0}, {supply, std::numeric_limits<double>::infinity()}};
  EXPECT_EQ(platform::SimSetPhysicsInputsAt(DeviceType::Distix, 4, refused), StatusCode::InvalidParamValue);
  EXPECT_EQ(harness::SimPhysicsInput(9, 4, "Distance"), 3.0);
  EXPECT_EQ(harness::SimPhysicsInput(9, 4, "SupplyVoltage"), 11.5);
  EXPECT_EQ(platform::SimGetLastError(DeviceType::Distix, 4), StatusCode::InvalidParamValue);
  EXPECT_EQ(platform::SimSetPhysicsInputsAt(DeviceType::Distix, 4, {}), StatusCode::OK);
}

}  // namespace
