#pragma once

// SwerveDrivetrainImpl owns a whole swerve drivetrain: an auklet 2 for the
// heading, one SwerveModuleImpl per module constants entry, the kinematics
// and the pose estimator. Its OdometryThread samples every module and gyro
// signal at a fixed rate, updates odometry and the estimate, applies the
// current drive request to the modules, publishes a SwerveDriveState and
// calls the telemetry function. The typed SwerveDrivetrain is the front end
// robot programs use; this class is the engine behind it and behind code
// that cannot use templates.
//
// Ownership: the drivetrain owns its devices, modules, thread, request and
// estimator. Destruction first stops and joins the thread, so no callback
// runs afterwards; it must not happen on the odometry thread itself (from a
// callback), since the thread cannot join itself.
//
// Thread safety: every operation may be called from any thread. Two locks,
// the module lock and the state lock, guard the fields that name them; the
// odometry thread runs the request and the telemetry function under both,
// so those may call the drivetrain again (the locks are recursive).
// Operations that use the modules from another thread (TareEverything,
// ModuleLock) take the module lock first, so they wait at most one sample.
// Simple getters (IsOdometryValid, IsOnCANFD, GetOdometryFrequency) take no
// lock. Callbacks must not throw.

#include <kvor/zephrin/Mutex.hpp>
#include <kvor/zephrin/StatusCodes.hpp>
#include <kvor/zephrin6/Export.hpp>
#include <kvor/zephrin6/signals/NeutralModeValue.hpp>
#include <kvor/zephrin6/signals/StatusSignal.hpp>
#include <kvor/zephrin6/swerve/Pose2d.hpp>
#include <kvor/zephrin6/swerve/Rotation2d.hpp>
#include <kvor/zephrin6/swerve/SwerveDriveState.hpp>
#include <kvor/zephrin6/swerve/SwerveDrivetrainConstants.hpp>
#include <kvor/zephrin6/swerve/SwerveModulePosition.hpp>
#include <kvor/zephrin6/swerve/SwerveModuleState.hpp>
#include <kvor/zephrin6/swerve/Translation2d.hpp>
#include <kvor/zephrin6/swerve/impl/ControlParameters.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDriveKinematics.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveDrivePoseEstimator.hpp>
#include <kvor/zephrin6/swerve/impl/SwerveModuleImpl.hpp>
#include <kvor/zephrin6/swerve/requests/SwerveRequest.hpp>

#include <units.h>

#include <array>
#include <atomic>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

namespace kvor::zephrin6::hardware::core {
class CoreAuklet2;
}

namespace kvor::zephrin6::swerve::impl {

class ZEPHRIN6_API SwerveDrivetrainImpl {
 public:
  /// The modules, in the order of their constants.
  using ModuleList = std::vector<std::unique_ptr<SwerveModuleImpl>>;
  /// A drive request: called once per sample with that sample's parameters
  /// and the modules; its status is not used.
  using RequestFunction = std::function<kvor::zephrin::StatusCode(const ControlParameters&, const ModuleList&)>;
  /// A telemetry function: called once per sample with the new state (valid
  /// during the call only).
  using TelemetryFunction = std::function<void(const SwerveDriveState&)>;

  /// Holds both drivetrain locks (modules, then state) for as long as it
  /// lives, so that the modules and the last sample's parameters can be used
  /// from any thread: waits for the current sample to end. Take it before
  /// anything else of the drivetrain; on the odometry thread (in a callback)
  /// it is already held and taking it again is free.
  class ZEPHRIN6_API ZEPHRIN_SCOPED_CAPABILITY ModuleLock {
   public:
    explicit ModuleLock(SwerveDrivetrainImpl& drivetrain)
        ZEPHRIN_ACQUIRE(drivetrain.moduleMutex_, drivetrain.stateMutex_);
    ~ModuleLock() ZEPHRIN_RELEASE();
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;

   private:
    SwerveDrivetrainImpl& drivetrain_;
  };

  /// The thread that samples the drivetrain. It is created with the
  /// drivetrain, stopped; Start, Stop and SetThreadPriority may be called
  /// from any thread.
  class ZEPHRIN6_API OdometryThread {
   public:
    /// Samples over which the odometry period is averaged.
    static constexpr std::size_t kPeriodSamples = 50;

    explicit OdometryThread(SwerveDrivetrainImpl& drivetrain) : drivetrain_(drivetrain) {}
    /// Stops and joins the thread.
    ~OdometryThread();
    OdometryThread(const OdometryThread&) = delete;
    OdometryThread& operator=(const OdometryThread&) = delete;

    /// Starts the thread unless it runs. It first sets the update frequency
    /// of every odometry signal to the odometry frequency (when a device
    /// refuses, for example one not on the bus yet, the status is reported
    /// and the thread asks again after every sample until all took it) and
    /// asks for real-time priority 1, then samples until stopped: on a CAN
    /// FD bus each sample waits (up to two periods) for a new frame of every
    /// signal; otherwise it sleeps one period and reads the latest frames.
    /// While a loaded log is not playing (Replay) it idles; without a log the
    /// runtime simulates and counts as playing. Counters and the averaged
    /// period carry on from an earlier run.
    void Start() ZEPHRIN_EXCLUDES(threadMutex_);
    /// Stops the thread and waits for its current sample to end; nothing when
    /// it is not running. Called from a callback on the thread itself, it
    /// only asks the thread to end after this sample.
    void Stop() ZEPHRIN_EXCLUDES(threadMutex_);
    /// Whether the thread is running.
    bool IsRunning() const noexcept { return running_.load(std::memory_order_acquire); }
    /// Asks for real-time priority `priority` (1 to 99); the thread applies
    /// it after its next sample, or reports the runtime's refusal of one
    /// outside that range and keeps the priority it had.
    void SetThreadPriority(int priority) noexcept { requestedPriority_.store(priority); }
    /// True once more than two samples read every signal in time.
    bool IsOdometryValid() const noexcept { return drivetrain_.IsOdometryValid(); }

    /// Runs one sample on the calling thread, as the thread would but
    /// without waiting: reads the latest frame of every signal, then updates
    /// odometry, applies the request, publishes the state and calls the
    /// telemetry function. For programs and benchmarks that step odometry
    /// themselves. @return the read's status (counted like the thread's
    ///         samples), or TaskIsBusy (-100) without doing anything while the
    ///         thread runs.
    [[nodiscard]] kvor::zephrin::StatusCode RunOnce() ZEPHRIN_EXCLUDES(threadMutex_);

   private:
    /// The thread's loop: paces the samples and applies a newly requested
    /// priority after each.
    void Run();
    /// Joins a thread that ended on its own (stopped from a callback).
    void JoinFinished() ZEPHRIN_REQUIRES(threadMutex_);
    /// The running thread's own handle, for its priority.
    std::thread& OwnThread();

    SwerveDrivetrainImpl& drivetrain_;
    // Serialises Start, Stop, RunOnce and destruction.
    kvor::zephrin::Mutex threadMutex_;
    std::thread thread_ ZEPHRIN_GUARDED_BY(threadMutex_);
    std::atomic<bool> running_{false};
    // Set once Start has stored thread_, so that the thread may use it.
    std::atomic<bool> threadStored_{false};
    std::atomic<std::thread::id> threadId_{};
    std::atomic<int> requestedPriority_{1};
  };

  /// Builds the drivetrain, in this order: the auklet 2 on the constants' bus
  /// and its yaw and yaw-rate signals; one module per entry of `modules`
  /// (same bus); each module's position (read, waiting up to 0.05 s); the
  /// kinematics over the module locations; the heading (waiting up to 0.05 s
  /// for a new yaw); the estimator at the origin; and the stopped odometry
  /// thread. Reading takes up to a few frame periods of the runtime clock.
  /// @param odometryUpdateFrequency samples per second; 0 picks 250 Hz on a
  ///        CAN FD bus and 100 Hz otherwise.
  /// @param odometryStandardDeviation trust in odometry: x, y (metres) and
  ///        heading (radians).
  /// @param visionStandardDeviation trust in vision measurements, same units.
  /// @param modules one constants entry per module.
  template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
  SwerveDrivetrainImpl(const SwerveDrivetrainConstants& drivetrainConstants,
                       units::frequency::hertz_t odometryUpdateFrequency,
                       const std::array<double, 3>& odometryStandardDeviation,
                       const std::array<double, 3>& visionStandardDeviation,
                       std::span<const SwerveModuleConstants<DriveConfigT, SteerConfigT, EncoderConfigT>> modules)
      : SwerveDrivetrainImpl(drivetrainConstants, odometryUpdateFrequency, odometryStandardDeviation,
                             visionStandardDeviation, SetupsOf(modules)) {}
  /// Stops the odometry thread, then destroys everything else.
  ~SwerveDrivetrainImpl();
  SwerveDrivetrainImpl(const SwerveDrivetrainImpl&) = delete;
  SwerveDrivetrainImpl& operator=(const SwerveDrivetrainImpl&) = delete;

  /// Makes `request` the request applied every sample; an empty function
  /// installs one that sends nothing.
  void SetControl(RequestFunction request);
  /// Installs a copy of `request` (any swerve request) as the request applied
  /// every sample. When the installed request already has this type it is
  /// assigned in place, so a loop that changes its command every cycle
  /// allocates nothing.
  template <typename Request>
    requires std::derived_from<Request, requests::SwerveRequest>
  void SetControl(const Request& request) {
    kvor::zephrin::LockGuard lock(stateMutex_);
    if (requests::SwerveRequest* installed = installedRequest_.get();
        installed != nullptr && typeid(*installed) == typeid(Request)) {
      static_cast<Request&>(*installed) = request;
      return;
    }
    auto copy = std::make_shared<Request>(request);
    installedRequest_ = copy;
    requestToApply_ = std::make_shared<const RequestFunction>(
        [copy](const ControlParameters& parameters, const ModuleList& modules) {
          return copy->Apply(parameters, modules);
        });
  }
  /// Makes `telemetry` the function called after every sample; an empty
  /// function calls none.
  void RegisterTelemetry(TelemetryFunction telemetry);
  /// A copy of the state of the last sample (the construction-time state
  /// before the first).
  SwerveDriveState GetState() const;
  /// Copies the state of the last sample into `state`, reusing its vectors.
  void GetState(SwerveDriveState& state) const;

  /// Sets the neutral mode of every drive motor, module by module, each with
  /// a 0.1 s timeout; a failing module does not stop the others.
  /// @return the first failing module's status, else OK.
  [[nodiscard]] kvor::zephrin::StatusCode ConfigNeutralMode(signals::NeutralModeValue mode);

  /// Zeroes every drive position, re-reads the modules (waiting up to 0.05 s
  /// each) and restarts odometry at the origin with the current gyro
  /// heading. Blocks the other operations meanwhile; a start-up operation.
  void TareEverything();
  /// Sets the estimated heading to the operator's forward direction: the way
  /// the robot faces now becomes forward for field-centric driving, and later
  /// gyro turns count from it.
  void SeedFieldCentric();
  /// Moves the pose estimate to `pose`; later gyro turns count from its heading.
  void ResetPose(const Pose2d& pose);
  /// Moves the pose estimate to `translation` (metres), keeping the heading.
  void ResetTranslation(const Translation2d& translation);
  /// Sets the estimated heading; later gyro turns count from it.
  void ResetRotation(const Rotation2d& rotation);
  /// Sets the field direction the operator calls forward (field-centric
  /// requests in operator perspective drive relative to it). A direction
  /// that is not finite is reported (InvalidParamValue) and ignored.
  void SetOperatorPerspectiveForward(const Rotation2d& forward);
  /// The field direction the operator calls forward.
  Rotation2d GetOperatorForwardDirection() const;

  /// Fuses a pose measured at `timestamp` (seconds, runtime time base).
  void AddVisionMeasurement(const Pose2d& visionRobotPose, units::time::second_t timestamp);
  /// As above, first setting the vision standard deviations (x, y in
  /// metres, heading in radians) under the same hold of the lock.
  void AddVisionMeasurement(const Pose2d& visionRobotPose, units::time::second_t timestamp,
                            const std::array<double, 3>& visionMeasurementStdDevs);
  /// Sets how much later vision measurements are trusted (x, y in metres,
  /// heading in radians; smaller is more trusted).
  void SetVisionMeasurementStdDevs(const std::array<double, 3>& visionMeasurementStdDevs);
  /// The fused pose at `timestamp` (seconds); empty before the first sample
  /// after construction or a reset.
  std::optional<Pose2d> SamplePoseAt(units::time::second_t timestamp) const;

  /// True once more than two samples read every signal in time.
  bool IsOdometryValid() const noexcept { return successfulDaqs_.load() > 2; }
  /// Whether the drivetrain's bus is CAN FD.
  bool IsOnCANFD() const noexcept { return isOnCANFD_; }
  /// Samples per second.
  units::frequency::hertz_t GetOdometryFrequency() const noexcept { return odometryFrequency_; }
  /// The odometry thread (start, stop, priority).
  OdometryThread& GetOdometryThread() noexcept { return *odometryThread_; }

  /// The auklet 2 (for reading its other signals or configuring it).
  hardware::core::CoreAuklet2& GetAuklet2() noexcept { return *gyro_; }
  /// The modules. Using them from another thread than the odometry thread
  /// needs a ModuleLock for the duration.
  const ModuleList& GetModules() const noexcept { return modules_; }
  /// Module locations, metres, in module order.
  const std::vector<Translation2d>& GetModuleLocations() const noexcept { return moduleLocations_; }
  /// A copy of the parameters of the last sample (for applying a request
  /// once, under a ModuleLock).
  ControlParameters GetControlParameters() const;
  /// A ModuleLock on this drivetrain. Constructing the ModuleLock directly
  /// does the same and lets clang's thread-safety analysis see the locks
  /// held in the caller's scope.
  [[nodiscard]] ModuleLock LockModules() { return ModuleLock(*this); }
  /// Asks every odometry signal for the odometry frequency; reports a
  /// refusal. The thread does so when it starts; a program that steps
  /// odometry itself (RunOnce) without ever starting the thread calls this
  /// once, so that the devices send frames at the rate it samples.
  /// @return whether every device took it.
  bool RequestOdometryFrequency();

 private:
  struct ModuleSetup {
    SwerveModuleImpl::Settings settings;
    Translation2d location;
  };

  template <typename DriveConfigT, typename SteerConfigT, typename EncoderConfigT>
  static std::vector<ModuleSetup> SetupsOf(
      std::span<const SwerveModuleConstants<DriveConfigT, SteerConfigT, EncoderConfigT>> modules) {
    std::vector<ModuleSetup> setups;
    setups.reserve(modules.size());
    for (const auto& module : modules) {
      setups.push_back({SwerveModuleImpl::Settings::From(module), Translation2d(module.LocationX, module.LocationY)});
    }
    return setups;
  }

  SwerveDrivetrainImpl(const SwerveDrivetrainConstants& drivetrainConstants,
                       units::frequency::hertz_t odometryUpdateFrequency,
                       const std::array<double, 3>& odometryStandardDeviation,
                       const std::array<double, 3>& visionStandardDeviation, const std::vector<ModuleSetup>& setups);

  // Construction only, before any other thread knows the drivetrain.
  std::vector<SwerveModulePosition> ReadModulePositions() ZEPHRIN_REQUIRES(moduleMutex_);
  std::vector<SwerveModuleState> ReadModuleStates() const ZEPHRIN_REQUIRES(moduleMutex_);
  Rotation2d ReadHeading() ZEPHRIN_REQUIRES(moduleMutex_);

  /// One odometry sample, for the odometry thread and RunOnce: reads every
  /// odometry signal (with `waitForFrames`, waiting up to two periods for a
  /// new frame of each; else the latest frames), then Process. @return the
  /// read's status.
  kvor::zephrin::StatusCode Sample(bool waitForFrames);
  /// The sample after the read: counts it as a successful or failed read,
  /// averages the period, updates odometry and the pose estimate from the
  /// module positions and the latency-compensated heading, applies the
  /// request with this sample's parameters, publishes the state and calls
  /// the telemetry function.
  void Process(kvor::zephrin::StatusCode acquisition) ZEPHRIN_REQUIRES(moduleMutex_, stateMutex_);
  /// Makes the next sample start a new run of periods (the thread starts
  /// again), so that the pause before it is not averaged.
  void RestartPeriods();
  /// The cached pose follows the estimator after a reset.
  void PublishPose() ZEPHRIN_REQUIRES(stateMutex_);

  // Declaration order is construction order, and destruction runs in
  // reverse: the thread stops first, the gyro goes last.
  std::string busName_;
  std::unique_ptr<hardware::core::CoreAuklet2> gyro_;
  // The module lock: the module objects (the list itself never changes;
  // their configurators lock themselves), their signals and what a sample
  // reads from them. The odometry thread holds it from the start of a
  // sample's read to the sample's end; taken before the state lock.
  mutable kvor::zephrin::RecursiveMutex moduleMutex_ ZEPHRIN_ACQUIRED_BEFORE(stateMutex_);
  StatusSignal<units::angle::degree_t> yaw_ ZEPHRIN_GUARDED_BY(moduleMutex_);
  StatusSignal<units::angular_velocity::degrees_per_second_t> yawRate_ ZEPHRIN_GUARDED_BY(moduleMutex_);
  ModuleList modules_;
  std::vector<Translation2d> moduleLocations_;
  std::vector<SwerveModulePosition> modulePositions_ ZEPHRIN_GUARDED_BY(moduleMutex_);
  std::vector<SwerveModuleState> moduleStates_ ZEPHRIN_GUARDED_BY(moduleMutex_);
  // Working space for the chassis speeds of moduleStates_, an entry per module.
  std::vector<SwerveModulePosition> moduleTravel_ ZEPHRIN_GUARDED_BY(moduleMutex_);
  // What a sample reads, filled by the constructor: per module its drive
  // position, drive velocity, steer position and steer velocity, then the
  // yaw and the yaw rate.
  std::vector<BaseStatusSignal*> odometrySignals_;
  // Threads waiting for the module lock. A sample lets them in before it
  // takes the lock: the odometry thread takes it again right after
  // releasing it, and a mutex alone would let it win every time.
  std::atomic<int> moduleWaiters_{0};
  SwerveDriveKinematics kinematics_;
  // The state lock: the estimator, the request, the telemetry function, the
  // operator direction, the cached state and the period average.
  mutable kvor::zephrin::RecursiveMutex stateMutex_;
  SwerveDrivePoseEstimator poseEstimator_ ZEPHRIN_GUARDED_BY(stateMutex_);
  Rotation2d operatorForwardDirection_ ZEPHRIN_GUARDED_BY(stateMutex_);
  // Shared so that a sample keeps the function it runs alive even when the
  // function replaces itself from inside.
  std::shared_ptr<const RequestFunction> requestToApply_ ZEPHRIN_GUARDED_BY(stateMutex_);
  // The request object behind requestToApply_ when it came from the typed
  // SetControl, for assigning a new command of the same type in place.
  std::shared_ptr<requests::SwerveRequest> installedRequest_ ZEPHRIN_GUARDED_BY(stateMutex_);
  ControlParameters controlParameters_ ZEPHRIN_GUARDED_BY(stateMutex_);
  SwerveDriveState cachedState_ ZEPHRIN_GUARDED_BY(stateMutex_);
  std::shared_ptr<const TelemetryFunction> telemetryFunction_ ZEPHRIN_GUARDED_BY(stateMutex_);
  // The last OdometryThread::kPeriodSamples periods, seconds, as a ring.
  std::array<double, OdometryThread::kPeriodSamples> periods_ ZEPHRIN_GUARDED_BY(stateMutex_){};
  std::size_t nextPeriod_ ZEPHRIN_GUARDED_BY(stateMutex_) = 0;
  bool hasPreviousSample_ ZEPHRIN_GUARDED_BY(stateMutex_) = false;
  double previousTime_ ZEPHRIN_GUARDED_BY(stateMutex_) = 0.0;
  double averagedPeriod_ ZEPHRIN_GUARDED_BY(stateMutex_) = 0.0;
  // Atomic so that IsOdometryValid reads them without a lock.
  std::atomic<int32_t> successfulDaqs_{0};
  std::atomic<int32_t> failedDaqs_{0};
  bool isOnCANFD_ = false;
  units::frequency::hertz_t odometryFrequency_{0.0};
  std::unique_ptr<OdometryThread> odometryThread_;
};

}  // namespace kvor::zephrin6::swerve::impl
