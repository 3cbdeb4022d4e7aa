// The batch a physics model hands the simulator every step: it keeps its
// layout between steps, so a step whose devices or inputs differ from the
// last one's must still reach exactly the devices and inputs it names.

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

// Devices dropped, added, moved to another place or given other inputs
// from one step to the next: each step sets what it added, and only that.
TEST_F(InputBatchTest, EachStepSetsWhatItAdded) {
  for (int id : {1, 2, 3}) ASSERT_EQ(platform::SimCreate(DeviceType::Distix, id), StatusCode::OK);
  ASSERT_EQ(platform::SimCreate(DeviceType::RapaxQ, 1), StatusCode::OK);
  auto distance = [](int id) { return harness::SimPhysicsInput(9, id, "Distance"); };
  auto supply = [](int id) { return harness::SimPhysicsInput(9, id, "SupplyVoltage"); };
  InputBatch batch;

  batch.Add<DeviceType::Distix, "Distance">(1, {1.0});
  batch.Add<DeviceType::RapaxQ, "RawRotorPosition", "RotorVelocity">(1, {2.0, 3.0});
  batch.Send();
  batch.Add<DeviceType::Distix, "Distance">(1, {1.5});
  batch.Add<DeviceType::RapaxQ, "RawRotorPosition", "RotorVelocity">(1, {2.5, 3.5});
  batch.Send();
  EXPECT_EQ(distance(1), 1.5);
  EXPECT_EQ(harness::SimPhysicsInput(5, 1, "RawRotorPosition"), 2.5);
  EXPECT_EQ(harness::SimPhysicsInput(5, 1, "RotorVelocity"), 3.5);

  // The first device dropped: the motor now comes first.
  batch.Add<DeviceType::RapaxQ, "RawRotorPosition", "RotorVelocity">(1, {4.0, 5.0});
  batch.Send();
  EXPECT_EQ(distance(1), 1.5);
  EXPECT_EQ(harness::SimPhysicsInput(5, 1, "RawRotorPosition"), 4.0);

  // Another sensor in the same place, then another input of it, then more
  // devices than ever before.
  batch.Add<DeviceType::RapaxQ, "RawRotorPosition", "RotorVelocity">(1, {4.0, 5.0});
  batch.Add<DeviceType::Distix, "Distance">(2, {6.0});
  batch.Send();
  batch.Add<DeviceType::RapaxQ, "RawRotorPosition", "RotorVelocity">(1, {4.0, 5.0});
  batch.Add<DeviceType::Distix, "SupplyVoltage">(2, {11.0});
  batch.Add<DeviceType::Distix, "Distance">(3, {7.0});
  batch.Add<DeviceType::Distix, "Distance", "SupplyVoltage">(1, {8.0, 12.0});
  batch.Send();
  EXPECT_EQ(distance(2), 6.0);
  EXPECT_EQ(supply(2), 11.0);
  EXPECT_EQ(distance(3), 7.0);
  EXPECT_EQ(supply(3), std::nullopt);
  EXPECT_EQ(distance(1), 8.0);
  EXPECT_EQ(supply(1), 12.0);

  // Fewer devices again, and an empty step.
  batch.Add<DeviceType::RapaxQ, "RawRotorPosition", "RotorVelocity">(1, {9.0, 5.0});
  batch.Send();
  batch.Send();
  EXPECT_EQ(harness::SimPhysicsInput(5, 1, "RawRotorPosition"), 9.0);
  EXPECT_EQ(distance(3), 7.0);
}

}  // namespace
