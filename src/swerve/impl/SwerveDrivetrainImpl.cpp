#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>

#include <kvor/zephrin/platform/Threads.hpp>
#include <kvor/zephrin6/core/CANBus.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include "core/internal/Report.hpp"

namespace kvor::zephrin6::swerve::impl {

using kvor::zephrin::StatusCode;

namespace {

constexpr units::time::second_t kRefreshTimeout{0.05};
constexpr units::time::second_t kConfigTimeout{0.1};
// Default sample rates: a CAN FD bus delivers every signal of a sample in
// one synchronised frame set; a classic bus is paced by a sleep instead.
constexpr units::frequency::hertz_t kCanFdFrequency{250.0};
constexpr units::frequency::hertz_t kClassicFrequency{100.0};

// How a drivetrain enters the runtime's usage report: the resource and
// instance name the feature used, the context text and the two numbers
// qualify it. The runtime keeps the values without reading meaning into them.
constexpr int kUsageResourceSwerveDrivetrain = 12;
constexpr int kUsageInstance = 1;
constexpr const char* kUsageContext = "";
constexpr int kUsageQualifierA = 1;
constexpr int kUsageQualifierB = 0;

Rotation2d HeadingFromDegrees(double degrees) {
  return Rotation2d(units::angle::radian_t{degrees * std::numbers::pi / 180.0});
}

StatusCode DoNothing(const ControlParameters&, const SwerveDrivetrainImpl::ModuleList&) { return StatusCode::OK; }

}  // namespace

SwerveDrivetrainImpl::SwerveDrivetrainImpl(const SwerveDrivetrainConstants& drivetrainConstants,
                                           units::frequency::hertz_t odometryUpdateFrequency,
                                           const std::array<double, 3>& odometryStandardDeviation,
                                           const std::array<double, 3>& visionStandardDeviation,
                                           const std::vector<ModuleSetup>& setups)
    : busName_(drivetrainConstants.CANBusName),
      gyro_(std::make_unique<hardware::core::CoreAuklet2>(drivetrainConstants.Auklet2Id, busName_)),
      yaw_(gyro_->GetYaw(false)),
      yawRate_(gyro_->GetAngularVelocityZWorld(false)),
      modules_([&] {
        ModuleList modules;
        modules.reserve(setups.size());
        for (const auto& setup : setups) {
          modules.push_back(std::make_unique<SwerveModuleImpl>(setup.settings, busName_));
        }
        return modules;
      }()),
      moduleLocations_([&] {
        std::vector<Translation2d> locations;
        locations.reserve(setups.size());
        for (const auto& setup : setups) locations.push_back(setup.location);
        return locations;
      }()),
      modulePositions_(ReadModulePositions()),
      moduleStates_(ReadModuleStates()),
      kinematics_(moduleLocations_),
      poseEstimator_(kinematics_, ReadHeading(), modulePositions_, Pose2d(), odometryStandardDeviation,
                     visionStandardDeviation),
      requestToApply_(std::make_shared<const RequestFunction>(&DoNothing)),
      isOnCANFD_(CANBus(busName_).IsNetworkFD()),
      odometryFrequency_(odometryUpdateFrequency == units::frequency::hertz_t{0.0}
                             ? (isOnCANFD_ ? kCanFdFrequency : kClassicFrequency)
                             : odometryUpdateFrequency) {
  if (!(odometryFrequency_.value() > 0.0) || !std::isfinite(odometryFrequency_.value())) {
    // A negative or non-finite rate would make the thread spin without
    // pause; fall back to the bus's default rate.
    kvor::zephrin6::internal::ReportStatus(StatusCode::InvalidParamValue,
                           gyro_->GetDeviceIdentifier().ToString() + " Swerve Odometry Frequency");
    odometryFrequency_ = isOnCANFD_ ? kCanFdFrequency : kClassicFrequency;
  }
  controlParameters_.kinematics = &kinematics_;
  controlParameters_.moduleLocations = moduleLocations_.data();
  // The slowest module limits the whole drivetrain.
  if (!setups.empty()) {
    controlParameters_.kMaxSpeed = setups.front().settings.SpeedAt12Volts;
    for (const auto& setup : setups) {
      controlParameters_.kMaxSpeed = std::min(controlParameters_.kMaxSpeed, setup.settings.SpeedAt12Volts);
    }
  }

  cachedState_.ModuleStates = moduleStates_;
  cachedState_.ModuleTargets.assign(modules_.size(), SwerveModuleState{});
  cachedState_.ModulePositions = modulePositions_;
  cachedState_.RawHeading = HeadingFromDegrees(yaw_.GetValueAsDouble());

  odometryThread_ = std::make_unique<OdometryThread>(*this);
  kvor::zephrin::platform::FRC_Report(kUsageResourceSwerveDrivetrain, kUsageInstance, kUsageContext, kUsageQualifierA,
                                      kUsageQualifierB, /*feature=*/nullptr);
}

SwerveDrivetrainImpl::~SwerveDrivetrainImpl() { odometryThread_->Stop(); }

SwerveDrivetrainImpl::ModuleLock::ModuleLock(SwerveDrivetrainImpl& drivetrain)
    : signals_(drivetrain.signalMutex_, std::defer_lock), state_(drivetrain.stateMutex_, std::defer_lock) {
  {
    std::lock_guard waiters(drivetrain.moduleWaitersMutex_);
    ++drivetrain.moduleWaiters_;
  }
  signals_.lock();
  {
    std::lock_guard waiters(drivetrain.moduleWaitersMutex_);
    --drivetrain.moduleWaiters_;
  }
  drivetrain.moduleWaitersDone_.notify_all();
  state_.lock();
}

std::vector<SwerveModulePosition> SwerveDrivetrainImpl::ReadModulePositions() {
  std::vector<SwerveModulePosition> positions;
  positions.reserve(modules_.size());
  for (auto& module : modules_) positions.push_back(module->GetPosition(true));
  return positions;
}

std::vector<SwerveModuleState> SwerveDrivetrainImpl::ReadModuleStates() const {
  std::vector<SwerveModuleState> states;
  states.reserve(modules_.size());
  for (const auto& module : modules_) states.push_back(module->GetCurrentState());
  return states;
}

Rotation2d SwerveDrivetrainImpl::ReadHeading() {
  yaw_.WaitForUpdate(kRefreshTimeout, true);
  return HeadingFromDegrees(yaw_.GetValueAsDouble());
}

void SwerveDrivetrainImpl::SetControl(RequestFunction request) {
  auto function = std::make_shared<const RequestFunction>(request ? std::move(request) : RequestFunction(&DoNothing));
  std::lock_guard lock(stateMutex_);
  requestToApply_ = std::move(function);
  installedRequest_.reset();
}

void SwerveDrivetrainImpl::RegisterTelemetry(TelemetryFunction telemetry) {
  std::shared_ptr<const TelemetryFunction> function;
  if (telemetry) function = std::make_shared<const TelemetryFunction>(std::move(telemetry));
  std::lock_guard lock(stateMutex_);
  telemetryFunction_ = std::move(function);
}

SwerveDriveState SwerveDrivetrainImpl::GetState() const {
  std::lock_guard lock(stateMutex_);
  return cachedState_;
}

void SwerveDrivetrainImpl::GetState(SwerveDriveState& state) const {
  std::lock_guard lock(stateMutex_);
  state = cachedState_;
}

StatusCode SwerveDrivetrainImpl::ConfigNeutralMode(signals::NeutralModeValue mode) {
  StatusCode first = StatusCode::OK;
  for (auto& module : modules_) {
    const StatusCode status = module->ConfigNeutralMode(mode, kConfigTimeout);
    if (first.IsOK() && !status.IsOK()) first = status;
  }
  return first;
}

void SwerveDrivetrainImpl::TareEverything() {
  ModuleLock lock(*this);
  for (std::size_t i = 0; i < modules_.size(); ++i) {
    // A drive that refuses is reported by its configurator; odometry restarts
    // from the positions read next, whatever they are, so the pose holds.
    static_cast<void>(modules_[i]->ResetPosition());
    modulePositions_[i] = modules_[i]->GetPosition(true);
  }
  poseEstimator_.ResetPosition(HeadingFromDegrees(yaw_.GetValueAsDouble()), modulePositions_, Pose2d());
  PublishPose();
}

void SwerveDrivetrainImpl::PublishPose() { cachedState_.Pose = poseEstimator_.GetEstimatedPosition(); }

void SwerveDrivetrainImpl::SeedFieldCentric() {
  std::lock_guard lock(stateMutex_);
  poseEstimator_.ResetRotation(operatorForwardDirection_);
  PublishPose();
}

void SwerveDrivetrainImpl::ResetPose(const Pose2d& pose) {
  std::lock_guard lock(stateMutex_);
  poseEstimator_.ResetPose(pose);
  PublishPose();
}

void SwerveDrivetrainImpl::ResetTranslation(const Translation2d& translation) {
  std::lock_guard lock(stateMutex_);
  poseEstimator_.ResetTranslation(translation);
  PublishPose();
}

void SwerveDrivetrainImpl::ResetRotation(const Rotation2d& rotation) {
  std::lock_guard lock(stateMutex_);
  poseEstimator_.ResetRotation(rotation);
  PublishPose();
}

void SwerveDrivetrainImpl::SetOperatorPerspectiveForward(const Rotation2d& forward) {
  if (!std::isfinite(forward.Radians().value()) || !std::isfinite(forward.Cos()) || !std::isfinite(forward.Sin())) {
    kvor::zephrin6::internal::ReportStatus(StatusCode::InvalidParamValue,
                           gyro_->GetDeviceIdentifier().ToString() + " Swerve Operator Perspective");
    return;
  }
  std::lock_guard lock(stateMutex_);
  operatorForwardDirection_ = forward;
}

Rotation2d SwerveDrivetrainImpl::GetOperatorForwardDirection() const {
  std::lock_guard lock(stateMutex_);
  return operatorForwardDirection_;
}

void SwerveDrivetrainImpl::AddVisionMeasurement(const Pose2d& visionRobotPose, units::time::second_t timestamp) {
  std::lock_guard lock(stateMutex_);
  poseEstimator_.AddVisionMeasurement(visionRobotPose, timestamp);
}

void SwerveDrivetrainImpl::AddVisionMeasurement(const Pose2d& visionRobotPose, units::time::second_t timestamp,
                                                const std::array<double, 3>& visionMeasurementStdDevs) {
  std::lock_guard lock(stateMutex_);
  poseEstimator_.SetVisionMeasurementStdDevs(visionMeasurementStdDevs);
  poseEstimator_.AddVisionMeasurement(visionRobotPose, timestamp);
}

void SwerveDrivetrainImpl::SetVisionMeasurementStdDevs(const std::array<double, 3>& visionMeasurementStdDevs) {
  std::lock_guard lock(stateMutex_);
  poseEstimator_.SetVisionMeasurementStdDevs(visionMeasurementStdDevs);
}

std::optional<Pose2d> SwerveDrivetrainImpl::SamplePoseAt(units::time::second_t timestamp) const {
  std::lock_guard lock(stateMutex_);
  return poseEstimator_.SampleAt(timestamp);
}

}  // namespace kvor::zephrin6::swerve::impl
