#pragma once

// CallbackScope marks the calling thread as running a callback that the C
// interface installed (a control or telemetry callback, on a drivetrain's
// odometry thread) for as long as it lives. Creating or destroying a
// drivetrain from there would wait for the registry's exclusive lock while
// other threads hold its shared lock waiting for this very sample, or join
// the thread that runs the callback; those calls check Active() and refuse.
// Scopes nest; each thread has its own count. Not copyable.

namespace kvor::zephrin6::swerve::internal {

class CallbackScope {
 public:
  CallbackScope() noexcept { ++depth_; }
  ~CallbackScope() { --depth_; }
  CallbackScope(const CallbackScope&) = delete;
  CallbackScope& operator=(const CallbackScope&) = delete;

  /// Whether the calling thread is inside a callback.
  static bool Active() noexcept { return depth_ > 0; }

 private:
  static inline thread_local int depth_ = 0;
};

}  // namespace kvor::zephrin6::swerve::internal
