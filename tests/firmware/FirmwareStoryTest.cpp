// Stories of the simulated firmware as a whole: what an unconfigured device
// answers, determinism against how the clock is moved, a run recorded and
// replayed, the IMU's heading, and the bus load the devices cause.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include <kvor/zephrin/platform/Signals.hpp>

#include "catalogue/SignalCatalogue.hpp"
#include "firmware/FirmwareFixture.hpp"
#include "support/ReplayedReadings.hpp"

namespace {

using kvor::zephrin::StatusCode;
using namespace kvor::zephrin6::configs;
using namespace kvor::zephrin6::controls;
using kvor::zephrin6::CANBus;
using kvor::zephrin6::SignalLogger;
using kvor::zephrin6::hardware::core::CoreAuklet2;
using kvor::zephrin6::hardware::core::CoreRapaxQ;
using namespace units::literals;
namespace harness = kvor::zephrin::runtime::harness;

class FirmwareStoryTest : public zephrin_test::FirmwareTest {};

// A device nobody configured answers a read with its factory settings; once
// configured, with what the program set over them.
TEST_F(FirmwareStoryTest, ConfigReadsAnswerFactorySettingsUntilConfigured) {
  CoreRapaxQ motor(1, "can");
  RapaxQConfiguration read;
  read.CurrentLimits.StatorCurrentLimit = 1_A;  // anything the read must replace
  read.MotorOutput.PeakReverseDutyCycle = 0.5;
  read.Kinetra.KinetraExpo_kV = 7.0;
  ASSERT_EQ(motor.GetConfigurator().Refresh(read), StatusCode::OK);
  EXPECT_EQ(read.CurrentLimits.StatorCurrentLimit, 120_A);
  EXPECT_EQ(read.MotorOutput.PeakReverseDutyCycle, -1.0);
  EXPECT_EQ(read.Kinetra.KinetraExpo_kV, 0.12);
  EXPECT_EQ(read.Serialize(), RapaxQConfiguration{}.Serialize());

  Configure(motor, CurrentLimitsConfigs{}.WithStatorCurrentLimit(35_A));
  ASSERT_EQ(motor.GetConfigurator().Refresh(read), StatusCode::OK);
  EXPECT_EQ(read.CurrentLimits.StatorCurrentLimit, 35_A);
  EXPECT_EQ(read.CurrentLimits.SupplyCurrentLimit, 70_A);
}

// The same program gives the same values to the last bit whether the clock
// moves 20 ms at a time or one step at a time, and on every run.
TEST_F(FirmwareStoryTest, SimulationDoesNotDependOnHowTheClockIsMoved) {
  auto run = [](int stepsPerMove) {
    harness::Reset();
    harness::UseManualClock(1.0);
    CoreRapaxQ drive(1, "can"), steer(2, "can");
    Configure(steer, Slot0Configs{}.WithkP(20).WithkD(0.3));
    Configure(drive, Slot0Configs{}.WithkV(0.12).WithkP(0.2));
    std::vector<double> seen;
    for (int loop = 0; loop < 50; ++loop) {
      drive.SetControl(VelocityVoltage{units::angular_velocity::turns_per_second_t{loop < 25 ? 30.0 : -10.0}});
      steer.SetControl(PositionVoltage{units::angle::turn_t{0.01 * loop}});
      for (int i = 0; i < stepsPerMove; ++i) harness::AdvanceTime(0.020 / stepsPerMove);
      seen.push_back(drive.GetVelocity().GetValue().value());
      seen.push_back(steer.GetPosition().GetValue().value());
      seen.push_back(drive.GetSimState().GetMotorVoltage().value());
    }
    return seen;
  };
  const std::vector<double> chunked = run(1);
  EXPECT_EQ(run(20), chunked);
  EXPECT_EQ(run(1), chunked);
  EXPECT_NE(chunked[3 * 24], 0.0);  // it did move
}

// A clock set back (a program switching to manual time, a test setting an
// earlier time) still finds the devices' present values, and the simulation
// goes on from there.
TEST_F(FirmwareStoryTest, ClockSetBackStillServesThePresent) {
  CoreRapaxQ motor(1, "can");
  ASSERT_EQ(motor.SetControl(VoltageOut{2_V}), StatusCode::OK);
  harness::AdvanceTime(0.5);
  const double position = motor.GetPosition().GetValue().value();
  ASSERT_GT(position, 1.0);
  harness::SetTime(0.25);
  auto& read = motor.GetPosition();
  EXPECT_EQ(read.GetStatus(), StatusCode::OK);
  EXPECT_EQ(read.GetValue().value(), position);
  harness::AdvanceTime(0.1);
  EXPECT_GT(motor.GetPosition().GetValue().value(), position);
}

// A run of the firmware recorded to a log replays to the same readings at the
// same times, in a runtime whose firmware never ran.
TEST_F(FirmwareStoryTest, RecordedFirmwareRunReplaysToTheSameReadings) {
  const auto folder = std::filesystem::temp_directory_path() / ("zephrin_firmware_" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::vector<std::pair<double, double>> seen;  // (time, position)
  std::string file;
  {
    ASSERT_EQ(SignalLogger::SetPath(folder.c_str()), StatusCode::OK);
    ASSERT_EQ(SignalLogger::Start(), StatusCode::OK);
    CoreRapaxQ motor(5, "can");
    Configure(motor, Slot0Configs{}.WithkP(10).WithkD(0.2));
    for (int loop = 0; loop < 50; ++loop) {
      motor.SetControl(PositionVoltage{units::angle::turn_t{loop < 20 ? 2.0 : -1.0}});
      harness::AdvanceTime(0.02);
      seen.emplace_back(harness::Now(), motor.GetPosition().GetValue().value());
    }
    ASSERT_EQ(SignalLogger::Stop(), StatusCode::OK);
    file = harness::LastLogFile();
  }
  ASSERT_FALSE(file.empty());
  zephrin_test::ExpectReplayedReadings(file, 5, "can", &CoreRapaxQ::GetPosition, seen);
  std::filesystem::remove_all(folder);
}

// The IMU integrates its angular velocity into the yaw until a yaw input is
// given; from then on the yaw is what the inputs say. Set-yaw re-zeroes it.
TEST_F(FirmwareStoryTest, ImuIntegratesItsRateUntilGivenAnAngle) {
  CoreAuklet2 imu(3, "can");
  auto& sim = imu.GetSimState();
  ASSERT_EQ(sim.SetAngularVelocityZ(90_deg_per_s), StatusCode::OK);
  harness::AdvanceTime(1.0);
  EXPECT_NEAR(imu.GetYaw().GetValue().value(), 90.0, 1e-9);
  EXPECT_EQ(imu.GetAngularVelocityZWorld().GetValue().value(), 90.0);
  EXPECT_NEAR(imu.GetQuatZ().GetValue().value(), std::sin(std::numbers::pi / 4), 1e-9);

  ASSERT_EQ(sim.SetRawYaw(10_deg), StatusCode::OK);
  harness::AdvanceTime(0.5);
  EXPECT_EQ(imu.GetYaw().GetValue().value(), 10.0);
  ASSERT_EQ(imu.GetConfigurator().SetYaw(-5_deg), StatusCode::OK);
  ASSERT_EQ(sim.AddYaw(2_deg), StatusCode::OK);
  harness::AdvanceTime(0.02);
  EXPECT_EQ(imu.GetYaw().GetValue().value(), -3.0);
  EXPECT_NEAR(imu.GetAccumGyroZ().GetValue().value(), 90.0 * 1.52, 1e-9);  // the gyro kept counting
}

// The four quaternion signals of a frame come from one set of sines and
// cosines; a change of any angle, the set-yaw offset included, must reach
// all four at the next frame.
TEST_F(FirmwareStoryTest, QuaternionFollowsEveryChangeOfTheAngles) {
  CoreAuklet2 imu(3, "can");
  auto& sim = imu.GetSimState();
  auto quaternion = [&] {
    harness::AdvanceTime(0.02);
    return std::array<double, 4>{imu.GetQuatW().GetValue(), imu.GetQuatX().GetValue(), imu.GetQuatY().GetValue(),
                                 imu.GetQuatZ().GetValue()};
  };
  auto expectNear = [](const std::array<double, 4>& q, const std::array<double, 4>& expected) {
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(q[i], expected[i], 1e-12) << "component " << i;
  };
  const double half = std::sqrt(0.5);
  ASSERT_EQ(sim.SetRawYaw(90_deg), StatusCode::OK);
  expectNear(quaternion(), {half, 0.0, 0.0, half});
  ASSERT_EQ(sim.SetRoll(90_deg), StatusCode::OK);
  expectNear(quaternion(), {0.5, 0.5, 0.5, 0.5});
  ASSERT_EQ(imu.GetConfigurator().SetYaw(0_deg), StatusCode::OK);
  expectNear(quaternion(), {half, half, 0.0, 0.0});
  ASSERT_EQ(sim.SetPitch(-90_deg), StatusCode::OK);
  ASSERT_EQ(sim.SetRoll(0_deg), StatusCode::OK);
  expectNear(quaternion(), {half, 0.0, -half, 0.0});
}

// Every catalogue signal of `device` that is not a finite number now, by name.
template <class Device>
std::string SignalsNotFinite(const Device& device, std::string_view model) {
  namespace catalogue = kvor::zephrin::runtime::catalogue;
  namespace platform = kvor::zephrin::platform;
  std::string bad;
  for (const catalogue::CatalogueEntry& entry : catalogue::AllSignals()) {
    if (!catalogue::ModelPublishes(entry, catalogue::ModelMask(model))) continue;
    const uint64_t key = platform::MakeSignalKey(device.GetDeviceHash(), entry.id);
    platform::SignalMeasurement record{};
    // Only the value matters here; a signal without a frame yet reads as 0.
    static_cast<void>(::c_kvor_zephrin6_get_signal(1, &key, &record, device.GetNetwork().c_str(), false, 0.0));
    if (!std::isfinite(record.value)) bad += std::string(entry.name) + " ";
  }
  return bad;
}

// Inputs that are finite one by one but absurd in size (a 1e308 V supply, a
// rotor spun at 1e308 turns per second, an IMU turning as fast, positions at
// the end of the doubles) make the simulated physics run away; still every
// signal the devices send stays a finite number, and so does every physics
// output.
TEST_F(FirmwareStoryTest, AbsurdInputsLeaveEverySignalFinite) {
  constexpr double kHuge = 1e308;
  CoreRapaxQ powered(1, "can");
  CoreRapaxQ spun(2, "can");
  CoreAuklet2 imu(3, "can");
  ASSERT_EQ(powered.GetSimState().SetSupplyVoltage(units::voltage::volt_t{kHuge}), StatusCode::OK);
  ASSERT_EQ(powered.GetSimState().SetRawRotorPosition(units::angle::turn_t{kHuge}), StatusCode::OK);
  ASSERT_EQ(powered.SetControl(PositionVoltage{units::angle::turn_t{-kHuge}}), StatusCode::OK);
  auto& rotor = spun.GetSimState();
  ASSERT_EQ(rotor.SetRotorVelocity(units::angular_velocity::turns_per_second_t{kHuge}), StatusCode::OK);
  ASSERT_EQ(rotor.SetRotorAcceleration(units::angular_acceleration::turns_per_second_squared_t{-kHuge}),
            StatusCode::OK);
  ASSERT_EQ(spun.SetControl(VoltageOut{12_V}), StatusCode::OK);
  auto& gyro = imu.GetSimState();
  ASSERT_EQ(gyro.SetAngularVelocityX(units::angular_velocity::degrees_per_second_t{kHuge}), StatusCode::OK);
  ASSERT_EQ(gyro.SetAngularVelocityY(units::angular_velocity::degrees_per_second_t{-kHuge}), StatusCode::OK);
  ASSERT_EQ(gyro.SetAngularVelocityZ(units::angular_velocity::degrees_per_second_t{kHuge}), StatusCode::OK);
  ASSERT_EQ(imu.GetConfigurator().SetYaw(units::angle::degree_t{-kHuge}), StatusCode::OK);
  // Long enough for the integrated angles and positions to reach the end of
  // the doubles.
  harness::AdvanceTime(3.0);

  EXPECT_EQ(SignalsNotFinite(powered, "rapax q"), "");
  EXPECT_EQ(SignalsNotFinite(spun, "rapax q"), "");
  EXPECT_EQ(SignalsNotFinite(imu, "auklet 2"), "");
  for (CoreRapaxQ* motor : {&powered, &spun}) {
    SCOPED_TRACE(motor->GetDeviceID());
    EXPECT_TRUE(std::isfinite(motor->GetSimState().GetMotorVoltage().value()));
    EXPECT_TRUE(std::isfinite(motor->GetSimState().GetTorqueCurrent().value()));
    EXPECT_TRUE(std::isfinite(motor->GetSimState().GetSupplyCurrent().value()));
  }
}

// The bus load comes from the frames its devices send at their applied
// frequencies and the requests the program repeats: none on an empty bus,
// more on classic CAN than on CAN FD for the same device, more with a
// request repeated at 100 Hz, much less once the device sends only its
// position; what a test sets wins.
TEST_F(FirmwareStoryTest, BusLoadFollowsTheFramesItsDevicesSend) {
  const CANBus fd{"fd"}, classic{""};
  EXPECT_EQ(fd.GetStatus().BusUtilization, 0.0f);
  CoreRapaxQ onFd(1, fd), onClassic(1, classic);
  const float fdLoad = fd.GetStatus().BusUtilization;
  const float classicLoad = classic.GetStatus().BusUtilization;
  EXPECT_GT(fdLoad, 0.0f);
  EXPECT_GT(classicLoad, fdLoad);
  EXPECT_LE(classicLoad, 1.0f);

  ASSERT_EQ(onFd.SetControl(DutyCycleOut{0.1}.WithUpdateFreqHz(100_Hz)), StatusCode::OK);
  harness::AdvanceTime(0.001);
  const float commanded = fd.GetStatus().BusUtilization;
  EXPECT_GT(commanded, fdLoad);

  ASSERT_EQ(onFd.GetPosition().SetUpdateFrequency(100_Hz), StatusCode::OK);
  ASSERT_EQ(onFd.OptimizeBusUtilization(), StatusCode::OK);
  const float optimised = fd.GetStatus().BusUtilization;
  EXPECT_GT(optimised, 0.0f);
  EXPECT_LT(optimised, commanded / 2);

  harness::SetBusStatus("fd", harness::BusStatus{0.42f});
  EXPECT_EQ(fd.GetStatus().BusUtilization, 0.42f);
}

}  // namespace
