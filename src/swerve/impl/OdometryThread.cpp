#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>

#include <kvor/zephrin/platform/Threads.hpp>
#include <kvor/zephrin/platform/Time.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>

#include <chrono>
#include <numbers>

#include "core/internal/Report.hpp"
#include "swerve/internal/FiniteInputs.hpp"

namespace kvor::zephrin6::swerve::impl {

using kvor::zephrin::StatusCode;
using Thread = SwerveDrivetrainImpl::OdometryThread;
using RequestFunction = SwerveDrivetrainImpl::RequestFunction;
using TelemetryFunction = SwerveDrivetrainImpl::TelemetryFunction;

namespace {

// The averaged period is a plain moving average: every one of the last
// kPeriodSamples periods weighs the same.
constexpr double kPeriodWeight = 1.0 / static_cast<double>(Thread::kPeriodSamples);
constexpr units::time::second_t kMaxLatency{0.3};
constexpr double kReplayWaitSeconds = 0.1;
constexpr int kStartPriority = 1;

// Asks the runtime for real-time `priority` on the odometry thread. The
// runtime refuses a priority outside 1 to 99 and the thread keeps the one it
// had; nobody else would hear of it, so the refusal is reported here.
void RequestPriority(std::thread& thread, int priority, const hardware::ParentDevice& gyro) {
  const StatusCode status = kvor::zephrin::runtime::SetThreadSchedPriority(thread, priority, true);
  if (!status.IsOK()) {
    kvor::zephrin6::internal::ReportStatus(status,
                                           gyro.GetDeviceIdentifier().ToString() + " Swerve Odometry Thread Priority");
  }
}

}  // namespace

Thread::OdometryThread(SwerveDrivetrainImpl& drivetrain) : drivetrain_(drivetrain) {
  allSignals_.reserve(4 * drivetrain.modules_.size() + 2);
  for (auto& module : drivetrain.modules_) {
    for (BaseStatusSignal* signal : module->GetSignals()) allSignals_.push_back(signal);
  }
  allSignals_.push_back(&drivetrain.yaw_);
  allSignals_.push_back(&drivetrain.yawRate_);
  // Until real periods arrive the average reads as the nominal period.
  const double period = 1.0 / drivetrain.odometryFrequency_.value();
  periods_.fill(period);
  averagedPeriod_ = period;
}

Thread::~OdometryThread() { Stop(); }

void Thread::Start() {
  // A callback on the thread itself would deadlock on a Stop that waits for
  // this very thread; the thread is running anyway.
  if (std::this_thread::get_id() == threadId_.load()) return;
  std::lock_guard lock(threadMutex_);
  if (running_.load()) return;
  JoinFinished();
  threadStored_.store(false);
  running_.store(true);
  thread_ = std::thread([this] { Run(); });
  threadStored_.store(true);
  threadStored_.notify_all();
}

void Thread::Stop() {
  if (std::this_thread::get_id() == threadId_.load()) {
    // Asked from a callback: the thread cannot join itself, so it ends after
    // this sample and the next Start, Stop or destruction joins it.
    running_.store(false);
    return;
  }
  std::lock_guard lock(threadMutex_);
  running_.store(false);
  JoinFinished();
}

void Thread::JoinFinished() {
  if (thread_.joinable()) thread_.join();
}

StatusCode Thread::RunOnce() {
  std::unique_lock lock(threadMutex_, std::try_to_lock);
  if (!lock.owns_lock() || running_.load()) return StatusCode::TaskIsBusy;
  JoinFinished();
  return Sample(false);
}

void Thread::Run() {
  threadStored_.wait(false);
  threadId_.store(std::this_thread::get_id());
  hasPreviousSample_ = false;
  RequestFrequency();
  RequestPriority(thread_, kStartPriority, *drivetrain_.gyro_);
  appliedPriority_ = kStartPriority;
  while (running_.load()) {
    // In replay the samples follow the log: a paused log holds the thread
    // here. Without a log the runtime simulates and always plays.
    if (hasPreviousSample_ && !WispReplay::WaitForPlayingImpl(kReplayWaitSeconds)) continue;
    Sample(true);
    // A device that kept its own rate makes every sample wait for its
    // slower frames (or time out), so it is asked until it takes the rate.
    if (!frequencyApplied_) RequestFrequency();
  }
  threadId_.store(std::thread::id{});
}

void Thread::RequestFrequency() {
  const StatusCode status = BaseStatusSignal::SetUpdateFrequencyForAll(drivetrain_.odometryFrequency_, allSignals_);
  frequencyApplied_ = status.IsOK();
  if (!frequencyApplied_) {
    const std::string location = drivetrain_.gyro_->GetDeviceIdentifier().ToString() + " Swerve Odometry Frequency";
    kvor::zephrin6::internal::ReportStatus(status, location);
  }
}

StatusCode Thread::Sample(bool wait) {
  SwerveDrivetrainImpl& drivetrain = drivetrain_;
  const double frequency = drivetrain.odometryFrequency_.value();
  {
    std::unique_lock waiters(drivetrain.moduleWaitersMutex_);
    drivetrain.moduleWaitersDone_.wait(waiters, [&] { return drivetrain.moduleWaiters_ == 0; });
  }
  std::unique_lock signals(drivetrain.signalMutex_, std::defer_lock);
  StatusCode status = StatusCode::OK;
  if (wait && drivetrain.isOnCANFD_) {
    // The devices pace the loop: the wait ends when every signal has a new
    // frame, and two periods bound it when a device is missing.
    signals.lock();
    status = BaseStatusSignal::WaitForAll(units::time::second_t{2.0 / frequency}, allSignals_);
  } else {
    if (wait) std::this_thread::sleep_for(std::chrono::duration<double>(1.0 / frequency));
    signals.lock();
    status = BaseStatusSignal::RefreshAll(allSignals_);
  }
  {
    std::lock_guard state(drivetrain.stateMutex_);
    Process(status);
  }
  signals.unlock();

  if (wait) {
    const int requested = requestedPriority_.load();
    if (requested != appliedPriority_) {
      // A refused priority counts as applied too, so it is reported once.
      RequestPriority(thread_, requested, *drivetrain.gyro_);
      appliedPriority_ = requested;
    }
  }
  return status;
}

void Thread::Process(StatusCode acquisition) {
  SwerveDrivetrainImpl& drivetrain = drivetrain_;
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

  const std::size_t count = drivetrain.modules_.size();
  for (std::size_t i = 0; i < count; ++i) {
    drivetrain.modulePositions_[i] = drivetrain.modules_[i]->GetPosition(false);
    drivetrain.moduleStates_[i] = drivetrain.modules_[i]->GetCurrentState();
  }

  // The yaw frame is a little old by now; extrapolate it along the yaw rate.
  const auto yaw = BaseStatusSignal::GetLatencyCompensatedValue(drivetrain.yaw_, drivetrain.yawRate_, kMaxLatency);
  const Rotation2d heading(units::angle::radian_t{yaw.value() * std::numbers::pi / 180.0});

  const units::time::second_t sampleTime{utils::GetCurrentTimeSeconds()};
  const Pose2d pose = drivetrain.poseEstimator_.UpdateWithTime(sampleTime, heading, drivetrain.modulePositions_);
  ChassisSpeeds speeds = drivetrain.kinematics_.ToChassisSpeeds(drivetrain.moduleStates_);

  // Readings near the ends of the doubles (absurd simulation input) can
  // overflow the compensation or the kinematics. The estimator refuses such
  // a heading itself; the state and the request keep the last finite
  // heading and speeds rather than spread a NaN.
  SwerveDriveState& state = drivetrain.cachedState_;
  if (!internal::IsFinite(speeds)) speeds = state.Speeds;

  ControlParameters& parameters = drivetrain.controlParameters_;
  parameters.operatorForwardDirection = drivetrain.operatorForwardDirection_;
  parameters.currentChassisSpeed = speeds;
  parameters.currentPose = pose;
  parameters.timestamp = units::time::second_t{now};
  parameters.updatePeriod = units::time::second_t{1.0 / drivetrain.odometryFrequency_.value()};
  const std::shared_ptr<const RequestFunction> request = drivetrain.requestToApply_;
  (*request)(parameters, drivetrain.modules_);

  state.Pose = pose;
  state.Speeds = speeds;
  state.ModuleStates = drivetrain.moduleStates_;
  for (std::size_t i = 0; i < count; ++i) state.ModuleTargets[i] = drivetrain.modules_[i]->GetTargetState();
  state.ModulePositions = drivetrain.modulePositions_;
  if (internal::IsFinite(heading)) state.RawHeading = heading;
  state.Timestamp = units::time::second_t{now};
  state.OdometryPeriod = units::time::second_t{averagedPeriod_};
  state.SuccessfulDaqs = successfulDaqs_.load();
  state.FailedDaqs = failedDaqs_.load();
  if (const std::shared_ptr<const TelemetryFunction> telemetry = drivetrain.telemetryFunction_) (*telemetry)(state);
}

}  // namespace kvor::zephrin6::swerve::impl
