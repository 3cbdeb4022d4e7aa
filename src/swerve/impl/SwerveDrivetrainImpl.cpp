#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>

#include <kvor/zephrin/platform/Threads.hpp>
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin6/core/CANBus.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include "core/internal/Report.hpp"
#include "swerve/internal/FiniteInputs.hpp"
#include "swerve/internal/SpeedsOfStates.hpp"

namespace kvor::zephrin6::swerve::impl {

using kvor::zephrin::StatusCode;

namespace {

constexpr units::time::second_t kRefreshTimeout{0.05};
constexpr units::time::second_t kConfigTimeout{0.1};
// Default sample rates: a CAN FD bus delivers every signal of a sample in
// one synchronised frame set; a classic bus is paced by a sleep instead.
constexpr units::frequency::hertz_t kCanFdFrequency{250.0};
constexpr units::frequency::hertz_t kClassicFrequency{100.0};
// The averaged period is a plain moving average: every one of the last
// kPeriodSamples periods weighs the same.
constexpr std::size_t kPeriodSamples = SwerveDrivetrainImpl::OdometryThread::kPeriodSamples;
constexpr double kPeriodWeight = 1.0 / static_cast<double>(kPeriodSamples);
constexpr units::time::second_t kMaxLatency{0.3};

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
      moduleTravel_(moduleStates_.size()),
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

  odometrySignals_.reserve(4 * modules_.size() + 2);
  for (auto& module : modules_) {
    for (BaseStatusSignal* signal : module->GetSignals()) odometrySignals_.push_back(signal);
  }
  odometrySignals_.push_back(&yaw_);
  odometrySignals_.push_back(&yawRate_);
  // Until real periods arrive the average reads as the nominal period.
  const double period = 1.0 / odometryFrequency_.value();
  periods_.fill(period);
  averagedPeriod_ = period;

  odometryThread_ = std::make_unique<OdometryThread>(*this);
  kvor::zephrin::platform::FRC_Report(kUsageResourceSwerveDrivetrain, kUsageInstance, kUsageContext, kUsageQualifierA,
                                      kUsageQualifierB, /*feature=*/nullptr);
}

SwerveDrivetrainImpl::~SwerveDrivetrainImpl() { odometryThread_->Stop(); }

SwerveDrivetrainImpl::ModuleLock::ModuleLock(SwerveDrivetrainImpl& drivetrain) : drivetrain_(drivetrain) {
  drivetrain.moduleWaiters_.fetch_add(1);
  drivetrain.moduleMutex_.Lock();
  if (drivetrain.moduleWaiters_.fetch_sub(1) == 1) drivetrain.moduleWaiters_.notify_all();
  drivetrain.stateMutex_.Lock();
}

SwerveDrivetrainImpl::ModuleLock::~ModuleLock() {
  drivetrain_.stateMutex_.Unlock();
  drivetrain_.moduleMutex_.Unlock();
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

StatusCode SwerveDrivetrainImpl::Sample(bool waitForFrames) {
  for (int waiting = moduleWaiters_.load(); waiting != 0; waiting = moduleWaiters_.load()) {
    moduleWaiters_.wait(waiting);
  }
  kvor::zephrin::LockGuard modules(moduleMutex_);
  // On CAN FD the devices pace the loop: the wait ends when every signal
  // has a new frame, and two periods bound it when a device is missing.
  const StatusCode status =
      waitForFrames ? BaseStatusSignal::WaitForAll(units::time::second_t{2.0 / odometryFrequency_.value()},
                                                   odometrySignals_)
                    : BaseStatusSignal::RefreshAll(odometrySignals_);
  kvor::zephrin::LockGuard state(stateMutex_);
  Process(status);
  return status;
}

void SwerveDrivetrainImpl::Process(StatusCode acquisition) {
  const double now = utils::GetCurrentTimeSeconds();
  if (hasPreviousSample_) {
    periods_[nextPeriod_] = now - previousTime_;
    nextPeriod_ = (nextPeriod_ + 1) % kPeriodSamples;
    double average = 0.0;
    for (double period : periods_) average += kPeriodWeight * period;
    averagedPeriod_ = average;
  }
  hasPreviousSample_ = true;
  previousTime_ = now;
  if (acquisition.IsOK()) {
    successfulDaqs_.fetch_add(1);
  } else {
    failedDaqs_.fetch_add(1);
  }

  const std::size_t count = modules_.size();
  for (std::size_t i = 0; i < count; ++i) {
    modulePositions_[i] = modules_[i]->GetPosition(false);
    moduleStates_[i] = modules_[i]->GetCurrentState();
  }

  // The yaw frame is a little old by now; extrapolate it along the yaw rate.
  const auto yaw = BaseStatusSignal::GetLatencyCompensatedValue(yaw_, yawRate_, kMaxLatency);
  const Rotation2d heading(units::angle::radian_t{yaw.value() * std::numbers::pi / 180.0});

  const units::time::second_t sampleTime{utils::GetCurrentTimeSeconds()};
  const Pose2d pose = poseEstimator_.UpdateWithTime(sampleTime, heading, modulePositions_);
  // GetCurrentState builds each state's rotation from its azimuth.
  ChassisSpeeds speeds = internal::SpeedsOfBuiltStates(kinematics_, moduleStates_, moduleTravel_);

  // Readings near the ends of the doubles (absurd simulation input) can
  // overflow the compensation or the kinematics. The estimator refuses such
  // a heading itself; the state and the request keep the last finite
  // heading and speeds rather than spread a NaN.
  SwerveDriveState& state = cachedState_;
  if (!internal::IsFinite(speeds)) speeds = state.Speeds;

  ControlParameters& parameters = controlParameters_;
  parameters.operatorForwardDirection = operatorForwardDirection_;
  parameters.currentChassisSpeed = speeds;
  parameters.currentPose = pose;
  parameters.timestamp = units::time::second_t{now};
  parameters.updatePeriod = units::time::second_t{1.0 / odometryFrequency_.value()};
  const std::shared_ptr<const RequestFunction> request = requestToApply_;
  (*request)(parameters, modules_);

  state.Pose = pose;
  state.Speeds = speeds;
  state.ModuleStates = moduleStates_;
  for (std::size_t i = 0; i < count; ++i) state.ModuleTargets[i] = modules_[i]->GetTargetState();
  state.ModulePositions = modulePositions_;
  if (internal::IsFinite(heading)) state.RawHeading = heading;
  state.Timestamp = units::time::second_t{now};
  state.OdometryPeriod = units::time::second_t{averagedPeriod_};
  state.SuccessfulDaqs = successfulDaqs_.load();
  state.FailedDaqs = failedDaqs_.load();
  if (const std::shared_ptr<const TelemetryFunction> telemetry = telemetryFunction_) (*telemetry)(state);
}

void SwerveDrivetrainImpl::RestartPeriods() {
  kvor::zephrin::LockGuard lock(stateMutex_);
  hasPreviousSample_ = false;
}

bool SwerveDrivetrainImpl::RequestOdometryFrequency() {
  const StatusCode status = BaseStatusSignal::SetUpdateFrequencyForAll(odometryFrequency_, odometrySignals_);
  if (!status.IsOK()) {
    kvor::zephrin6::internal::ReportStatus(status,
                                           gyro_->GetDeviceIdentifier().ToString() + " Swerve Odometry Frequency");
  }
  return status.IsOK();
}

void SwerveDrivetrainImpl::SetControl(RequestFunction request) {
  auto function = std::make_shared<const RequestFunction>(request ? std::move(request) : RequestFunction(&DoNothing));
  kvor::zephrin::LockGuard lock(stateMutex_);
  requestToApply_ = std::move(function);
  installedRequest_.reset();
}

void SwerveDrivetrainImpl::RegisterTelemetry(TelemetryFunction telemetry) {
  std::shared_ptr<const TelemetryFunction> function;
  if (telemetry) function = std::make_shared<const TelemetryFunction>(std::move(telemetry));
  kvor::zephrin::LockGuard lock(stateMutex_);
  telemetryFunction_ = std::move(function);
}

ControlParameters SwerveDrivetrainImpl::GetControlParameters() const {
  kvor::zephrin::LockGuard lock(stateMutex_);
  return controlParameters_;
}

SwerveDriveState SwerveDrivetrainImpl::GetState() const {
  kvor::zephrin::LockGuard lock(stateMutex_);
  return cachedState_;
}

void SwerveDrivetrainImpl::GetState(SwerveDriveState& state) const {
  kvor::zephrin::LockGuard lock(stateMutex_);
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
  kvor::zephrin::LockGuard lock(stateMutex_);
  poseEstimator_.ResetRotation(operatorForwardDirection_);
  PublishPose();
}

void SwerveDrivetrainImpl::ResetPose(const Pose2d& pose) {
  kvor::zephrin::LockGuard lock(stateMutex_);
  poseEstimator_.ResetPose(pose);
  PublishPose();
}

void SwerveDrivetrainImpl::ResetTranslation(const Translation2d& translation) {
  kvor::zephrin::LockGuard lock(stateMutex_);
  poseEstimator_.ResetTranslation(translation);
  PublishPose();
}

void SwerveDrivetrainImpl::ResetRotation(const Rotation2d& rotation) {
  kvor::zephrin::LockGuard lock(stateMutex_);
  poseEstimator_.ResetRotation(rotation);
  PublishPose();
}

void SwerveDrivetrainImpl::SetOperatorPerspectiveForward(const Rotation2d& forward) {
  if (!std::isfinite(forward.Radians().value()) || !std::isfinite(forward.Cos()) || !std::isfinite(forward.Sin())) {
    kvor::zephrin6::internal::ReportStatus(StatusCode::InvalidParamValue,
                           gyro_->GetDeviceIdentifier().ToString() + " Swerve Operator Perspective");
    return;
  }
  kvor::zephrin::LockGuard lock(stateMutex_);
  operatorForwardDirection_ = forward;
}

Rotation2d SwerveDrivetrainImpl::GetOperatorForwardDirection() const {
  kvor::zephrin::LockGuard lock(stateMutex_);
  return operatorForwardDirection_;
}

void SwerveDrivetrainImpl::AddVisionMeasurement(const Pose2d& visionRobotPose, units::time::second_t timestamp) {
  kvor::zephrin::LockGuard lock(stateMutex_);
  poseEstimator_.AddVisionMeasurement(visionRobotPose, timestamp);
}

void SwerveDrivetrainImpl::AddVisionMeasurement(const Pose2d& visionRobotPose, units::time::second_t timestamp,
                                                const std::array<double, 3>& visionMeasurementStdDevs) {
  kvor::zephrin::LockGuard lock(stateMutex_);
  poseEstimator_.SetVisionMeasurementStdDevs(visionMeasurementStdDevs);
  poseEstimator_.AddVisionMeasurement(visionRobotPose, timestamp);
}

void SwerveDrivetrainImpl::SetVisionMeasurementStdDevs(const std::array<double, 3>& visionMeasurementStdDevs) {
  kvor::zephrin::LockGuard lock(stateMutex_);
  poseEstimator_.SetVisionMeasurementStdDevs(visionMeasurementStdDevs);
}

std::optional<Pose2d> SwerveDrivetrainImpl::SamplePoseAt(units::time::second_t timestamp) const {
  kvor::zephrin::LockGuard lock(stateMutex_);
  return poseEstimator_.SampleAt(timestamp);
}

}  // namespace kvor::zephrin6::swerve::impl
