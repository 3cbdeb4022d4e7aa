#pragma once

// CallbackScope marks the calling thread as running a callback that the C
// interface installed (a control or telemetry callback, on a drivetrain's
// odometry thread, under that drivetrain's locks) for as long as it lives.
// Destroying a drivetrain from there would join the thread that runs the
// callback (its own drivetrain) or wait for calls that may be waiting for
// this very sample (another one's); creating one would hold this
// drivetrain's locks while the new devices take their time to answer. Those
// calls check Active() and refuse. Scopes nest; each thread has its own
// count. Not copyable.

namespace kvor::zephrin6::cinterface {

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

}  // namespace kvor::zephrin6::cinterface
