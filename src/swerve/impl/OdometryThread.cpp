#include <kvor/zephrin6/swerve/impl/SwerveDrivetrainImpl.hpp>

#include <kvor/zephrin/platform/Threads.hpp>
#include <kvor/zephrin6/core/WispReplay.hpp>
#include <kvor/zephrin6/hardware/core/CoreAuklet2.hpp>

#include <chrono>

#include "core/internal/Report.hpp"

namespace kvor::zephrin6::swerve::impl {

using kvor::zephrin::StatusCode;
using Thread = SwerveDrivetrainImpl::OdometryThread;

namespace {

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

Thread::~OdometryThread() { Stop(); }

void Thread::Start() {
  // A callback on the thread itself would deadlock on a Stop that waits for
  // this very thread; the thread is running anyway.
  if (std::this_thread::get_id() == threadId_.load()) return;
  kvor::zephrin::LockGuard lock(threadMutex_);
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
  kvor::zephrin::LockGuard lock(threadMutex_);
  running_.store(false);
  JoinFinished();
}

void Thread::JoinFinished() {
  if (thread_.joinable()) thread_.join();
}

// Read without threadMutex_, which a Stop holds while it joins this very
// thread: Start stores the handle before it lets the thread run
// (threadStored_), and nothing replaces it until the thread has been joined.
std::thread& Thread::OwnThread() ZEPHRIN_NO_THREAD_SAFETY_ANALYSIS { return thread_; }

StatusCode Thread::RunOnce() {
  kvor::zephrin::UniqueLock lock(threadMutex_, std::defer_lock);
  if (!lock.TryLock() || running_.load()) return StatusCode::TaskIsBusy;
  JoinFinished();
  return drivetrain_.Sample(false);
}

void Thread::Run() {
  threadStored_.wait(false);
  threadId_.store(std::this_thread::get_id());
  drivetrain_.RestartPeriods();
  bool frequencyApplied = drivetrain_.RequestOdometryFrequency();
  RequestPriority(OwnThread(), kStartPriority, drivetrain_.GetAuklet2());
  int appliedPriority = kStartPriority;
  const bool devicesPace = drivetrain_.IsOnCANFD();
  const auto period = std::chrono::duration<double>(1.0 / drivetrain_.GetOdometryFrequency().value());
  bool sampled = false;
  while (running_.load()) {
    // In replay the samples follow the log: a paused log holds the thread
    // here. Without a log the runtime simulates and always plays.
    if (sampled && !WispReplay::WaitForPlayingImpl(kReplayWaitSeconds)) continue;
    // On a CAN FD bus the sample waits for the devices' next frames; a
    // classic bus is paced by a sleep of one period instead.
    if (!devicesPace) std::this_thread::sleep_for(period);
    drivetrain_.Sample(devicesPace);
    sampled = true;
    const int requested = requestedPriority_.load();
    if (requested != appliedPriority) {
      // A refused priority counts as applied too, so it is reported once.
      RequestPriority(OwnThread(), requested, drivetrain_.GetAuklet2());
      appliedPriority = requested;
    }
    // A device that kept its own rate makes every sample wait for its
    // slower frames (or time out), so it is asked until it takes the rate.
    if (!frequencyApplied) frequencyApplied = drivetrain_.RequestOdometryFrequency();
  }
  threadId_.store(std::thread::id{});
}

}  // namespace kvor::zephrin6::swerve::impl
