// The swerve module as its motors see it: which request each motor gets for
// each drive and steer mode, the quarter-turn optimisation, the cosine,
// coupling and torque feed-forwards, the extrapolated position, the neutral
// mode configuration and the refusal of unusable numbers.
#include <kvor/zephrin6/signals/BaseStatusSignal.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveModuleImpl.hpp>

#include <kvor/zephrin/runtime/harness/Harness.hpp>

#include <cmath>
#include <string>

#include "support/RuntimeFixture.hpp"
#include "swerve/SwerveRig.hpp"

namespace {

using namespace swerve_rig;
using kvor::zephrin::StatusCode;
using kvor::zephrin6::BaseStatusSignal;
using swerve::ClosedLoopOutputType;
using swerve::DriveRequestType;
using swerve::MotorControllerType;
using swerve::SteerRequestType;
using swerve::impl::ModuleRequest;
using units::force::newton_t;

class SwerveModuleImplTest : public zephrin_test::RuntimeTest {
 protected:
  static SwerveModuleImpl::Settings Settings(int steerId = 10, int driveId = 20) {
    SwerveModuleImpl::Settings settings;
    settings.SteerMotorId = steerId;
    settings.DriveMotorId = driveId;
    settings.DriveMotorGearRatio = kDriveGearRatio;
    settings.WheelRadius = meter_t{kWheelRadius};
    settings.SpeedAt12Volts = meters_per_second_t{kSpeedAt12Volts};
    return settings;
  }
  static ModuleRequest Request(double speed, double degrees) {
    ModuleRequest request;
    request.State = {meters_per_second_t{speed}, swerve::Rotation2d(units::angle::degree_t{degrees})};
    return request;
  }
  /// Makes the module's signals read the steer azimuth `turns` turning at
  /// `turnsPerSecond`, without touching its cached position.
  static void SetSteer(SwerveModuleImpl& module, double turns, double turnsPerSecond = 0.0) {
    Publish(RapaxQHash(10), kPositionId, turns);
    Publish(RapaxQHash(10), kVelocityId, turnsPerSecond);
    EXPECT_EQ(BaseStatusSignal::RefreshAll(module.GetSignals()), StatusCode::OK);
  }
};

// Past a quarter turn (strictly) the wheel drives backwards and steers the
// short way; the azimuth read back matches the target, so no cosine slowing.
TEST_F(SwerveModuleImplTest, TurnsAtMostAQuarterTurn) {
  SwerveModuleImpl module(Settings(), kBus);
  struct Row {
    double requested;
    double steered;
    double direction;
  };
  for (const Row& row : {Row{100, -80, -1}, Row{-100, 80, -1}, Row{90, 90, 1}, Row{-90, -90, 1}, Row{45, 45, 1},
                         Row{179, -1, -1}}) {
    SCOPED_TRACE(row.requested);
    SetSteer(module, Turns(row.steered));
    module.Apply(Request(1.0, row.requested));
    EXPECT_EQ(LastCall(RapaxQHash(10)).function, Function("PositionVoltage"));
    EXPECT_NEAR(Number(LastCall(RapaxQHash(10)), kFirstField), Turns(row.steered), 1e-9);
    EXPECT_EQ(LastCall(RapaxQHash(20)).function, Function("VoltageOut"));
    EXPECT_NEAR(Number(LastCall(RapaxQHash(20)), kFirstField), row.direction * VoltsFor(1.0), 1e-9);
    EXPECT_NEAR(module.GetTargetState().speed.value(), row.direction, 1e-12);
  }
}

// While the azimuth is off target the wheel is slowed by the cosine of the
// error, stopped past a quarter turn, and always given the drive motion the
// steering causes through the coupling gear.
TEST_F(SwerveModuleImplTest, SlowsTheWheelUntilTheAzimuthArrives) {
  auto settings = Settings();
  settings.CouplingGearRatio = 2.0;
  SwerveModuleImpl module(settings, kBus);
  struct Row {
    const char* what;
    double steerTurns;
    double steerTurnsPerSecond;
    double requestedDegrees;
    double expectedVolts;
  };
  const double couplingVolts = 2.0 * 0.5 / kTurnsPerMeter / kSpeedAt12Volts * 12.0;
  for (const Row& row : {Row{"on target", 0.0, 0.0, 0.0, VoltsFor(1.0)},
                         Row{"60 degrees off", 0.0, 0.0, 60.0, 0.5 * VoltsFor(1.0)},
                         Row{"half a turn off", 0.5, 0.0, 0.0, 0.0},
                         Row{"half a turn off while steering", 0.5, 0.5, 0.0, couplingVolts}}) {
    SCOPED_TRACE(row.what);
    SetSteer(module, row.steerTurns, row.steerTurnsPerSecond);
    module.Apply(Request(1.0, row.requestedDegrees));
    EXPECT_NEAR(DriveVolts(0), row.expectedVolts, 1e-9);
  }
}

// The steer loop gets the azimuth change over the control period as its
// velocity feed-forward, and none without a period.
TEST_F(SwerveModuleImplTest, SteerVelocityFollowsTheTargets) {
  SwerveModuleImpl module(Settings(), kBus);
  auto request = Request(0.0, 0.0);
  request.UpdatePeriod = units::time::second_t{0.02};
  module.Apply(request);
  request.State.angle = swerve::Rotation2d(units::angle::degree_t{30.0});
  module.Apply(request);
  EXPECT_NEAR(Number(LastCall(RapaxQHash(10)), kFirstField + 1), (kPi / 6.0 / 0.02) / (2.0 * kPi), 1e-9);

  request.State.angle = swerve::Rotation2d(units::angle::degree_t{60.0});
  request.UpdatePeriod = units::time::second_t{0.0};
  module.Apply(request);
  EXPECT_EQ(Number(LastCall(RapaxQHash(10)), kFirstField + 1), 0.0);
}

// The velocity is the difference of the rotations as the public operators
// give it, to the last bit, for unwrapped angles, angles from vectors and
// targets the quarter-turn rule flips.
TEST_F(SwerveModuleImplTest, SteerVelocityIsTheRotationDifferenceBitForBit) {
  SwerveModuleImpl module(Settings(), kBus);
  const units::time::second_t period{0.004};
  swerve::Rotation2d previous;  // the module starts at its zero target
  const swerve::Rotation2d targets[] = {
      swerve::Rotation2d(units::angle::radian_t{0.3}),   swerve::Rotation2d(units::angle::radian_t{7.0}),
      swerve::Rotation2d(0.6, -0.8),                     swerve::Rotation2d(units::angle::radian_t{-3.0}),
      swerve::Rotation2d(units::angle::radian_t{1e-9}),  swerve::Rotation2d(-2.0, 1e-12),
      swerve::Rotation2d(units::angle::radian_t{1e6}),   swerve::Rotation2d(units::angle::radian_t{1e-9}),
      swerve::Rotation2d(1.0, 3.0),                      swerve::Rotation2d(-0.3, 0.7),
      swerve::Rotation2d(0.1, 0.2),                      swerve::Rotation2d(5.0, -1.0),
  };
  for (const swerve::Rotation2d& target : targets) {
    SCOPED_TRACE(target.Radians().value());
    ModuleRequest request = Request(1.0, 0.0);
    request.State.angle = target;
    request.UpdatePeriod = period;
    module.Apply(request);
    swerve::SwerveModuleState state = request.State;
    state.Optimize(swerve::Rotation2d());
    const double expected = (state.angle - previous).Radians().value() / period.value() / (2.0 * kPi);
    EXPECT_EQ(Number(LastCall(RapaxQHash(10)), kFirstField + 1), expected);
    previous = state.angle;
  }
}

// Which request each motor gets for each request type, closed-loop output
// and motor model; torque-current modes become a neutral output on a rapax w
// and unknown request types send nothing.
TEST_F(SwerveModuleImplTest, SendsTheRequestOfEachModeAndModel) {
  struct Row {
    const char* expectedSteer;  // "" when nothing is sent
    const char* expectedDrive;
    MotorControllerType model;
    ClosedLoopOutputType output;
    SteerRequestType steer;
    DriveRequestType drive;
  };
  const MotorControllerType Q = MotorControllerType::RapaxQ;
  const MotorControllerType W = MotorControllerType::RapaxW;
  const ClosedLoopOutputType V = ClosedLoopOutputType::Voltage;
  const ClosedLoopOutputType T = ClosedLoopOutputType::TorqueCurrentFOC;
  const Row rows[] = {
      {"KinetraExpoVoltage", "VoltageOut", Q, V, SteerRequestType::KinetraExpo, DriveRequestType::OpenLoopVoltage},
      {"KinetraExpoTorqueCurrentFOC", "VoltageOut", Q, T, SteerRequestType::KinetraExpo,
       DriveRequestType::OpenLoopVoltage},
      {"NeutralOut", "VoltageOut", W, T, SteerRequestType::KinetraExpo, DriveRequestType::OpenLoopVoltage},
      {"PositionVoltage", "VelocityVoltage", Q, V, SteerRequestType::Position, DriveRequestType::Velocity},
      {"PositionTorqueCurrentFOC", "VelocityTorqueCurrentFOC", Q, T, SteerRequestType::Position,
       DriveRequestType::Velocity},
      {"NeutralOut", "NeutralOut", W, T, SteerRequestType::Position, DriveRequestType::Velocity},
      {"PositionVoltage", "VelocityVoltage", W, V, SteerRequestType::Position, DriveRequestType::Velocity},
      {"", "", Q, V, static_cast<SteerRequestType>(7), static_cast<DriveRequestType>(9)},
  };
  int id = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.expectedSteer) + " / " + row.expectedDrive);
    ++id;
    auto settings = Settings(id, 100 + id);
    settings.SteerMotorType = settings.DriveMotorType = row.model;
    settings.SteerMotorClosedLoopOutput = settings.DriveMotorClosedLoopOutput = row.output;
    SwerveModuleImpl module(settings, kBus);
    const char* model = row.model == Q ? "rapax q" : "rapax w";
    const uint32_t steerHash = harness::DeviceHash(settings.SteerMotorId, model, kBus);
    const uint32_t driveHash = harness::DeviceHash(settings.DriveMotorId, model, kBus);
    auto request = Request(1.0, 10.0);
    request.SteerRequest = row.steer;
    request.DriveRequest = row.drive;
    request.EnableFOC = false;
    module.Apply(request);

    for (auto [hash, expected] : {std::pair{steerHash, row.expectedSteer}, std::pair{driveHash, row.expectedDrive}}) {
      if (std::string(expected).empty()) {
        EXPECT_EQ(harness::ControlCallCount(hash), 0u);
        continue;
      }
      const auto call = LastCall(hash);
      EXPECT_EQ(call.function, Function(expected));
      // Fresh requests are sent once; the neutral fallback repeats at 20 Hz.
      EXPECT_EQ(Number(call, kUpdateFreq), std::string(expected) == "NeutralOut" ? 20.0 : 0.0);
      if (std::string(expected) == "KinetraExpoVoltage" || std::string(expected) == "PositionVoltage") {
        EXPECT_FALSE(Flag(call, std::string(expected) == "PositionVoltage" ? kFirstField + 2 : kFirstField + 1));
      }
      if (std::string(expected) == "VelocityTorqueCurrentFOC") {
        EXPECT_TRUE(Flag(call, kFirstField + 4)) << "coasts within the deadband";
      }
    }
  }
}

// The wheel force becomes a motor torque along the wheel's azimuth, then a
// torque current through the motor's torque constant and a voltage through
// its stall current; constants the device has not sent yet give zero, not
// infinity.
TEST_F(SwerveModuleImplTest, TorqueFeedforwardsFollowTheForceAlongTheWheel) {
  SwerveModuleImpl module(Settings(), kBus);
  SetSteer(module, 0.0);
  const double torque = 10.0 * kWheelRadius / kDriveGearRatio;

  auto zero = module.CalculateMotorTorqueFeedforwards(newton_t{0.0}, newton_t{0.0});
  EXPECT_EQ(zero.torque.value(), 0.0);
  Publish(RapaxQHash(20), kMotorKtId, 0.0);  // a device that has not sent its constants yet
  Publish(RapaxQHash(20), kStallCurrentId, 0.0);
  auto unknownConstants = module.CalculateMotorTorqueFeedforwards(newton_t{10.0}, newton_t{0.0});
  EXPECT_NEAR(unknownConstants.torque.value(), torque, 1e-12);
  EXPECT_EQ(unknownConstants.torqueCurrent.value(), 0.0);
  EXPECT_EQ(unknownConstants.voltage.value(), 0.0);

  Publish(RapaxQHash(20), kMotorKtId, 0.02);
  Publish(RapaxQHash(20), kStallCurrentId, 300.0);
  auto along = module.CalculateMotorTorqueFeedforwards(newton_t{10.0}, newton_t{0.0});
  EXPECT_NEAR(along.torqueCurrent.value(), torque / 0.02, 1e-9);
  EXPECT_NEAR(along.voltage.value(), 12.0 / 300.0 * torque / 0.02, 1e-9);
  auto across = module.CalculateMotorTorqueFeedforwards(newton_t{0.0}, newton_t{10.0});
  EXPECT_NEAR(across.torque.value(), 0.0, 1e-12);

  auto request = Request(1.0, 0.0);
  request.DriveRequest = DriveRequestType::Velocity;
  request.WheelForceFeedforwardX = newton_t{10.0};
  module.Apply(request);
  const auto call = LastCall(RapaxQHash(20));
  EXPECT_EQ(call.function, Function("VelocityVoltage"));
  EXPECT_NEAR(Number(call, kFirstField), kTurnsPerMeter, 1e-9);
  EXPECT_NEAR(Number(call, kFirstField + 3), along.voltage.value(), 1e-12);
}

// The position extrapolates each signal along its velocity by its age (at
// most 0.3 s) and takes the coupling gear's share out of the drive turns.
TEST_F(SwerveModuleImplTest, PositionIsExtrapolatedAndUncoupled) {
  auto settings = Settings();
  settings.CouplingGearRatio = 2.0;
  SwerveModuleImpl module(settings, kBus);
  auto sample = [](double value, double age) {
    harness::SignalSample s;
    s.value = value;
    s.deviceTime = harness::Now() - age;
    return s;
  };
  harness::PublishSignal(RapaxQHash(20), kPositionId, sample(10.0, 0.1));
  harness::PublishSignal(RapaxQHash(20), kVelocityId, sample(5.0, 0.1));
  harness::PublishSignal(RapaxQHash(10), kPositionId, sample(0.25, 0.5));
  harness::PublishSignal(RapaxQHash(10), kVelocityId, sample(1.0, 0.5));
  EXPECT_EQ(BaseStatusSignal::RefreshAll(module.GetSignals()), StatusCode::OK);

  const auto position = module.GetPosition(false);
  const double steer = 0.25 + 1.0 * 0.3;
  EXPECT_NEAR(position.distance.value(), (10.0 + 5.0 * 0.1 - 2.0 * steer) / kTurnsPerMeter, 1e-9);
  EXPECT_NEAR(position.angle.Radians().value(), steer * 2.0 * kPi, 1e-9);
  EXPECT_EQ(module.GetCachedPosition(), position);
  EXPECT_NEAR(module.GetCurrentState().speed.value(), 5.0 / kTurnsPerMeter, 1e-12);
}

// A refresh that brings no new frame in time is reported, and the values at
// hand are used.
TEST_F(SwerveModuleImplTest, PositionUsesStaleValuesWhenTheRefreshFails) {
  SwerveModuleImpl module(Settings(), kBus);
  Publish(RapaxQHash(20), kPositionId, 3.0 * kTurnsPerMeter);  // no further frames
  harness::ClearReports();
  swerve::SwerveModulePosition position;
  RunWhileTimePasses([&] { position = module.GetPosition(true); });
  EXPECT_NEAR(position.distance.value(), 3.0, 1e-9);
  bool reported = false;
  for (const auto& report : harness::Reports()) {
    reported |= report.code == StatusCode::RxTimeout &&
                report.location == "kvor::zephrin6::BaseStatusSignal::WaitForAll";
  }
  EXPECT_TRUE(reported);
}

// The neutral mode reaches the drive motor's stored configuration; a failing
// read is printed with the device ID and returned, for either model.
TEST_F(SwerveModuleImplTest, ConfigNeutralModeSetsTheDriveMotor) {
  constexpr int kNeutralModeId = 2158;
  for (auto model : {MotorControllerType::RapaxQ, MotorControllerType::RapaxW}) {
    const bool q = model == MotorControllerType::RapaxQ;
    SCOPED_TRACE(q ? "rapax q" : "rapax w");
    auto settings = Settings(q ? 10 : 11, q ? 20 : 21);
    settings.DriveMotorType = model;
    SwerveModuleImpl module(settings, kBus);
    const uint32_t hash = harness::DeviceHash(settings.DriveMotorId, q ? "rapax q" : "rapax w", kBus);

    EXPECT_EQ(module.ConfigNeutralMode(kvor::zephrin6::signals::NeutralModeValue::Brake, units::time::second_t{0.1}),
              StatusCode::OK);
    EXPECT_EQ(harness::StoredConfigValue(hash, kNeutralModeId), 1.0);

    harness::FailNextConfigCalls(hash, 1, StatusCode::RxTimeout);
    testing::internal::CaptureStdout();
    EXPECT_EQ(module.ConfigNeutralMode(kvor::zephrin6::signals::NeutralModeValue::Coast, units::time::second_t{0.1}),
              StatusCode::RxTimeout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "RapaxQ ID " + std::to_string(settings.DriveMotorId) +
                                                          " failed config neutral mode with error RxTimeout\n");
    EXPECT_EQ(harness::StoredConfigValue(hash, kNeutralModeId), 1.0) << "nothing applied after the failed read";
  }
}

// Numbers that are not finite never reach a motor or the target: they are
// reported and the wheel stops at its last azimuth; a wheel radius of zero is
// reported once and the module then commands and measures no wheel motion.
TEST_F(SwerveModuleImplTest, RefusesUnusableNumbers) {
  SwerveModuleImpl module(Settings(), kBus);
  module.Apply(Request(1.0, 30.0));
  harness::ClearReports();
  auto request = Request(std::nan(""), 30.0);
  request.State.angle = swerve::Rotation2d(units::angle::radian_t{std::numeric_limits<double>::infinity()});
  module.Apply(request);
  ASSERT_EQ(harness::Reports().size(), 1u);
  EXPECT_EQ(harness::Reports()[0].code, StatusCode::InvalidParamValue);
  EXPECT_EQ(Number(LastCall(RapaxQHash(20)), kFirstField), 0.0);
  EXPECT_NEAR(Number(LastCall(RapaxQHash(10)), kFirstField), Turns(30.0), 1e-12);

  auto settings = Settings(11, 21);
  settings.WheelRadius = meter_t{0.0};
  harness::ClearReports();
  SwerveModuleImpl flat(settings, kBus);
  ASSERT_EQ(harness::Reports().size(), 1u);
  EXPECT_EQ(harness::Reports()[0].code, StatusCode::WheelRadiusTooSmall);
  Publish(RapaxQHash(21), kPositionId, 50.0);
  EXPECT_EQ(BaseStatusSignal::RefreshAll(flat.GetSignals()), StatusCode::OK);
  EXPECT_EQ(flat.GetPosition(false).distance.value(), 0.0);
  flat.Apply(Request(1.0, 0.0));
  EXPECT_EQ(Number(LastCall(RapaxQHash(21)), kFirstField), 0.0);
}

}  // namespace
