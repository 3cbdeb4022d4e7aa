// The batch a physics model hands the simulator every step: laid out once,
// then only its values written, it must reach every device it placed with
// the value set at each place, however the devices and their input counts
// are mixed and however often the layout grew.

#include <gtest/gtest.h>

#include <optional>

#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include "sim/internal/SimCalls.hpp"
#include "support/RuntimeFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin::platform::DeviceType;
using kvor::zephrin6::sim::internal::InputBatch;
namespace platform = kvor::zephrin::platform;
namespace harness = kvor::zephrin::runtime::harness;

class InputBatchTest : public zephrin_test::RuntimeTest {};

TEST_F(InputBatchTest, EachPlaceReachesItsDeviceAndInput) {
  for (int id : {1, 2, 3}) ASSERT_EQ(platform::SimCreate(DeviceType::Distix, id), StatusCode::OK);
  ASSERT_EQ(platform::SimCreate(DeviceType::RapaxQ, 1), StatusCode::OK);
  auto distance = [](int id) { return harness::SimPhysicsInput(9, id, "Distance"); };
  auto supply = [](int id) { return harness::SimPhysicsInput(9, id, "SupplyVoltage"); };
  auto rotor = [] { return harness::SimPhysicsInput(5, 1, "RawRotorPosition"); };
  auto velocity = [] { return harness::SimPhysicsInput(5, 1, "RotorVelocity"); };

  // Devices of one and two inputs mixed, one of them twice, and a device
  // that was never created in the middle: each place is its own input,
  // although the batch's storage moved as it grew.
  InputBatch batch;
  const std::size_t first = batch.Place<DeviceType::Distix, "Distance">(1);
  const std::size_t motor = batch.Place<DeviceType::RapaxQ, "RawRotorPosition", "RotorVelocity">(1);
  const std::size_t missing = batch.Place<DeviceType::Distix, "Distance">(7);
  const std::size_t second = batch.Place<DeviceType::Distix, "SupplyVoltage", "Distance">(2);
  const std::size_t again = batch.Place<DeviceType::Distix, "SupplyVoltage">(1);
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(motor, 1u);
  EXPECT_EQ(missing, 3u);
  EXPECT_EQ(second, 4u);
  EXPECT_EQ(again, 6u);

  batch.Set(first, 1.0);
  batch.Set(motor, 2.0);
  batch.Set(motor + 1, 3.0);
  batch.Set(missing, 4.0);
  batch.Set(second, 11.0);
  batch.Set(second + 1, 5.0);
  batch.Set(again, 12.0);
  batch.Send();
  EXPECT_EQ(distance(1), 1.0);
  EXPECT_EQ(rotor(), 2.0);
  EXPECT_EQ(velocity(), 3.0);
  EXPECT_EQ(supply(2), 11.0);
  EXPECT_EQ(distance(2), 5.0);
  EXPECT_EQ(supply(1), 12.0);
  EXPECT_EQ(distance(3), std::nullopt);  // placed nowhere

  // A later step writes only some values: the others go again as they were.
  batch.Set(motor, 6.0);
  batch.Set(second + 1, 7.0);
  batch.Send();
  EXPECT_EQ(distance(1), 1.0);
  EXPECT_EQ(rotor(), 6.0);
  EXPECT_EQ(velocity(), 3.0);
  EXPECT_EQ(distance(2), 7.0);
  EXPECT_EQ(supply(2), 11.0);

  // Before its first Set an input goes as 0; an empty batch sends nothing.
  InputBatch late;
  late.Place<DeviceType::Distix, "Distance">(3);
  late.Send();
  EXPECT_EQ(distance(3), 0.0);
  InputBatch empty;
  empty.Send();
  EXPECT_EQ(distance(3), 0.0);
}

}  // namespace
