// The runtime's simulator registry: announcing devices, physics inputs and
// outputs, and the last-error status per device.
#include <kvor/zephrin/platform/SignalIds.hpp>
#include <kvor/zephrin/platform/Signals.hpp>
#include <kvor/zephrin/platform/Sim.hpp>
#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin/runtime/harness/Sim.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <span>
#include <utility>
#include <vector>

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

// The inputs of several devices handed over in one call act as one call
// per device, in order: the same statuses, inputs kept, last errors and
// reports. A position moved twice in one call moves from where the first
// move left it, and inputs after a refused one still count.
TEST_F(SimTest, InputsOfSeveralDevicesActAsOneCallEach) {
  constexpr double kHuge = 1e308;
  const int32_t raw = platform::SimPhysicsInputIndex(DeviceType::Angulon, "RawPosition");
  const int32_t add = platform::SimPhysicsInputIndex(DeviceType::Angulon, "AddPosition");
  const int32_t velocity = platform::SimPhysicsInputIndex(DeviceType::Angulon, "Velocity");
  const int32_t rotor = platform::SimPhysicsInputIndex(DeviceType::RapaxQ, "RawRotorPosition");
  const int32_t rotorVelocity = platform::SimPhysicsInputIndex(DeviceType::RapaxQ, "RotorVelocity");
  // The second move of kHuge would carry the position past the largest double.
  const platform::SimInputValue encoder[] = {{raw, 1.0},      {add, kHuge},     {add, kHuge},
                                             {velocity, 2.0}, {add, -kHuge},    {-1, 0.0}};
  const platform::SimInputValue motor[] = {{rotor, 3.0}, {rotorVelocity, std::nan("")}, {rotorVelocity, 4.0}};
  struct Outcome {
    std::vector<int32_t> statuses;
    std::vector<std::optional<double>> inputs;
    std::vector<int32_t> lastErrors;
    std::size_t reports = 0;
    bool operator==(const Outcome&) const = default;
  };
  auto run = [&](bool together) {
    harness::Reset();
    harness::ClearReports();
    EXPECT_EQ(platform::SimCreate(DeviceType::Angulon, 1), StatusCode::OK);
    EXPECT_EQ(platform::SimCreate(DeviceType::RapaxQ, 2), StatusCode::OK);
    std::vector<platform::SimDeviceInputs> devices{{DeviceType::Angulon, 1, encoder},
                                                   {DeviceType::RapaxQ, 2, motor},
                                                   {DeviceType::Distix, 3, encoder},  // never created
                                                   {DeviceType::Angulon, 1, std::span(encoder).first(1)}};
    Outcome outcome;
    if (together) platform::SimSetDevicesPhysicsInputs(devices);
    for (platform::SimDeviceInputs& d : devices) {
      outcome.statuses.push_back(together ? d.status
                                          : platform::SimSetPhysicsInputsAt(d.deviceType, d.deviceId, d.inputs));
    }
    for (platform::SimDeviceInputs& d : devices) {
      outcome.lastErrors.push_back(platform::SimGetLastError(d.deviceType, d.deviceId));
    }
    for (const char* name : {"RawPosition", "AddPosition", "Velocity"}) {
      outcome.inputs.push_back(harness::SimPhysicsInput(6, 1, name));
    }
    outcome.inputs.push_back(harness::SimPhysicsInput(5, 2, "RawRotorPosition"));
    outcome.inputs.push_back(harness::SimPhysicsInput(5, 2, "RotorVelocity"));
    outcome.reports = harness::Reports().size();
    return outcome;
  };
  const Outcome together = run(true);
  EXPECT_EQ(together, run(false));
  EXPECT_EQ(together.statuses, (std::vector<int32_t>{-1002, -1002, 1200, 0}));
  EXPECT_EQ(together.inputs, (std::vector<std::optional<double>>{1.0, -kHuge, 2.0, 3.0, 4.0}));
  EXPECT_EQ(together.reports, 2u);
}

// Several sensors in one batch, each with device objects whose signals the
// inputs move, one with an offset the program set on its position, act as
// one call each: a refused input in the middle of the second sensor's inputs
// leaves the first one's moves and its own earlier ones in place, and those
// after it move on from where they leave the position.
TEST_F(SimTest, SensorsOfOneBatchActAsOneCallEach) {
  namespace ids = kvor::zephrin::signal_ids::angulon;
  constexpr double kHuge = 1e308;
  const int32_t raw = platform::SimPhysicsInputIndex(DeviceType::Angulon, "RawPosition");
  const int32_t add = platform::SimPhysicsInputIndex(DeviceType::Angulon, "AddPosition");
  const int32_t velocity = platform::SimPhysicsInputIndex(DeviceType::Angulon, "Velocity");
  const platform::SimInputValue first[] = {{raw, 0.75}, {velocity, std::nan("")}, {add, 0.5}};
  // The second move of kHuge would carry the position past the largest double.
  const platform::SimInputValue second[] = {{raw, 1.0},      {add, kHuge}, {add, kHuge},
                                            {velocity, 2.0}, {add, -kHuge}, {add, 0.25}};
  struct Outcome {
    std::vector<int32_t> statuses;
    std::vector<int32_t> lastErrors;
    std::vector<double> values;
    std::vector<std::string> reports;
    bool operator==(const Outcome&) const = default;
  };
  auto run = [&](bool together) {
    harness::Reset();
    harness::UseManualClock(1.0);
    const uint32_t hashes[] = {harness::AddDevice(1, "angulon", "drive"), harness::AddDevice(2, "angulon", "drive")};
    EXPECT_EQ(platform::SimCreate(DeviceType::Angulon, 1), StatusCode::OK);
    EXPECT_EQ(platform::SimCreate(DeviceType::Angulon, 2), StatusCode::OK);
    harness::SetSimulatedValue(hashes[1], ids::kPosition, 5.0);
    std::vector<platform::SimDeviceInputs> devices{{DeviceType::Angulon, 1, first}, {DeviceType::Angulon, 2, second}};
    Outcome outcome;
    // Twice, so that the second batch goes by the plan the first one made.
    for (int round = 0; round < 2; ++round) {
      if (together) platform::SimSetDevicesPhysicsInputs(devices);
      for (platform::SimDeviceInputs& d : devices) {
        outcome.statuses.push_back(together ? d.status
                                            : platform::SimSetPhysicsInputsAt(d.deviceType, d.deviceId, d.inputs));
        outcome.lastErrors.push_back(platform::SimGetLastError(d.deviceType, d.deviceId));
      }
      for (const uint32_t hash : hashes) {
        for (const uint16_t id : {ids::kPosition, ids::kAbsolutePosition, ids::kPositionSinceBoot, ids::kVelocity}) {
          const uint64_t key = platform::MakeSignalKey(hash, id);
          platform::SignalMeasurement record{};
          EXPECT_EQ(c_kvor_zephrin6_get_signal(1, &key, &record, "drive", false, 0.0), 0);
          outcome.values.push_back(record.value);
        }
      }
    }
    for (const harness::Report& report : harness::Reports()) outcome.reports.push_back(report.location);
    return outcome;
  };
  const Outcome together = run(true);
  EXPECT_EQ(together, run(false));
  EXPECT_EQ(together.statuses, (std::vector<int32_t>{-1002, -1002, -1002, -1002}));
  // The second sensor ends 0.25 past where the refused move left it (1 +
  // kHuge - kHuge, which rounds to 0); its position's offset of 5 went to
  // the same rounding on the way.
  EXPECT_EQ(std::vector<double>(together.values.begin(), together.values.begin() + 8),
            (std::vector<double>{1.25, 0.25, 1.25, 0.0, 0.25, 0.25, 0.25, 2.0}));
  EXPECT_EQ(together.reports.size(), 4u);
}

// A physics model hands over the same batch step after step, its values
// changing, now and then one not a number or a move past the largest
// double. Every step acts as one call per device would: statuses, last
// errors, inputs kept, the signals of every device object (one with an
// offset the program set on its position) and reports. A device object
// found after the steps starts from the values its sensor's signals were
// last set to.
TEST_F(SimTest, RepeatedBatchesActAsOneCallEachAtEveryStep) {
  namespace ids = kvor::zephrin::signal_ids::angulon;
  constexpr double kHuge = 1e308;
  const double nan = std::nan("");
  const int32_t raw = platform::SimPhysicsInputIndex(DeviceType::Angulon, "RawPosition");
  const int32_t add = platform::SimPhysicsInputIndex(DeviceType::Angulon, "AddPosition");
  const int32_t velocity = platform::SimPhysicsInputIndex(DeviceType::Angulon, "Velocity");
  const int32_t supply = platform::SimPhysicsInputIndex(DeviceType::RapaxQ, "SupplyVoltage");
  const int32_t rotor = platform::SimPhysicsInputIndex(DeviceType::RapaxQ, "RotorVelocity");
  // Per step: the motor's rotor velocity, the first sensor's position and
  // both sensors' velocity, and the second sensor's two moves.
  struct Step {
    double rotor, position, velocity, move;
  };
  const Step steps[] = {{1.0, 0.25, 1.0, 0.125}, {nan, 0.5, nan, 0.25}, {2.0, 0.75, 2.0, kHuge},
                        {3.0, 1.5, 3.0, 0.5}};
  const uint16_t signals[] = {ids::kPosition, ids::kAbsolutePosition, ids::kPositionSinceBoot, ids::kVelocity};
  auto read = [](uint32_t hash, const char* bus, uint16_t id) {
    const uint64_t key = platform::MakeSignalKey(hash, id);
    platform::SignalMeasurement record{};
    EXPECT_EQ(c_kvor_zephrin6_get_signal(1, &key, &record, bus, false, 0.0), 0);
    return record.value;
  };
  struct Outcome {
    std::vector<int32_t> statuses;
    std::vector<std::optional<double>> inputs;
    std::vector<double> values;
    std::vector<double> found;  // the signals of the device object found last
    std::vector<std::string> reports;
    bool operator==(const Outcome&) const = default;
  };
  auto run = [&](bool together) {
    harness::Reset();
    harness::UseManualClock(1.0);
    const uint32_t first = harness::AddDevice(1, "angulon", "drive");
    const uint32_t second[] = {harness::AddDevice(2, "angulon", "drive"), harness::AddDevice(2, "angulon", "steer")};
    EXPECT_EQ(platform::SimCreate(DeviceType::RapaxQ, 3), StatusCode::OK);
    EXPECT_EQ(platform::SimCreate(DeviceType::Angulon, 1), StatusCode::OK);
    EXPECT_EQ(platform::SimCreate(DeviceType::Angulon, 2), StatusCode::OK);
    harness::SetSimulatedValue(second[1], ids::kPosition, 5.0);
    // One storage for every step, as a physics model keeps it.
    platform::SimInputValue motor[] = {{supply, 12.0}, {rotor, 0.0}};
    platform::SimInputValue sensor[] = {{raw, 0.0}, {velocity, 0.0}};
    platform::SimInputValue moved[] = {{add, 0.0}, {velocity, 0.0}, {add, 0.0}};
    std::vector<platform::SimDeviceInputs> devices{
        {DeviceType::RapaxQ, 3, motor}, {DeviceType::Angulon, 1, sensor}, {DeviceType::Angulon, 2, moved}};
    Outcome outcome;
    for (const Step& step : steps) {
      motor[1].value = step.rotor;
      sensor[0].value = step.position;
      sensor[1].value = moved[1].value = step.velocity;
      moved[0].value = moved[2].value = step.move;
      if (together) platform::SimSetDevicesPhysicsInputs(devices);
      for (platform::SimDeviceInputs& d : devices) {
        outcome.statuses.push_back(together ? d.status
                                            : platform::SimSetPhysicsInputsAt(d.deviceType, d.deviceId, d.inputs));
        outcome.statuses.push_back(platform::SimGetLastError(d.deviceType, d.deviceId));
      }
      outcome.inputs.push_back(harness::SimPhysicsInput(5, 3, "RotorVelocity"));
      outcome.inputs.push_back(harness::SimPhysicsInput(6, 2, "Velocity"));
      for (const uint16_t id : signals) {
        outcome.values.push_back(read(first, "drive", id));
        outcome.values.push_back(read(second[0], "drive", id));
        outcome.values.push_back(read(second[1], "steer", id));
      }
    }
    const uint32_t later = harness::AddDevice(1, "angulon", "steer");
    EXPECT_EQ(platform::SimCreate(DeviceType::Angulon, 1), StatusCode::SimDeviceAlreadyExists);
    for (const uint16_t id : signals) outcome.found.push_back(read(later, "steer", id));
    for (const harness::Report& report : harness::Reports()) outcome.reports.push_back(report.location);
    return outcome;
  };
  const Outcome together = run(true);
  EXPECT_EQ(together, run(false));
  // Step 2's values that are not numbers and step 3's second move are
  // refused (status, then last error, of each device).
  EXPECT_EQ(together.statuses, (std::vector<int32_t>{0, 0, 0, 0, 0, 0,                        //
                                                     -1002, -1002, -1002, -1002, -1002, 0,  //
                                                     0, 0, 0, 0, -1002, -1002,              //
                                                     0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(together.inputs, (std::vector<std::optional<double>>{1.0, 1.0, 1.0, 1.0, 2.0, 2.0, 3.0, 3.0}));
  // After the last step: the first sensor at 1.5 turns, the second moved
  // 0.125 twice, 0.25 twice, kHuge once (its second refused) and 0.5 twice.
  const std::size_t last = together.values.size() - 12;
  EXPECT_EQ(std::vector<double>(together.values.begin() + static_cast<std::ptrdiff_t>(last), together.values.end()),
            (std::vector<double>{1.5, kHuge + 1.0, kHuge + 6.0, -0.5, 0.0, 0.0, 1.5, kHuge + 1.0, kHuge + 1.0, 3.0,
                                 3.0, 3.0}));
  // The object found later carries what its sensor's signals were set to;
  // its position, which moves by differences only, starts at 0.
  EXPECT_EQ(together.found, (std::vector<double>{0.0, -0.5, 1.5, 3.0}));
  EXPECT_EQ(together.reports.size(), 4u);
}

// A physics model hands over the same batch every step. The batch must
// still reach a device created after it was first handed over, and a batch
// that differs from the last one only in an input's index (or in one
// device) must act on that input and that device.
TEST_F(SimTest, RepeatedBatchesFollowCreationsAndChanges) {
  const int32_t distance = platform::SimPhysicsInputIndex(DeviceType::Distix, "Distance");
  const int32_t supply = platform::SimPhysicsInputIndex(DeviceType::Distix, "SupplyVoltage");
  const int32_t rotor = platform::SimPhysicsInputIndex(DeviceType::RapaxQ, "RotorVelocity");
  ASSERT_EQ(platform::SimCreate(DeviceType::RapaxQ, 1), StatusCode::OK);
  platform::SimInputValue motor[] = {{rotor, 1.0}};
  platform::SimInputValue sensor[] = {{distance, 2.0}};
  std::vector<platform::SimDeviceInputs> devices{{DeviceType::RapaxQ, 1, motor}, {DeviceType::Distix, 2, sensor}};
  platform::SimSetDevicesPhysicsInputs(devices);
  EXPECT_EQ(devices[1].status, StatusCode::SimDeviceNotFound);

  ASSERT_EQ(platform::SimCreate(DeviceType::Distix, 2), StatusCode::OK);
  sensor[0].value = 3.0;
  platform::SimSetDevicesPhysicsInputs(devices);
  EXPECT_EQ(devices[1].status, StatusCode::OK);
  EXPECT_EQ(harness::SimPhysicsInput(9, 2, "Distance"), 3.0);

  sensor[0] = {supply, 12.0};
  platform::SimSetDevicesPhysicsInputs(devices);
  EXPECT_EQ(harness::SimPhysicsInput(9, 2, "SupplyVoltage"), 12.0);
  EXPECT_EQ(harness::SimPhysicsInput(9, 2, "Distance"), 3.0);

  // The same shape for another device of the same type, then an index the
  // type does not have where a valid one stood.
  ASSERT_EQ(platform::SimCreate(DeviceType::RapaxQ, 3), StatusCode::OK);
  devices[0].deviceId = 3;
  motor[0].value = 4.0;
  platform::SimSetDevicesPhysicsInputs(devices);
  EXPECT_EQ(harness::SimPhysicsInput(5, 3, "RotorVelocity"), 4.0);
  EXPECT_EQ(harness::SimPhysicsInput(5, 1, "RotorVelocity"), 1.0);
  motor[0].inputIndex = distance;
  platform::SimSetDevicesPhysicsInputs(devices);
  EXPECT_EQ(devices[0].status, StatusCode::SimPhysicsTypeNotSupported);
  EXPECT_EQ(harness::SimPhysicsInput(5, 3, "RotorVelocity"), 4.0);
  // No inputs at all: nothing refused, and the last error stays.
  devices[0].inputs = {};
  platform::SimSetDevicesPhysicsInputs(devices);
  EXPECT_EQ(devices[0].status, StatusCode::OK);
  EXPECT_EQ(platform::SimGetLastError(DeviceType::RapaxQ, 3), StatusCode::SimPhysicsTypeNotSupported);
}

// Outputs read together answer as one read each, in order: a device's
// last error is that of its last read, and a failed read leaves its value.
TEST_F(SimTest, OutputsReadTogetherActAsOneReadEach) {
  ASSERT_EQ(platform::SimCreate(DeviceType::RapaxQ, 1), StatusCode::OK);
  ASSERT_EQ(platform::SimCreate(DeviceType::RapaxW, 2), StatusCode::OK);
  harness::SetSimPhysicsValue(8, 2, "TorqueCurrent", 3.0);
  std::vector<platform::SimOutputRead> reads{
      {DeviceType::RapaxQ, 1, "MotorVoltage", -1.0}, {DeviceType::RapaxW, 2, "TorqueCurrent", -1.0},
      {DeviceType::RapaxW, 2, "Distance", -1.0},     {DeviceType::Distix, 1, "Distance", -1.0},
      {DeviceType::RapaxQ, 1, "Nothing", -1.0},      {DeviceType::RapaxW, 2, "SupplyCurrent", -1.0}};
  platform::SimGetPhysicsValues(reads);
  const std::vector<std::pair<double, int32_t>> expected{{0.0, 0},     {3.0, 0},     {-1.0, 1201},
                                                         {-1.0, 1200}, {-1.0, 1201}, {0.0, 0}};
  for (std::size_t i = 0; i < reads.size(); ++i) {
    EXPECT_EQ(std::make_pair(reads[i].value, reads[i].status), expected[i]) << i;
    double one = -1.0;
    EXPECT_EQ(platform::SimGetPhysicsValue(reads[i].deviceType, reads[i].deviceId, reads[i].physicsType, one),
              reads[i].status);
    EXPECT_EQ(one, reads[i].value) << i;
  }
  platform::SimGetPhysicsValues(reads);
  EXPECT_EQ(platform::SimGetLastError(DeviceType::RapaxQ, 1), StatusCode::SimPhysicsTypeNotSupported);
  EXPECT_EQ(platform::SimGetLastError(DeviceType::RapaxW, 2), StatusCode::OK);
}

// A physics model reads the same outputs every step. A read must still
// find a device created since it was last made, an output the harness set
// since, and the output its name names now, even when the caller rewrote
// the name in the same buffer.
TEST_F(SimTest, RepeatedReadsFollowCreationsAndChanges) {
  char name[] = "TorqueCurrent";
  std::vector<platform::SimOutputRead> reads{{DeviceType::RapaxQ, 7, name, -1.0}};
  platform::SimGetPhysicsValues(reads);
  EXPECT_EQ(reads[0].status, StatusCode::SimDeviceNotFound);

  ASSERT_EQ(platform::SimCreate(DeviceType::RapaxQ, 7), StatusCode::OK);
  platform::SimGetPhysicsValues(reads);
  EXPECT_EQ(std::make_pair(reads[0].value, reads[0].status), std::make_pair(0.0, 0));

  harness::SetSimPhysicsValue(5, 7, "TorqueCurrent", 2.5);
  harness::SetSimPhysicsValue(5, 7, "SupplyCurrent", 4.5);
  platform::SimGetPhysicsValues(reads);
  EXPECT_EQ(reads[0].value, 2.5);
  std::copy_n("SupplyCurrent", sizeof name, name);
  platform::SimGetPhysicsValues(reads);
  EXPECT_EQ(reads[0].value, 4.5);
  // A name rewritten at its last letter only, then at its first only.
  harness::SetSimPhysicsValue(5, 7, "SupplyCurrenT", 6.5);
  harness::SetSimPhysicsValue(5, 7, "supplyCurrenT", 7.5);
  harness::SetSimPhysicsValue(5, 7, "SupplyCurrent", 5.5);
  platform::SimGetPhysicsValues(reads);
  EXPECT_EQ(reads[0].value, 5.5);
  name[12] = 'T';
  platform::SimGetPhysicsValues(reads);
  EXPECT_EQ(reads[0].value, 6.5);
  name[0] = 's';
  platform::SimGetPhysicsValues(reads);
  EXPECT_EQ(reads[0].value, 7.5);
}

}  // namespace
