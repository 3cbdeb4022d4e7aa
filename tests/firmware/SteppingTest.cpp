// How the firmware steps its motors and takes their physics inputs: a motor
// whose control reads no other motor is stepped in one visit, the others in
// passes, and a physics model's inputs of one step may come in one call.
// Either way every value must be the one the plain order gives.

#include <gtest/gtest.h>

#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin/runtime/harness/Sim.hpp>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devices/DeviceRegistry.hpp"
#include "firmware/FirmwareFixture.hpp"

namespace {

using kvor::zephrin::StatusCode;
using kvor::zephrin::platform::DeviceType;
using kvor::zephrin6::hardware::core::CoreRapaxQ;
using kvor::zephrin6::hardware::core::CoreRapaxW;
using namespace kvor::zephrin6::configs;
using namespace kvor::zephrin6::controls;
using namespace kvor::zephrin6::signals;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;
namespace platform = kvor::zephrin::platform;
using units::angle::turn_t;
using units::angular_velocity::turns_per_second_t;

class SteppingTest : public zephrin_test::FirmwareTest {};

// Every value a motor reports that its loops, output stage and motor model
// produce, read after each 20 ms loop.
void Record(CoreRapaxQ& motor, std::vector<double>& seen) {
  seen.push_back(motor.GetPosition().GetValue().value());
  seen.push_back(motor.GetVelocity().GetValue().value());
  seen.push_back(motor.GetMotorVoltage().GetValue().value());
  seen.push_back(motor.GetClosedLoopError().GetValue());
  seen.push_back(motor.GetClosedLoopIntegratedOutput().GetValue());
  seen.push_back(motor.GetSimState().GetMotorVoltage().value());
  seen.push_back(motor.GetSimState().GetSupplyCurrent().value());
}

// Motors in loops of their own, one against a limit switch, and one that
// follows another for a while (its request arriving mid-run), run once as
// they are (each motor stepped in one visit while none follows) and once
// beside a differential pair (whose partner search makes every step take the
// ordered passes): each reports the same values to the last bit.
TEST_F(SteppingTest, MotorsOnTheirOwnStepAsInTheOrderedPasses) {
  auto run = [](bool withPair) {
    harness::Reset();
    harness::UseManualClock(1.0);
    // IDs spread so that the pair sits between the others in the stepping order.
    CoreRapaxQ drive(2, "can"), follower(3, "can"), steer(5, "can"), arm(9, "can");
    std::optional<CoreRapaxQ> pairLeader, pairPartner;
    Configure(drive, Slot0Configs{}.WithkV(0.12).WithkP(0.2).WithkI(0.5));
    Configure(steer, Slot0Configs{}.WithkP(20).WithkD(0.3));
    Configure(arm, HardwareLimitSwitchConfigs{}.WithForwardLimitAutosetPositionEnable(true));
    if (withPair) {
      pairLeader.emplace(6, "can");
      pairPartner.emplace(8, "can");
      Configure(*pairLeader, DifferentialSensorsConfigs{}
                                 .WithDifferentialSensorSource(DifferentialSensorSourceValue::RemoteRapaxQ_Diff)
                                 .WithDifferentialRapaxQSensorID(8));
    }
    std::vector<double> seen;
    for (int loop = 0; loop < 60; ++loop) {
      drive.SetControl(VelocityVoltage{turns_per_second_t{loop < 30 ? 25.0 : -5.0}});
      steer.SetControl(PositionVoltage{turn_t{0.02 * loop}});
      arm.SetControl(VoltageOut{units::voltage::volt_t{loop < 40 ? 4.0 : -2.0}});
      arm.GetSimState().SetForwardLimit(loop >= 20 && loop < 25);
      if (loop >= 10 && loop < 40) {
        follower.SetControl(Follower{2});
      } else {
        follower.SetControl(VoltageOut{1_V});
      }
      if (withPair) {
        pairLeader->SetControl(DifferentialVoltage{2_V}.WithDifferentialPosition(0.1_tr));
        pairPartner->SetControl(VoltageOut{1_V});
      }
      harness::AdvanceTime(0.020);
      for (CoreRapaxQ* motor : {&drive, &follower, &steer, &arm}) Record(*motor, seen);
    }
    return seen;
  };
  const std::vector<double> alone = run(false);
  EXPECT_EQ(run(true), alone);
  EXPECT_NE(alone[7 * 4 * 29 + 1], 0.0);  // the drive turned
}

// A motor controls once per step, also in the step its follow request
// arrives: it controls among the followers, after every leader, and not
// once more among the leaders before them. A motor following it that comes
// earlier in the stepping order (motors step in the order of their device
// hashes) therefore takes its output of the step before in that step, as in
// every later one, rather than an output it computed ahead of its leaders.
TEST_F(SteppingTest, AFollowRequestIsControlledOnceInTheStepItArrives) {
  auto hash = [](int id) { return kvor::zephrin::runtime::devices::DeviceRegistry::Hash(id, "rapax q", "can"); };
  // A chained follower that steps before the motor it follows.
  int chainedId = 2, middleId = 3;
  while (hash(chainedId) > hash(middleId)) ++middleId;
  CoreRapaxQ leader(1, "can"), middle(middleId, "can"), chained(chainedId, "can");
  CurrentLimitsConfigs unlimited;  // the bridge then applies exactly what each motor decided
  unlimited.StatorCurrentLimitEnable = false;
  unlimited.SupplyCurrentLimitEnable = false;
  for (CoreRapaxQ* motor : {&leader, &middle, &chained}) Configure(*motor, unlimited);
  ASSERT_EQ(leader.SetControl(VoltageOut{6_V}), StatusCode::OK);
  ASSERT_EQ(middle.SetControl(VoltageOut{1_V}), StatusCode::OK);
  ASSERT_EQ(chained.SetControl(Follower{middleId}), StatusCode::OK);
  harness::AdvanceTime(0.005);
  auto volts = [](CoreRapaxQ& motor) { return motor.GetSimState().GetMotorVoltage().value(); };
  ASSERT_EQ(volts(middle), 1.0);
  ASSERT_EQ(volts(chained), 1.0);  // a leader controls before its followers

  ASSERT_EQ(middle.SetControl(Follower{1}), StatusCode::OK);
  harness::AdvanceTime(0.001);  // the step the follow request arrives in
  EXPECT_EQ(volts(middle), 6.0);
  EXPECT_EQ(volts(chained), 1.0);
  harness::AdvanceTime(0.001);
  EXPECT_EQ(volts(chained), 6.0);
}

// After a differential request the difference loop's signals return to zero
// once a plain request replaces it, as on a device that never ran one.
TEST_F(SteppingTest, DifferenceLoopSignalsClearAfterADifferentialRequest) {
  CoreRapaxQ leader(1, "can"), partner(2, "can");
  Configure(leader, Slot0Configs{}.WithkP(5));
  Configure(leader, DifferentialSensorsConfigs{}
                        .WithDifferentialSensorSource(DifferentialSensorSourceValue::RemoteRapaxQ_Diff)
                        .WithDifferentialRapaxQSensorID(2));
  ASSERT_EQ(leader.SetControl(DifferentialPositionVoltage{0_tr}.WithDifferentialPosition(0.25_tr)), StatusCode::OK);
  harness::AdvanceTime(0.1);
  EXPECT_NE(leader.GetDifferentialClosedLoopError().GetValue(), 0.0);
  EXPECT_NE(leader.GetDifferentialClosedLoopOutput().GetValue(), 0.0);

  ASSERT_EQ(leader.SetControl(VoltageOut{1_V}), StatusCode::OK);
  harness::AdvanceTime(0.1);
  EXPECT_EQ(leader.GetDifferentialClosedLoopError().GetValue(), 0.0);
  EXPECT_EQ(leader.GetDifferentialClosedLoopOutput().GetValue(), 0.0);
  EXPECT_EQ(leader.GetDifferentialClosedLoopReference().GetValue(), 0.0);
  EXPECT_EQ(leader.GetDifferentialClosedLoopSlot().GetValue(), 0);
}

// A simulated motor given its inputs in one call ends where a twin given the
// same inputs one by one ends: the same status (the first refusal), the same
// last error, the same inputs kept, and the same motion after a step. The
// list is longer than one hand-over to the firmware and holds every refusal.
TEST_F(SteppingTest, InputsHandedOverTogetherActAsOneByOne) {
  CoreRapaxQ together(1, "can"), oneByOne(2, "can");
  auto index = [](const char* name) { return platform::SimPhysicsInputIndex(DeviceType::RapaxQ, name); };
  const int32_t raw = index("RawRotorPosition"), add = index("AddRotorPosition"),
                velocity = index("RotorVelocity"), supply = index("SupplyVoltage");
  const double huge = std::numeric_limits<double>::max();
  std::vector<platform::SimInputValue> inputs;
  for (int i = 0; i < 8; ++i) {
    inputs.push_back({add, 0.25 * i});
    inputs.push_back({velocity, 2.0 + i});
  }
  inputs.push_back({raw, huge});
  inputs.push_back({add, huge});  // past the largest double: refused, the position stays
  inputs.push_back({supply, std::nan("")});
  inputs.push_back({-1, 1.0});
  inputs.push_back({supply, 11.0});
  inputs.push_back({raw, 1.5});

  ASSERT_EQ(together.SetControl(VoltageOut{2_V}), StatusCode::OK);
  ASSERT_EQ(oneByOne.SetControl(VoltageOut{2_V}), StatusCode::OK);
  const int32_t status = platform::SimSetPhysicsInputsAt(DeviceType::RapaxQ, 1, inputs);
  int32_t first = 0;
  for (const platform::SimInputValue& input : inputs) {
    const int32_t each = platform::SimSetPhysicsInputAt(DeviceType::RapaxQ, 2, input.inputIndex, input.value);
    if (first == 0) first = each;
  }
  EXPECT_EQ(status, StatusCode::InvalidParamValue);
  EXPECT_EQ(status, first);
  EXPECT_EQ(platform::SimGetLastError(DeviceType::RapaxQ, 1), platform::SimGetLastError(DeviceType::RapaxQ, 2));
  for (const char* name : {"RawRotorPosition", "AddRotorPosition", "RotorVelocity", "SupplyVoltage"}) {
    EXPECT_EQ(harness::SimPhysicsInput(5, 1, name), harness::SimPhysicsInput(5, 2, name)) << name;
  }
  EXPECT_EQ(harness::SimPhysicsInput(5, 1, "SupplyVoltage"), 11.0);
  EXPECT_EQ(harness::SimPhysicsInput(5, 1, "AddRotorPosition"), 1.75);  // the last move taken
  harness::AdvanceTime(0.020);  // past the next frame of every signal read
  EXPECT_EQ(together.GetPosition().GetValue(), oneByOne.GetPosition().GetValue());
  EXPECT_EQ(together.GetVelocity().GetValue(), oneByOne.GetVelocity().GetValue());
  EXPECT_EQ(together.GetSimState().GetMotorVoltage(), oneByOne.GetSimState().GetMotorVoltage());
  EXPECT_EQ(together.GetPosition().GetValue().value(), 1.5);
}

// A device object of the same model and ID on each of two buses: inputs
// handed over together reach both of them, in order, whether or not one of
// the inputs moves a position.
TEST_F(SteppingTest, InputsHandedOverTogetherReachEveryObjectOfTheDevice) {
  CoreRapaxQ here(3, "can"), there(3, "drivebus");
  auto index = [](const char* name) { return platform::SimPhysicsInputIndex(DeviceType::RapaxQ, name); };
  const int32_t raw = index("RawRotorPosition"), add = index("AddRotorPosition"), velocity = index("RotorVelocity");
  const std::vector<platform::SimInputValue> sets{{raw, 1.0}, {velocity, 0.0}, {raw, 2.0}};
  ASSERT_EQ(platform::SimSetPhysicsInputsAt(DeviceType::RapaxQ, 3, sets), StatusCode::OK);
  harness::AdvanceTime(0.020);
  EXPECT_EQ(here.GetPosition().GetValue().value(), 2.0);
  EXPECT_EQ(there.GetPosition().GetValue().value(), 2.0);

  const std::vector<platform::SimInputValue> moves{{raw, 1.0}, {add, 0.5}, {velocity, 0.0}};
  ASSERT_EQ(platform::SimSetPhysicsInputsAt(DeviceType::RapaxQ, 3, moves), StatusCode::OK);
  harness::AdvanceTime(0.020);
  EXPECT_EQ(here.GetPosition().GetValue().value(), 1.5);
  EXPECT_EQ(there.GetPosition().GetValue().value(), 1.5);
}

// A physics model hands over and reads the same devices at every step. Device
// objects that appear between two such steps (the same model and ID on a
// second bus) take the next step's inputs of their model and ID, and no
// other's (a rapax q and a rapax w share an ID here), and a read answers from
// the object that received the newest request, though it came after the last read.
TEST_F(SteppingTest, RepeatedStepsReachDeviceObjectsCreatedBetweenThem) {
  const int32_t rawQ = platform::SimPhysicsInputIndex(DeviceType::RapaxQ, "RawRotorPosition");
  const int32_t rawW = platform::SimPhysicsInputIndex(DeviceType::RapaxW, "RawRotorPosition");
  auto step = [&](double q, double w) {
    const std::vector<platform::SimInputValue> toQ{{rawQ, q}}, toW{{rawW, w}};
    std::vector<platform::SimDeviceInputs> devices{{DeviceType::RapaxQ, 3, toQ}, {DeviceType::RapaxW, 3, toW}};
    platform::SimSetDevicesPhysicsInputs(devices);
    EXPECT_EQ(devices[0].status, 0);
    EXPECT_EQ(devices[1].status, 0);
    harness::AdvanceTime(0.020);
  };
  auto motorVoltage = [] {
    std::vector<platform::SimOutputRead> reads{{DeviceType::RapaxQ, 3, "MotorVoltage"}};
    platform::SimGetPhysicsValues(reads);
    EXPECT_EQ(reads[0].status, 0);
    return reads[0].value;
  };
  CoreRapaxQ q(3, "can");
  CoreRapaxW w(3, "can");
  step(1.0, -4.0);
  EXPECT_EQ(q.GetPosition().GetValue().value(), 1.0);
  EXPECT_EQ(w.GetPosition().GetValue().value(), -4.0);

  CoreRapaxQ qThere(3, "drivebus");
  CoreRapaxW wThere(3, "drivebus");
  step(2.0, -5.0);
  EXPECT_EQ(q.GetPosition().GetValue().value(), 2.0);
  EXPECT_EQ(qThere.GetPosition().GetValue().value(), 2.0);
  EXPECT_EQ(w.GetPosition().GetValue().value(), -5.0);
  EXPECT_EQ(wThere.GetPosition().GetValue().value(), -5.0);

  ASSERT_EQ(q.SetControl(VoltageOut{2_V}), StatusCode::OK);
  harness::AdvanceTime(0.020);
  EXPECT_GT(motorVoltage(), 1.0);
  CoreRapaxQ qElsewhere(3, "armbus");
  ASSERT_EQ(qElsewhere.SetControl(VoltageOut{-3_V}), StatusCode::OK);
  harness::AdvanceTime(0.020);
  EXPECT_LT(motorVoltage(), -2.0);
  // And back: whichever of the objects comes first, the newest answers.
  ASSERT_EQ(qThere.SetControl(VoltageOut{4_V}), StatusCode::OK);
  harness::AdvanceTime(0.020);
  EXPECT_GT(motorVoltage(), 3.0);
  ASSERT_EQ(q.SetControl(VoltageOut{-1_V}), StatusCode::OK);
  harness::AdvanceTime(0.020);
  EXPECT_LT(motorVoltage(), -0.5);
  EXPECT_GT(motorVoltage(), -1.5);
}

// A repeated step reaches the firmware without being checked against its
// plan again. Steps that hand the firmware something else in between (an
// input left out for not being finite, the inputs of one motor alone, the
// same motors' inputs in another order) must leave the next repeats reaching every object of
// every motor with each input's latest value, which an object created
// later starts from.
TEST_F(SteppingTest, RepeatedStepsLandAfterOtherBatchesInBetween) {
  auto index = [](const char* name) { return platform::SimPhysicsInputIndex(DeviceType::RapaxQ, name); };
  const int32_t raw = index("RawRotorPosition"), velocity = index("RotorVelocity");
  CoreRapaxQ six(6, "can"), seven(7, "can");
  auto step = [&](double position, double speed) {
    const std::vector<platform::SimInputValue> toSix{{raw, position}, {velocity, speed}},
        toSeven{{raw, -position}, {velocity, 0.0}};
    std::vector<platform::SimDeviceInputs> devices{{DeviceType::RapaxQ, 6, toSix}, {DeviceType::RapaxQ, 7, toSeven}};
    platform::SimSetDevicesPhysicsInputs(devices);
    EXPECT_EQ(devices[1].status, 0);
    harness::AdvanceTime(0.020);
    EXPECT_EQ(seven.GetPosition().GetValue().value(), -position);
    return devices[0].status;
  };
  auto positionOf = [](CoreRapaxQ& motor) { return motor.GetPosition().GetValue().value(); };
  EXPECT_EQ(step(1.0, 0.0), 0);
  EXPECT_EQ(step(1.5, 0.0), 0);
  EXPECT_EQ(positionOf(six), 1.5);

  EXPECT_EQ(step(2.0, std::nan("")), StatusCode::InvalidParamValue);
  EXPECT_EQ(positionOf(six), 2.0);
  EXPECT_EQ(harness::SimPhysicsInput(5, 6, "RotorVelocity"), 0.0);
  EXPECT_EQ(step(3.0, 0.0), 0);
  EXPECT_EQ(positionOf(six), 3.0);

  const std::vector<platform::SimInputValue> alone{{velocity, 0.0}, {raw, 4.0}};
  ASSERT_EQ(platform::SimSetPhysicsInputsAt(DeviceType::RapaxQ, 6, alone), StatusCode::OK);
  EXPECT_EQ(step(5.0, 0.0), 0);
  const std::vector<platform::SimInputValue> swapped{{velocity, 0.0}, {raw, 5.5}}, toSeven{{raw, -5.0}};
  std::vector<platform::SimDeviceInputs> devices{{DeviceType::RapaxQ, 6, swapped}, {DeviceType::RapaxQ, 7, toSeven}};
  platform::SimSetDevicesPhysicsInputs(devices);
  EXPECT_EQ(devices[0].status, 0);
  CoreRapaxQ later(6, "drivebus");
  harness::AdvanceTime(0.020);
  EXPECT_EQ(positionOf(six), 5.5);
  EXPECT_EQ(positionOf(later), 5.5);

  EXPECT_EQ(step(6.0, 0.0), 0);
  EXPECT_EQ(positionOf(six), 6.0);
  EXPECT_EQ(positionOf(later), 6.0);
  EXPECT_EQ(harness::SimPhysicsInput(5, 6, "RawRotorPosition"), 6.0);
}

// Reads repeated at every step find their motors once. Reads that name
// the same motors in another order, or fewer of them, must each still be
// answered by the motor they name, and so must the repeats after them.
TEST_F(SteppingTest, RepeatedReadsFollowTheMotorsTheyName) {
  CoreRapaxQ q(3, "can");
  CoreRapaxW w(3, "can");
  ASSERT_EQ(q.SetControl(VoltageOut{2_V}), StatusCode::OK);
  ASSERT_EQ(w.SetControl(VoltageOut{-3_V}), StatusCode::OK);
  harness::AdvanceTime(0.020);
  auto read = [](std::vector<DeviceType> types) {
    std::vector<platform::SimOutputRead> reads;
    for (DeviceType type : types) reads.push_back({type, 3, "MotorVoltage", 0.0});
    platform::SimGetPhysicsValues(reads);
    std::vector<double> volts;
    for (const platform::SimOutputRead& r : reads) {
      EXPECT_EQ(r.status, 0);
      volts.push_back(r.value);
    }
    return volts;
  };
  const std::vector<double> both = read({DeviceType::RapaxQ, DeviceType::RapaxW});
  ASSERT_GT(both[0], 1.0);
  ASSERT_LT(both[1], -2.0);
  EXPECT_EQ(read({DeviceType::RapaxQ, DeviceType::RapaxW}), both);
  EXPECT_EQ(read({DeviceType::RapaxW, DeviceType::RapaxQ}), std::vector<double>({both[1], both[0]}));
  EXPECT_EQ(read({DeviceType::RapaxW}), std::vector<double>({both[1]}));
  EXPECT_EQ(read({DeviceType::RapaxQ}), std::vector<double>({both[0]}));
  EXPECT_EQ(read({DeviceType::RapaxQ, DeviceType::RapaxW}), both);
}

// A step that names a device twice, before any of its inputs was kept: the
// second entry's move adds to the first entry's position, and an object
// created later starts from where both led.
TEST_F(SteppingTest, DeviceNamedTwiceInOneStepKeepsOneSetOfInputs) {
  const int32_t raw = platform::SimPhysicsInputIndex(DeviceType::RapaxQ, "RawRotorPosition");
  const int32_t add = platform::SimPhysicsInputIndex(DeviceType::RapaxQ, "AddRotorPosition");
  CoreRapaxQ here(7, "can");
  for (int i = 0; i < 2; ++i) {
    const std::vector<platform::SimInputValue> set{{raw, 1.0}}, move{{add, 0.5}};
    std::vector<platform::SimDeviceInputs> devices{{DeviceType::RapaxQ, 7, set}, {DeviceType::RapaxQ, 7, move}};
    platform::SimSetDevicesPhysicsInputs(devices);
  }
  CoreRapaxQ later(7, "drivebus");
  harness::AdvanceTime(0.020);
  EXPECT_EQ(here.GetPosition().GetValue().value(), 1.5);
  EXPECT_EQ(later.GetPosition().GetValue().value(), 1.5);
}

}  // namespace

// Steps that hand a device the same inputs in the same order set them where
// the first such step kept them. What is kept must still be each input's
// latest value, which an object created later starts from, and a step whose
// inputs differ (another order, a move, an input named twice) must not be
// taken for a repeat.
TEST_F(SteppingTest, RepeatedInputsKeepEachInputsLatestValue) {
  auto index = [](const char* name) { return platform::SimPhysicsInputIndex(DeviceType::RapaxQ, name); };
  const int32_t raw = index("RawRotorPosition"), add = index("AddRotorPosition"), velocity = index("RotorVelocity");
  auto step = [](std::vector<platform::SimInputValue> inputs) {
    std::vector<platform::SimDeviceInputs> devices{{DeviceType::RapaxQ, 4, inputs}};
    platform::SimSetDevicesPhysicsInputs(devices);
    EXPECT_EQ(devices[0].status, 0);
    harness::AdvanceTime(0.020);
  };
  auto position = [](CoreRapaxQ& motor) { return motor.GetPosition().GetValue().value(); };
  // The position of an object created now on a bus of its own, after a step
  // with no inputs handed over: where the kept inputs put it.
  std::vector<std::unique_ptr<CoreRapaxQ>> later;
  auto newcomerPosition = [&] {
    later.push_back(std::make_unique<CoreRapaxQ>(4, "bus" + std::to_string(later.size())));
    harness::AdvanceTime(0.020);
    return position(*later.back());
  };
  CoreRapaxQ first(4, "can");
  step({{raw, 1.0}, {velocity, 0.0}});
  step({{raw, 2.0}, {velocity, 0.0}});
  EXPECT_EQ(position(first), 2.0);
  EXPECT_EQ(newcomerPosition(), 2.0);

  step({{raw, 3.0}, {velocity, 0.0}});
  step({{velocity, 0.0}, {raw, 4.0}});
  EXPECT_EQ(position(first), 4.0);
  EXPECT_EQ(newcomerPosition(), 4.0);

  step({{velocity, 0.0}, {raw, 4.0}});
  step({{velocity, 0.0}, {add, 0.25}});
  step({{velocity, 0.0}, {add, 0.25}});
  EXPECT_EQ(position(first), 4.5);
  EXPECT_EQ(newcomerPosition(), 4.5);

  step({{velocity, 0.0}, {raw, 6.0}, {raw, 7.0}});
  step({{velocity, 0.0}, {raw, 8.0}, {raw, 9.0}});
  EXPECT_EQ(position(first), 9.0);
  EXPECT_EQ(newcomerPosition(), 9.0);
  for (auto& motor : later) EXPECT_EQ(position(*motor), 9.0);
}

// Motors created one by one between control calls take their places in the
// stepping order, moving the others: every call still reaches the motor it
// names, each motor applying its own voltage.
TEST_F(SteppingTest, ControlsReachTheirOwnMotorAsMotorsAreCreated) {
  std::vector<std::unique_ptr<CoreRapaxQ>> motors;
  auto volts = [](size_t i) { return units::voltage::volt_t{1.0 + static_cast<double>(i)}; };
  for (int id : {40, 7, 23, 1, 35, 12}) {
    motors.push_back(std::make_unique<CoreRapaxQ>(id, "can"));
    for (int round = 0; round < 2; ++round) {
      for (size_t i = 0; i < motors.size(); ++i) ASSERT_EQ(motors[i]->SetControl(VoltageOut{volts(i)}), StatusCode::OK);
      harness::AdvanceTime(0.020);
    }
    for (size_t i = 0; i < motors.size(); ++i) {
      EXPECT_NEAR(motors[i]->GetMotorVoltage().GetValue().value(), volts(i).value(), 1e-9) << "motor " << i;
    }
  }
}
