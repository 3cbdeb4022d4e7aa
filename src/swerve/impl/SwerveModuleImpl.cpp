#include <kvor/zephrin6/swerve/impl/SwerveModuleImpl.hpp>

#include <kvor/zephrin6/configs/MotorOutputConfigs.hpp>
#include <kvor/zephrin6/controls/KinetraExpoTorqueCurrentFOC.hpp>
#include <kvor/zephrin6/controls/KinetraExpoVoltage.hpp>
#include <kvor/zephrin6/controls/NeutralOut.hpp>
#include <kvor/zephrin6/controls/PositionTorqueCurrentFOC.hpp>
#include <kvor/zephrin6/controls/PositionVoltage.hpp>
#include <kvor/zephrin6/controls/VelocityTorqueCurrentFOC.hpp>
#include <kvor/zephrin6/controls/VelocityVoltage.hpp>
#include <kvor/zephrin6/controls/VoltageOut.hpp>
#include <kvor/zephrin6/core/CANBus.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxQ.hpp>
#include <kvor/zephrin6/hardware/core/CoreRapaxW.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>

#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/internal/Report.hpp"
#include "swerve/internal/PlanarMath.hpp"

namespace kvor::zephrin6::swerve::impl {

using kvor::zephrin::StatusCode;
using units::angle::turn_t;
using units::angular_velocity::turns_per_second_t;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// How far a signal is extrapolated along its velocity at most: older values
// are more likely a dead device than a slow one.
constexpr units::time::second_t kMaxLatency{0.3};
constexpr units::time::second_t kRefreshTimeout{0.05};
// The odometry-rate signals come every sample; the motor constants hardly
// change, so they only need a slow refresh.
constexpr units::frequency::hertz_t kMotorConstantsFrequency{4.0};

// num / den, or 0 when den is zero or the quotient is not finite, so that a
// constant the device has not sent yet (or a zero wheel radius) gives no
// command at all rather than an infinite one.
double SafeRatio(double num, double den) {
  if (den == 0.0) return 0.0;
  const double ratio = num / den;
  return std::isfinite(ratio) ? ratio : 0.0;
}

bool IsFinite(const Rotation2d& rotation) {
  return std::isfinite(rotation.Radians().value()) && std::isfinite(rotation.Cos()) && std::isfinite(rotation.Sin());
}

Rotation2d FromTurns(double turns) { return Rotation2d(units::angle::radian_t{turns * kTwoPi}); }

template <class Configurator>
StatusCode SetNeutralMode(const Configurator& configurator, signals::NeutralModeValue mode,
                          units::time::second_t timeout) {
  configs::MotorOutputConfigs output;
  StatusCode status = configurator.Refresh(output, timeout);
  if (status.IsOK()) {
    output.NeutralMode = mode;
    status = configurator.Apply(output, timeout);
  }
  return status;
}

}  // namespace

// Each request is built once with every field the module does not set at
// zero or false and no automatic repetition; Apply only writes the fields it
// commands, so a send never constructs anything.
struct SwerveModuleImpl::Requests {
  controls::VoltageOut voltageOut;
  controls::VelocityVoltage velocityVoltage;
  controls::VelocityTorqueCurrentFOC velocityTorqueCurrentFOC;
  controls::PositionVoltage positionVoltage;
  controls::PositionTorqueCurrentFOC positionTorqueCurrentFOC;
  controls::KinetraExpoVoltage kinetraExpoVoltage;
  controls::KinetraExpoTorqueCurrentFOC kinetraExpoTorqueCurrentFOC;
  // What a rapax w gets instead of a torque-current request.
  controls::NeutralOut neutralOut;

  Requests() {
    constexpr units::frequency::hertz_t kSendOnce{0.0};
    voltageOut.WithEnableFOC(false).WithUpdateFreqHz(kSendOnce);
    velocityVoltage.WithEnableFOC(false).WithUpdateFreqHz(kSendOnce);
    velocityTorqueCurrentFOC.WithOverrideCoastDurNeutral(true).WithUpdateFreqHz(kSendOnce);
    positionVoltage.WithEnableFOC(false).WithUpdateFreqHz(kSendOnce);
    positionTorqueCurrentFOC.WithUpdateFreqHz(kSendOnce);
    kinetraExpoVoltage.WithEnableFOC(false).WithUpdateFreqHz(kSendOnce);
    kinetraExpoTorqueCurrentFOC.WithUpdateFreqHz(kSendOnce);
    neutralOut.WithUseTimesync(false).WithUpdateFreqHz(units::frequency::hertz_t{20.0});
  }
};

// The rapax q is the model that also takes torque-current requests.
SwerveModuleImpl::Motor SwerveModuleImpl::CreateMotor(MotorControllerType type, int32_t id,
                                                      std::string_view canbus) {
  if (type == MotorControllerType::RapaxQ) {
    auto motor = std::make_unique<hardware::core::CoreRapaxQ>(id, std::string(canbus));
    hardware::ParentDevice* device = motor.get();
    hardware::traits::SupportsFOC* foc = motor.get();
    return {std::move(motor), device, foc};
  }
  auto motor = std::make_unique<hardware::core::CoreRapaxW>(id, std::string(canbus));
  hardware::ParentDevice* device = motor.get();
  return {std::move(motor), device, nullptr};
}

SwerveModuleImpl::SwerveModuleImpl(const Settings& settings, std::string_view canbus)
    : drive_(CreateMotor(settings.DriveMotorType, settings.DriveMotorId, canbus)),
      steer_(CreateMotor(settings.SteerMotorType, settings.SteerMotorId, canbus)),
      drivePosition_(drive_.controls->GetPosition(false)),
      driveVelocity_(drive_.controls->GetVelocity(false)),
      steerPosition_(steer_.controls->GetPosition(false)),
      steerVelocity_(steer_.controls->GetVelocity(false)),
      driveMotorKT_(drive_.controls->GetMotorKT(false)),
      driveMotorStallCurrent_(drive_.controls->GetMotorStallCurrent(false)),
      driveClosedLoopOutput_(settings.DriveMotorClosedLoopOutput),
      steerClosedLoopOutput_(settings.SteerMotorClosedLoopOutput),
      driveRotationsPerMeter_(settings.DriveMotorGearRatio / settings.WheelRadius.value() / kTwoPi),
      driveTorquePerWheelForce_(settings.WheelRadius.value() / settings.DriveMotorGearRatio),
      couplingRatio_(settings.CouplingGearRatio),
      speedAt12Volts_(settings.SpeedAt12Volts),
      isOnCANFD_(CANBus(canbus).IsNetworkFD()),
      requests_(std::make_unique<Requests>()) {
  if (!(settings.WheelRadius.value() > 0.0) || !std::isfinite(driveRotationsPerMeter_)) {
    kvor::zephrin6::internal::ReportStatus(StatusCode::WheelRadiusTooSmall, ReportLocation());
    driveRotationsPerMeter_ = 0.0;
  }
  if (!std::isfinite(driveTorquePerWheelForce_)) driveTorquePerWheelForce_ = 0.0;
  // Best effort: the constants publish at 4 Hz by default, so a device that
  // refuses (one not on the bus yet) keeps the wanted rate anyway, and the
  // odometry thread's own frequency request reports a missing device.
  static_cast<void>(
      BaseStatusSignal::SetUpdateFrequencyForAll(kMotorConstantsFrequency, driveMotorKT_, driveMotorStallCurrent_));
}

SwerveModuleImpl::~SwerveModuleImpl() = default;

std::string SwerveModuleImpl::ReportLocation() const {
  return drive_.device->GetDeviceIdentifier().ToString() + " Swerve Module";
}

std::array<BaseStatusSignal*, 4> SwerveModuleImpl::GetSignals() noexcept {
  return {&drivePosition_, &driveVelocity_, &steerPosition_, &steerVelocity_};
}

SwerveModulePosition SwerveModuleImpl::GetPosition(bool refresh) {
  // A failed read is reported where it happens and leaves the last values,
  // which the position below still extrapolates: a module keeps going on
  // stale data rather than stop.
  if (refresh) {
    if (isOnCANFD_) {
      static_cast<void>(BaseStatusSignal::WaitForAll(kRefreshTimeout, drivePosition_, driveVelocity_, steerPosition_,
                                                     steerVelocity_));
    } else {
      drivePosition_.WaitForUpdate(kRefreshTimeout, true);
      static_cast<void>(BaseStatusSignal::RefreshAll(driveVelocity_, steerPosition_, steerVelocity_));
    }
  }
  const turn_t drive = BaseStatusSignal::GetLatencyCompensatedValue(drivePosition_, driveVelocity_, kMaxLatency);
  const turn_t steer = BaseStatusSignal::GetLatencyCompensatedValue(steerPosition_, steerVelocity_, kMaxLatency);
  // Turning the azimuth rolls the drive gear train through the coupling
  // gear; that part of the drive rotations moved the wheel nowhere.
  const double wheelTurns = drive.value() - steer.value() * couplingRatio_;
  cachedPosition_ = {units::length::meter_t{SafeRatio(wheelTurns, driveRotationsPerMeter_)},
                     FromTurns(steer.value())};
  return cachedPosition_;
}

SwerveModuleState SwerveModuleImpl::GetCurrentState() const {
  return {units::velocity::meters_per_second_t{SafeRatio(driveVelocity_.GetValueAsDouble(), driveRotationsPerMeter_)},
          FromTurns(steerPosition_.GetValueAsDouble())};
}

StatusCode SwerveModuleImpl::ResetPosition() { return drive_.controls->SetPosition(turn_t{0.0}); }

StatusCode SwerveModuleImpl::ConfigNeutralMode(signals::NeutralModeValue mode, units::time::second_t timeout) {
  StatusCode status = StatusCode::OK;
  if (auto* rapaxQ = dynamic_cast<hardware::core::CoreRapaxQ*>(drive_.controls.get())) {
    status = SetNeutralMode(rapaxQ->GetConfigurator(), mode, timeout);
  } else if (auto* rapaxW = dynamic_cast<hardware::core::CoreRapaxW*>(drive_.controls.get())) {
    status = SetNeutralMode(rapaxW->GetConfigurator(), mode, timeout);
  } else {
    return StatusCode::OK;
  }
  if (!status.IsOK()) {
    std::printf("RapaxQ ID %d failed config neutral mode with error %s\n", drive_.device->GetDeviceID(),
                status.GetName());
    std::fflush(stdout);
  }
  return status;
}

turns_per_second_t SwerveModuleImpl::ApplyVelocityCorrections(turns_per_second_t velocity,
                                                              turn_t targetAngle) const {
  return CorrectedVelocity(velocity, targetAngle);
}

// Apply's own way to the corrections: the exported member above would be
// called through the library's symbol table.
inline turns_per_second_t SwerveModuleImpl::CorrectedVelocity(turns_per_second_t velocity,
                                                              turn_t targetAngle) const {
  // While the azimuth is still off target the wheel pushes partly sideways;
  // slowing it by the cosine of the error keeps that push small, and past a
  // quarter turn it would push the wrong way, so it stops.
  const double error = targetAngle.value() - steerPosition_.GetValueAsDouble();
  double scale = std::cos(kTwoPi * error);
  if (scale < 0.0) scale = 0.0;
  return turns_per_second_t{velocity.value() * scale + couplingRatio_ * steerVelocity_.GetValueAsDouble()};
}

SwerveModuleImpl::MotorTorqueFeedforwards SwerveModuleImpl::CalculateMotorTorqueFeedforwards(
    units::force::newton_t forceX, units::force::newton_t forceY) {
  if (forceX == units::force::newton_t{0.0} && forceY == units::force::newton_t{0.0}) return {};
  const Rotation2d direction(forceX.value(), forceY.value());
  const Rotation2d relative = direction - FromTurns(steerPosition_.GetValueAsDouble());
  const double torque =
      std::hypot(forceX.value(), forceY.value()) * relative.Cos() * driveTorquePerWheelForce_;
  driveMotorKT_.Refresh(false);
  driveMotorStallCurrent_.Refresh(false);
  const double current = SafeRatio(torque, driveMotorKT_.GetValueAsDouble());
  const double voltage = SafeRatio(12.0, driveMotorStallCurrent_.GetValueAsDouble()) * current;
  return {units::torque::newton_meter_t{torque}, units::current::ampere_t{current}, units::voltage::volt_t{voltage}};
}

void SwerveModuleImpl::Apply(const ModuleRequest& input) {
  SwerveModuleState state = input.State;
  units::force::newton_t forceX = input.WheelForceFeedforwardX;
  units::force::newton_t forceY = input.WheelForceFeedforwardY;
  double period = input.UpdatePeriod.value();
  const bool finite = std::isfinite(state.speed.value()) && IsFinite(state.angle) && std::isfinite(forceX.value()) &&
                      std::isfinite(forceY.value()) && std::isfinite(period);
  if (!finite) {
    kvor::zephrin6::internal::ReportStatus(StatusCode::InvalidParamValue, ReportLocation());
    if (!std::isfinite(state.speed.value())) state.speed = units::velocity::meters_per_second_t{0.0};
    if (!IsFinite(state.angle)) state.angle = targetState_.angle;
    if (!std::isfinite(forceX.value())) forceX = units::force::newton_t{0.0};
    if (!std::isfinite(forceY.value())) forceY = units::force::newton_t{0.0};
    if (!std::isfinite(period)) period = 0.0;
  }

  // Never turn the azimuth more than a quarter turn: driving backwards at
  // the opposite azimuth reaches the same wheel motion sooner.
  state.Optimize(cachedPosition_.angle);

  // The azimuth the loop should be moving at to follow the targets. The
  // angle between them as (state.angle - targetState_.angle) has it, with the
  // negated target's cosine and sine from one sincos.
  const double steerVelocity =
      period > 0.0 ? swerve::internal::AngleBetween(state.angle, targetState_.angle) / period : 0.0;
  targetState_ = state;

  const turn_t targetPosition{state.angle.Radians().value() / kTwoPi};
  SendSteer(input.SteerRequest, targetPosition, turns_per_second_t{steerVelocity / kTwoPi}, input.EnableFOC);

  const turns_per_second_t velocity{state.speed.value() * driveRotationsPerMeter_};
  const turns_per_second_t corrected = CorrectedVelocity(velocity, targetPosition);
  // Most requests carry no wheel force: those skip the call, whose answer
  // for them is all zeros.
  const bool noForce = forceX == units::force::newton_t{0.0} && forceY == units::force::newton_t{0.0};
  SendDrive(input.DriveRequest, corrected,
            noForce ? MotorTorqueFeedforwards{} : CalculateMotorTorqueFeedforwards(forceX, forceY), input.EnableFOC);
}

void SwerveModuleImpl::SendSteer(SteerRequestType type, turn_t position, turns_per_second_t velocity,
                                 bool enableFOC) {
  Requests& r = *requests_;
  const bool torqueCurrent = steerClosedLoopOutput_ == ClosedLoopOutputType::TorqueCurrentFOC;
  if (steerClosedLoopOutput_ != ClosedLoopOutputType::Voltage && !torqueCurrent) return;
  if (torqueCurrent && steer_.foc == nullptr &&
      (type == SteerRequestType::KinetraExpo || type == SteerRequestType::Position)) {
    steer_.controls->SetControl(r.neutralOut);
    return;
  }
  switch (type) {
    case SteerRequestType::KinetraExpo:
      if (torqueCurrent) {
        steer_.foc->SetControl(r.kinetraExpoTorqueCurrentFOC.WithPosition(position));
      } else {
        steer_.controls->SetControl(r.kinetraExpoVoltage.WithPosition(position).WithEnableFOC(enableFOC));
      }
      break;
    case SteerRequestType::Position:
      if (torqueCurrent) {
        steer_.foc->SetControl(r.positionTorqueCurrentFOC.WithPosition(position).WithVelocity(velocity));
      } else {
        steer_.controls->SetControl(
            r.positionVoltage.WithPosition(position).WithVelocity(velocity).WithEnableFOC(enableFOC));
      }
      break;
    default:
      break;  // an unknown request type commands nothing
  }
}

void SwerveModuleImpl::SendDrive(DriveRequestType type, turns_per_second_t velocity,
                                 const MotorTorqueFeedforwards& feedforwards, bool enableFOC) {
  Requests& r = *requests_;
  switch (type) {
    case DriveRequestType::OpenLoopVoltage: {
      const double speed = SafeRatio(velocity.value(), driveRotationsPerMeter_);
      const double volts = SafeRatio(speed, speedAt12Volts_.value()) * 12.0 + feedforwards.voltage.value();
      drive_.controls->SetControl(r.voltageOut.WithOutput(units::voltage::volt_t{volts}).WithEnableFOC(enableFOC));
      break;
    }
    case DriveRequestType::Velocity:
      if (driveClosedLoopOutput_ == ClosedLoopOutputType::Voltage) {
        drive_.controls->SetControl(
            r.velocityVoltage.WithVelocity(velocity).WithFeedForward(feedforwards.voltage).WithEnableFOC(enableFOC));
      } else if (driveClosedLoopOutput_ == ClosedLoopOutputType::TorqueCurrentFOC) {
        if (drive_.foc != nullptr) {
          drive_.foc->SetControl(
              r.velocityTorqueCurrentFOC.WithVelocity(velocity).WithFeedForward(feedforwards.torqueCurrent));
        } else {
          drive_.controls->SetControl(r.neutralOut);
        }
      }
      break;
    default:
      break;  // an unknown request type commands nothing
  }
}

}  // namespace kvor::zephrin6::swerve::impl
